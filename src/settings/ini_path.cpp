// Settings file path derivation.
#include "ini_path.h"

#include "../duel/bounded_text.h"
#include "../duel/cp932.h"

bool DeriveIniPath(const char* module_path, char* out, size_t out_size) {
  if (out_size == 0) return false;
  size_t dot = static_cast<size_t>(-1);
  size_t i = 0;
  while (module_path[i] != '\0') {
    unsigned char c = static_cast<unsigned char>(module_path[i]);
    if (c == '\\' || c == '/' || c == ':') {
      dot = static_cast<size_t>(-1);  // a dot in a folder name is not the extension's
    } else if (c == '.') {
      dot = i;
    }
    i += (IsCp932LeadByte(c) && module_path[i + 1] != '\0') ? 2 : 1;
  }
  size_t stem = dot != static_cast<size_t>(-1) ? dot : i;
  TextBuilder path(out, out_size);
  path.Append(module_path, stem);
  path.Append(".ini");
  if (path.cut) out[0] = '\0';
  return !path.cut;
}
