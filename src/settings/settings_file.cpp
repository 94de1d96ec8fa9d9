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

namespace {

// The decimal text of value, for the profile functions' UTF-16 side.
void WideNumber(int value, WCHAR (&wide)[kSettingValueSize]) {
  char text[kSettingValueSize];
  FormatSettingNumber(value, text, sizeof text);
  for (size_t i = 0; i < kSettingValueSize; ++i) {
    wide[i] = static_cast<unsigned char>(text[i]);
    if (text[i] == '\0') break;
  }
}

}  // namespace

bool WriteSettingNumber(LPCWSTR section, LPCWSTR key, int value) {
  WCHAR wide[kSettingValueSize];
  WideNumber(value, wide);
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

namespace {

// The window's place: keys one after another, and their defaults, in the order read and written.
const WCHAR kPlaceKeys[] = KEY_LEFT L"\0" KEY_TOP L"\0" KEY_WIDTH L"\0" KEY_HEIGHT;
const int kPlaceDefaults[kPlaceValues] = {DEFAULT_LEFT, DEFAULT_TOP, DEFAULT_WIDTH, DEFAULT_HEIGHT};

LPCWSTR Next(LPCWSTR text) { return text + lstrlenW(text) + 1; }

}  // namespace

void ReadWindowPlace(int place[kPlaceValues], int dpi) {
  SettingsLock lock;
  LPCWSTR key = kPlaceKeys;
  for (int i = 0; i < kPlaceValues; ++i, key = Next(key)) {
    WCHAR fallback[kSettingValueSize];
    WideNumber(ScaleForDpi(kPlaceDefaults[i], dpi), fallback);
    place[i] = ReadSettingNumber(SECTION_WINDOW, key, fallback);
  }
}

void SaveWindowGeometry(HWND window) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return;
  const int place[kPlaceValues] = {rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top};
  SettingsLock lock;
  LPCWSTR key = kPlaceKeys;
  for (int i = 0; i < kPlaceValues; ++i, key = Next(key)) {
    WriteSettingNumber(SECTION_WINDOW, key, place[i]);
  }
}
