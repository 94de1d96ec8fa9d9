// The private settings file beside the plug-in: options and the result window's place. Paths,
// sections and keys go through the profile functions' UTF-16 side, so that a folder named in
// any script works; the file itself keeps the encoding it has (a new one is ANSI).
#pragma once
#include <windows.h>

// Path of the settings file, worked out afresh from the module's path. False when there is none
// the profile functions can use (too long, or the module path unavailable); out still names the
// file whenever a path could be derived, for telling the user.
bool IniPath(LPWSTR out, DWORD out_size);

// Reads a value into buffer (the default when absent, or when there is no usable path).
void ReadSetting(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR buffer, DWORD size);
// Reads a value and converts its leading number.
int ReadSettingNumber(LPCWSTR section, LPCWSTR key, LPCWSTR fallback);
// True when the value reached the file.
bool WriteSetting(LPCWSTR section, LPCWSTR key, LPCWSTR value);
bool WriteSettingNumber(LPCWSTR section, LPCWSTR key, int value);

// The reads and writes below of whole groups of keys hold the settings file's lock (see
// settings_lock.h), so that another mail client process never sees half of a group.

// Reads the three options into their flags.
void LoadSettings();
// Writes the three options in the order "fPopup", "fOnce", "fOpenRimarts"; true when all were
// written (all three are tried either way).
bool SaveFlags();
// Reads the result window's stored place: "left", "top", "width", "height", in this order. A
// value the file does not hold is its default scaled to dpi: the window's text is drawn at that
// scale. A stored value is taken as it is; exit stores the window's place and size in every run
// that showed it, so a scaled default holds only until then.
const int kPlaceValues = 4;
void ReadWindowPlace(int place[kPlaceValues], int dpi);
// Stores window's rectangle; writes nothing if it cannot be obtained. The host is closing, so a
// failed write is not reported.
void SaveWindowGeometry(HWND window);
