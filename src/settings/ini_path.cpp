// Settings file path derivation.
#include "ini_path.h"

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

void SettingsLockName(const wchar_t* folded_path, wchar_t* out, size_t out_size) {
  // Names in Local\ are seen by the processes of the user's session: the mail clients that share
  // a settings file.
  static const wchar_t kPrefix[] = L"Local\\Vostrel.ini.";
  const size_t prefix = sizeof kPrefix / sizeof kPrefix[0] - 1;
  static_assert(sizeof kPrefix / sizeof kPrefix[0] + 16 <= kSettingsLockNameSize, "name fits");
  if (out_size < kSettingsLockNameSize) {
    if (out_size > 0) out[0] = L'\0';
    return;
  }
  // 64-bit FNV-1a over the UTF-16 code units.
  unsigned long long hash = 14695981039346656037ull;
  for (const wchar_t* p = folded_path; *p != L'\0'; ++p) {
    hash = (hash ^ static_cast<unsigned short>(*p)) * 1099511628211ull;
  }
  for (size_t k = 0; k < prefix; ++k) out[k] = kPrefix[k];
  for (size_t k = 0; k < 16; ++k)
    out[prefix + k] = L"0123456789abcdef"[(hash >> (60 - 4 * k)) & 0xF];
  out[prefix + 16] = L'\0';
}
