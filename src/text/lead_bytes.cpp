// Character boundaries of double-byte text.
#include "lead_bytes.h"

size_t FitPrefix(const char* s, size_t max_bytes, const LeadBytes& lead) {
  size_t i = 0;
  while (s[i] != '\0') {
    size_t width = (lead.IsLead(static_cast<unsigned char>(s[i])) && s[i + 1] != '\0') ? 2 : 1;
    if (i + width > max_bytes) break;
    i += width;
  }
  return i;
}
