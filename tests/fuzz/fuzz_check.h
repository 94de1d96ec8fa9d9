// Shared by the fuzz targets: a failed invariant aborts, which both libFuzzer and the corpus
// replay report as a crash with the input that caused it.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define FUZZ_CHECK(cond, ...)                                                             \
  do {                                                                                    \
    if (!(cond)) {                                                                        \
      std::fprintf(stderr, "%s:%d: invariant failed: %s\n  ", __FILE__, __LINE__, #cond); \
      std::fprintf(stderr, __VA_ARGS__);                                                  \
      std::fprintf(stderr, "\n");                                                         \
      std::abort();                                                                       \
    }                                                                                     \
  } while (0)

namespace fuzz {

// The input as text up to its first NUL, at most limit bytes: what a C string holding it reads.
inline std::string TextOf(const unsigned char* data, size_t size, size_t limit) {
  const char* text = reinterpret_cast<const char*>(data);
  return std::string(text, strnlen(text, size < limit ? size : limit));
}

// Lead bytes of code page 932, written out again so the check does not trust the code it checks.
inline bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// True when the first n bytes of s end between two characters.
inline bool OnBoundary(const std::string& s, size_t n) {
  size_t i = 0;
  while (i < n) i += (IsLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
  return i == n;
}

}  // namespace fuzz
