// Reads and writes the settings file through the Windows profile functions.
#include "settings_file.h"

#include "../duel/version_scan.h"
#include "../host/module_state.h"
#include "ini_path.h"
#include "setting_number.h"
#include "settings_keys.h"

bool IniPath(char* out, DWORD out_size) {
  char module_path[kTextBufferSize];
  DWORD length = GetModuleFileNameA(hInstance, module_path, sizeof module_path);
  // A cut path would name some other file; better to read defaults and write nothing.
  if (length == 0 || length >= sizeof module_path) return false;
  return DeriveIniPath(module_path, out, out_size);
}

void ReadSetting(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size) {
  char path[kTextBufferSize];
  if (!IniPath(path, sizeof path)) {
    lstrcpynA(buffer, fallback, size);
    return;
  }
  GetPrivateProfileStringA(section, key, fallback, buffer, size, path);
}

int ReadSettingNumber(LPCSTR section, LPCSTR key, LPCSTR fallback) {
  char value[kSettingValueSize];
  ReadSetting(section, key, fallback, value, sizeof value);
  return ParseSettingNumber(value);
}

void WriteSetting(LPCSTR section, LPCSTR key, LPCSTR value) {
  char path[kTextBufferSize];
  if (!IniPath(path, sizeof path)) return;
  WritePrivateProfileStringA(section, key, value, path);
}

void WriteSettingNumber(LPCSTR section, LPCSTR key, int value) {
  char text[kSettingValueSize];
  FormatSettingNumber(value, text, sizeof text);
  WriteSetting(section, key, text);
}

void LoadSettings() {
  fOnce = ReadSettingNumber(SECTION_SETTINGS, KEY_ONCE, DEFAULT_FLAG);
  fPopup = ReadSettingNumber(SECTION_SETTINGS, KEY_POPUP, DEFAULT_FLAG);
  fOpenRimarts = ReadSettingNumber(SECTION_SETTINGS, KEY_OPEN_RIMARTS, DEFAULT_FLAG);
}

void SaveWindowGeometry() {
  RECT rect;
  if (!GetWindowRect(hwndResult, &rect)) return;
  WriteSettingNumber(SECTION_WINDOW, KEY_LEFT, rect.left);
  WriteSettingNumber(SECTION_WINDOW, KEY_TOP, rect.top);
  WriteSettingNumber(SECTION_WINDOW, KEY_WIDTH, rect.right - rect.left);
  WriteSettingNumber(SECTION_WINDOW, KEY_HEIGHT, rect.bottom - rect.top);
}
