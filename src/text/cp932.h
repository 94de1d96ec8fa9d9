// Byte-level facts about code page 932 text, so scans never split a double-byte character.
#pragma once
#include <cstddef>

// True for a byte that starts a double-byte character in code page 932.
inline bool IsCp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length of the longest prefix of s, at most max_bytes long, that ends on a character boundary.
size_t Cp932FitPrefix(const char* s, size_t max_bytes);
