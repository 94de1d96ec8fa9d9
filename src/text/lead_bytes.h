// Where characters begin in text of an ANSI code page, so that a cut never splits one.
// Free of Windows headers: the plug-in asks the system for the code page in force.
#pragma once
#include <cstddef>

struct LeadBytes {
  // Inclusive ranges as pairs of bytes, ended by a pair of zeros: the way the system describes
  // a double-byte code page (at most five ranges). All zeros: no byte leads a pair.
  unsigned char ranges[12];
  // UTF-8 (the system describes it with no ranges): a character is a start byte and the
  // continuation bytes it announces.
  bool utf8;

  bool IsLead(unsigned char c) const {
    for (size_t i = 0; i + 1 < sizeof ranges && ranges[i] != 0; i += 2) {
      if (c >= ranges[i] && c <= ranges[i + 1]) return true;
    }
    return false;
  }
};

// Length of the longest prefix of s, at most max_bytes long, that ends on a character boundary.
// A character cut short by the end of s (or malformed UTF-8) counts for the bytes it has.
size_t FitPrefix(const char* s, size_t max_bytes, const LeadBytes& lead);
