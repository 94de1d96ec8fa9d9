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
