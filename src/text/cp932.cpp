// Character-boundary helper for code page 932 strings.
#include "cp932.h"

size_t Cp932FitPrefix(const char* s, size_t max_bytes) {
  size_t i = 0;
  while (s[i] != '\0') {
    size_t width = (IsCp932LeadByte(static_cast<unsigned char>(s[i])) && s[i + 1] != '\0') ? 2 : 1;
    if (i + width > max_bytes) break;
    i += width;
  }
  return i;
}
