// Sections and keys of the settings file, for the profile functions' UTF-16 side, and defaults.
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
// The window's place when the file holds none, in pixels at 96 dots per inch.
#define DEFAULT_LEFT 0
#define DEFAULT_TOP 0
#define DEFAULT_WIDTH 250
#define DEFAULT_HEIGHT 27
