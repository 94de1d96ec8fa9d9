// Sections, keys and defaults of the settings file.
#pragma once

#define SECTION_SETTINGS "Settings"
#define KEY_ONCE "fOnce"
#define KEY_POPUP "fPopup"
#define KEY_OPEN_RIMARTS "fOpenRimarts"
#define DEFAULT_FLAG "1"

#define SECTION_WINDOW "Window"
#define KEY_LEFT "left"
#define KEY_TOP "top"
#define KEY_WIDTH "width"
#define KEY_HEIGHT "height"
#define DEFAULT_LEFT "0"
#define DEFAULT_TOP "0"
#define DEFAULT_WIDTH "250"
#define DEFAULT_HEIGHT "27"
