// Settings file path derivation.
#include "ini_path.h"

#include <stdint.h>

bool DeriveIniPath(const wchar_t* module_path, wchar_t* out, size_t out_size) {
  if (out_size == 0) return false;
  size_t dot = static_cast<size_t>(-1);
  size_t i = 0;
  for (; module_path[i] != L'\0'; ++i) {
    wchar_t c = module_path[i];
    if (c == L'\\' || c == L'/' || c == L':') {
      dot = static_cast<size_t>(-1);  // a dot in a folder name is not the extension's
    } else if (c == L'.') {
      dot = i;
    }
  }
  const size_t stem = dot != static_cast<size_t>(-1) ? dot : i;
  static const wchar_t kExtension[] = L".ini";
  const size_t extension = sizeof kExtension / sizeof kExtension[0];  // with its NUL
  if (stem + extension > out_size) {
    out[0] = L'\0';
    return false;
  }
  for (size_t k = 0; k < stem; ++k) out[k] = module_path[k];
  for (size_t k = 0; k < extension; ++k) out[stem + k] = kExtension[k];
  return true;
}

void SettingsLockName(const wchar_t* folded_path, wchar_t (&out)[kSettingsLockNameSize]) {
  // Names in Local\ are seen by the processes of the user's session: the mail clients that share
  // a settings file. Narrow text and digits worked out take less of the plug-in than wide data.
  static const char kPrefix[] = "Local\\Vostrel.ini.";
  const size_t prefix = sizeof kPrefix - 1, digits = 8;
  static_assert(sizeof kPrefix + digits <= kSettingsLockNameSize, "the name fits");
  // 32-bit FNV-1a over the UTF-16 code units. Two files whose names share a hash share a lock,
  // which costs only a wait.
  uint32_t hash = 2166136261u;
  for (const wchar_t* p = folded_path; *p != L'\0'; ++p) {
    hash = (hash ^ static_cast<uint16_t>(*p)) * 16777619u;
  }
  for (size_t k = 0; k < prefix; ++k) out[k] = static_cast<wchar_t>(kPrefix[k]);
  for (size_t k = 0; k < digits; ++k) {
    const unsigned digit = static_cast<unsigned>(hash >> (28 - 4 * k)) & 0xF;
    out[prefix + k] = static_cast<wchar_t>(digit < 10 ? L'0' + digit : L'a' + digit - 10);
  }
  out[prefix + digits] = L'\0';
}
