// Reads and writes the settings file through the Windows profile functions.
#include "settings_file.h"

#include "../host/module_state.h"
#include "../text/buffer_sizes.h"
#include "ini_path.h"
#include "setting_number.h"
#include "settings_keys.h"
#include "settings_lock.h"

bool IniPath(LPWSTR out, DWORD out_size) {
  if (out_size > 0) out[0] = L'\0';
  WCHAR module_path[kTextBufferSize];
  DWORD length = GetModuleFileNameW(hInstance, module_path, kTextBufferSize);
  // A cut path would name some other file; better to read defaults and write nothing.
  if (length == 0 || length >= kTextBufferSize) return false;
  if (!DeriveIniPath(module_path, out, out_size)) return false;
  return static_cast<size_t>(lstrlenW(out)) < kProfilePathLimit;
}

void ReadSetting(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR buffer, DWORD size) {
  WCHAR path[kTextBufferSize];
  if (!IniPath(path, kTextBufferSize)) {
    lstrcpynW(buffer, fallback, size);
    return;
  }
  GetPrivateProfileStringW(section, key, fallback, buffer, size, path);
}

int ReadSettingNumber(LPCWSTR section, LPCWSTR key, LPCWSTR fallback) {
  WCHAR value[kSettingValueSize];
  ReadSetting(section, key, fallback, value, kSettingValueSize);
  // Numbers are ASCII; any other character simply ends one, as it would for atoi.
  char ascii[kSettingValueSize];
  for (size_t i = 0; i < kSettingValueSize; ++i) {
    ascii[i] = value[i] < 0x80 ? static_cast<char>(value[i]) : '?';
    if (value[i] == L'\0') break;
  }
  return ParseSettingNumber(ascii);
}

bool WriteSetting(LPCWSTR section, LPCWSTR key, LPCWSTR value) {
  WCHAR path[kTextBufferSize];
  if (!IniPath(path, kTextBufferSize)) return false;
  return WritePrivateProfileStringW(section, key, value, path) != FALSE;
}

bool WriteSettingNumber(LPCWSTR section, LPCWSTR key, int value) {
  char text[kSettingValueSize];
  FormatSettingNumber(value, text, sizeof text);
  WCHAR wide[kSettingValueSize];
  for (size_t i = 0; i < kSettingValueSize; ++i) {
    wide[i] = static_cast<unsigned char>(text[i]);
    if (text[i] == '\0') break;
  }
  return WriteSetting(section, key, wide);
}

void LoadSettings() {
  SettingsLock lock;
  fOnce = ReadSettingNumber(SECTION_SETTINGS, KEY_ONCE, DEFAULT_FLAG);
  fPopup = ReadSettingNumber(SECTION_SETTINGS, KEY_POPUP, DEFAULT_FLAG);
  fOpenRimarts = ReadSettingNumber(SECTION_SETTINGS, KEY_OPEN_RIMARTS, DEFAULT_FLAG);
}

bool SaveFlags() {
  SettingsLock lock;
  bool kept = WriteSettingNumber(SECTION_SETTINGS, KEY_POPUP, fPopup);
  kept = WriteSettingNumber(SECTION_SETTINGS, KEY_ONCE, fOnce) && kept;
  return WriteSettingNumber(SECTION_SETTINGS, KEY_OPEN_RIMARTS, fOpenRimarts) && kept;
}

void ReadWindowPlace(int* left, int* top, int* width, int* height) {
  SettingsLock lock;
  *left = ReadSettingNumber(SECTION_WINDOW, KEY_LEFT, DEFAULT_LEFT);
  *top = ReadSettingNumber(SECTION_WINDOW, KEY_TOP, DEFAULT_TOP);
  *width = ReadSettingNumber(SECTION_WINDOW, KEY_WIDTH, DEFAULT_WIDTH);
  *height = ReadSettingNumber(SECTION_WINDOW, KEY_HEIGHT, DEFAULT_HEIGHT);
}

void SaveWindowGeometry(HWND window) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return;
  SettingsLock lock;
  WriteSettingNumber(SECTION_WINDOW, KEY_LEFT, rect.left);
  WriteSettingNumber(SECTION_WINDOW, KEY_TOP, rect.top);
  WriteSettingNumber(SECTION_WINDOW, KEY_WIDTH, rect.right - rect.left);
  WriteSettingNumber(SECTION_WINDOW, KEY_HEIGHT, rect.bottom - rect.top);
}
