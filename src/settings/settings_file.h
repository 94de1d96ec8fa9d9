// The private settings file beside the plug-in: options and the result window's place.
#pragma once
#include <windows.h>

// Path of the settings file, worked out afresh from the module's path; false if unavailable.
bool IniPath(char* out, DWORD out_size);

// Reads a value into buffer (the default when absent, or when the file cannot be found).
void ReadSetting(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size);
// Reads a value and converts its leading number.
int ReadSettingNumber(LPCSTR section, LPCSTR key, LPCSTR fallback);
void WriteSetting(LPCSTR section, LPCSTR key, LPCSTR value);
void WriteSettingNumber(LPCSTR section, LPCSTR key, int value);

// Reads the three options into their flags.
void LoadSettings();
// Stores the result window's rectangle; writes nothing if it cannot be obtained.
void SaveWindowGeometry();
