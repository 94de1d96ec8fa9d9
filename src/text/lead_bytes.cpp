// Character boundaries of double-byte and UTF-8 text.
#include "lead_bytes.h"

namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Bytes of the character that starts at s; never past s's NUL.
size_t CharWidth(const char* s, const LeadBytes& lead) {
  const unsigned char c = static_cast<unsigned char>(s[0]);
  if (!lead.utf8) return lead.IsLead(c) && s[1] != '\0' ? 2 : 1;
  const size_t announced = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  size_t width = 1;
  while (width < announced && IsContinuation(s[width])) ++width;
  return width;
}

}  // namespace

size_t FitPrefix(const char* s, size_t max_bytes, const LeadBytes& lead) {
  size_t i = 0;
  while (s[i] != '\0') {
    const size_t width = CharWidth(s + i, lead);
    if (i + width > max_bytes) break;
    i += width;
  }
  return i;
}
