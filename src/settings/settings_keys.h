// Sections, keys and defaults of the settings file, for the profile functions' UTF-16 side.
#pragma once

#define SECTION_SETTINGS L"Settings"
#define KEY_ONCE L"fOnce"
#define KEY_POPUP L"fPopup"
#define KEY_OPEN_RIMARTS L"fOpenRimarts"
#define DEFAULT_FLAG L"1"

#define SECTION_WINDOW L"Window"
#define KEY_LEFT L"left"
#define KEY_TOP L"top"
#define KEY_WIDTH L"width"
#define KEY_HEIGHT L"height"
#define DEFAULT_LEFT L"0"
#define DEFAULT_TOP L"0"
#define DEFAULT_WIDTH L"250"
#define DEFAULT_HEIGHT L"27"
