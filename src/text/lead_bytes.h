// Which bytes start a double-byte character in an ANSI code page, so that a cut never splits one.
// Free of Windows headers: the plug-in asks the system for the code page in force.
#pragma once
#include <cstddef>

struct LeadBytes {
  // Inclusive ranges as pairs of bytes, ended by a pair of zeros: the way the system describes
  // a code page (at most five ranges). All zeros: a single-byte code page.
  unsigned char ranges[12];

  bool IsLead(unsigned char c) const {
    for (size_t i = 0; i + 1 < sizeof ranges && ranges[i] != 0; i += 2) {
      if (c >= ranges[i] && c <= ranges[i + 1]) return true;
    }
    return false;
  }
};

// Code page 932 (Shift_JIS), the mail client's own.
constexpr LeadBytes kCp932LeadBytes = {{0x81, 0x9F, 0xE0, 0xFC}};

// Length of the longest prefix of s, at most max_bytes long, that ends on a character boundary.
size_t FitPrefix(const char* s, size_t max_bytes, const LeadBytes& lead);
