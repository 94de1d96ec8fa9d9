// Fuzz target: the X-Mailer scan, the token cut and the version comparison.
// The input is what the host writes into the header buffer.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "duel/version_scan.h"
#include "fuzz_check.h"

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// Position of the first case-blind match of needle in hay, or npos.
size_t ReferenceFind(const std::string& hay, const std::string& needle) {
  for (size_t p = 0; p < hay.size(); ++p) {
    if (p + needle.size() > hay.size()) return std::string::npos;
    size_t j = 0;
    while (j < needle.size() && Lower(hay[p + j]) == Lower(needle[j])) ++j;
    if (j == needle.size()) return p;
  }
  return std::string::npos;
}

int Sign(int v) { return (v > 0) - (v < 0); }

// A readable page followed by one that is not: a value copied to the end of the first shows any
// read past the page that holds its NUL as a crash.
char* BeforeGuardPage(const std::string& value) {
  static const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  static char* const pages = [] {
    void* p = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    FUZZ_CHECK(p != MAP_FAILED, "mmap failed");
    FUZZ_CHECK(mprotect(static_cast<char*>(p) + page, page, PROT_NONE) == 0, "mprotect failed");
    return static_cast<char*>(p);
  }();
  char* at = pages + page - value.size() - 1;
  memcpy(at, value.c_str(), value.size() + 1);
  return at;
}

// The scan against trying every position, with the value in the header buffer and again right
// before an unreadable page (which also varies where its 16-byte blocks begin).
void CheckFind(const char* header, const std::string& hay, const char* needle) {
  const size_t want = ReferenceFind(hay, needle);
  const char* guarded = BeforeGuardPage(hay);
  const char* starts[] = {header, guarded};
  for (const char* start : starts) {
    const char* got = FindNoCase(start, needle);
    size_t at = got == nullptr ? std::string::npos : static_cast<size_t>(got - start);
    FUZZ_CHECK(at == want, "FindNoCase(\"%s\"): expected %zd, got %zd", needle,
               static_cast<ptrdiff_t>(want), static_cast<ptrdiff_t>(at));
  }
}

void CheckCompare(const char* a, const char* b) {
  int got = CompareVersions(a, b);
  int back = CompareVersions(b, a);
  FUZZ_CHECK(got == -back, "not antisymmetric: %d and %d", got, back);
  int want = Sign(std::string(a).compare(b));  // char_traits<char> compares bytes as unsigned
  FUZZ_CHECK(got == want, "expected %d, got %d", want, got);
  FUZZ_CHECK(CompareVersions(a, a) == VERDICT_DRAW, "a version does not draw with itself");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // As in the plug-in: a zero-filled 1024-byte buffer of which the host is offered 1023 bytes,
  // so a host that fills all it is offered still leaves the last byte NUL. Allocated to its exact
  // size so that a scan running past it is caught.
  std::unique_ptr<char[]> header(new char[kTextBufferSize]);
  memset(header.get(), 0, kTextBufferSize);
  memcpy(header.get(), data, size < kTextBufferSize - 1 ? size : kTextBufferSize - 1);
  const std::string hay = fuzz::TextOf(data, size, kTextBufferSize - 1);

  // A needle from the input itself: its first bytes, up to 20 (the scan tests 16 at once).
  const std::string needle = hay.substr(0, 1 + size % 20);
  const char* needles[] = {"Becky!", "ver", "", needle.c_str()};
  for (const char* n : needles) CheckFind(header.get(), hay, n);
  // The value repeated to the buffer's full length: short inputs become long runs of near misses.
  if (!hay.empty() && size % 2 == 1) {
    std::string run;
    while (run.size() < kTextBufferSize - 1) run += hay;
    run.resize(kTextBufferSize - 1);
    std::unique_ptr<char[]> full(new char[kTextBufferSize]);
    memcpy(full.get(), run.c_str(), kTextBufferSize);
    for (const char* n : needles) CheckFind(full.get(), run, n);
  }

  std::unique_ptr<char[]> token(new char[kTextBufferSize]);
  memset(token.get(), '#', kTextBufferSize);
  DuelOutcome outcome = CutSenderVersion(header.get(), token.get(), kTextBufferSize);

  size_t becky = ReferenceFind(hay, "Becky!");
  size_t ver = ReferenceFind(hay, "ver");
  size_t space = ver == std::string::npos ? std::string::npos : hay.find(' ', ver);
  DuelOutcome want = becky == std::string::npos   ? DUEL_NOT_BECKY
                     : space == std::string::npos ? DUEL_SILENT
                                                  : DUEL_VERDICT;
  FUZZ_CHECK(outcome == want, "outcome: expected %d, got %d", want, outcome);
  if (outcome != DUEL_VERDICT) {
    FUZZ_CHECK(token[0] == '#', "token written although there was none");
    return 0;
  }

  size_t length = strnlen(token.get(), kTextBufferSize);
  FUZZ_CHECK(length < kTextBufferSize, "token not NUL-terminated within its buffer");
  const std::string cut(token.get(), length);
  FUZZ_CHECK(cut.find(' ') == std::string::npos, "token holds a space");
  FUZZ_CHECK(hay.compare(space + 1, length, cut) == 0, "token is not the text after the space");
  size_t after = space + 1 + length;
  FUZZ_CHECK(after == hay.size() || hay[after] == ' ', "token stops early at %zu", after);
  FUZZ_CHECK(hay.find(cut) != std::string::npos, "token is not a substring of the header");

  // A smaller token buffer cuts the same token; size 0 writes nothing.
  size_t small = size % 9;
  std::unique_ptr<char[]> shortened(new char[small == 0 ? 1 : small]);
  shortened[0] = '#';
  FUZZ_CHECK(CutSenderVersion(header.get(), shortened.get(), small) == DUEL_VERDICT,
             "outcome depends on the token buffer");
  if (small == 0) {
    FUZZ_CHECK(shortened[0] == '#', "size 0 wrote to the token");
  } else {
    size_t keep = length < small - 1 ? length : small - 1;
    FUZZ_CHECK(strlen(shortened.get()) == keep && memcmp(shortened.get(), cut.data(), keep) == 0,
               "cut token of size %zu is not the token's prefix", small);
  }

  const char* versions[] = {"2.81.05", "2.9", "2.10", "", "\x82\x51.\x82\x4f"};
  for (const char* own : versions) CheckCompare(token.get(), own);
  // Against later text of the same header, arbitrary bytes included.
  CheckCompare(token.get(), header.get() + hay.size() / 2);
  return 0;
}
