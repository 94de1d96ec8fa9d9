// Fuzz target: the bounded formatting of the result line and the warning text.
// The input is the sender's token, a line feed, and the host's version.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "duel/verdict_text.h"
#include "../unit/code_pages.h"
#include "fuzz_check.h"

namespace {

struct Frame {
  const char* format;
  std::string head, middle, tail;  // the format around its two "%s"
};

// Split once, not on every run: the formats do not depend on the input.
Frame Split(const char* format) {
  std::string f(format);
  size_t first = f.find("%s");
  size_t second = f.find("%s", first + 2);
  return {format, f.substr(0, first), f.substr(first + 2, second - first - 2),
          f.substr(second + 2)};
}

// kept is what became of full: full itself, a prefix on a character boundary followed by "...",
// or (when fewer than three bytes were left for it) a bare prefix on a boundary.
bool Shortened(const std::string& kept, const std::string& full, bool must_be_whole) {
  if (kept == full) return true;
  if (must_be_whole) return false;
  if (kept.size() >= 3 && kept.compare(kept.size() - 3, 3, "...") == 0) {
    size_t n = kept.size() - 3;
    if (n < full.size() && full.compare(0, n, kept, 0, n) == 0 && fuzz::OnBoundary(full, n)) {
      return true;
    }
  }
  return kept.size() <= 2 && kept.size() < full.size() && full.compare(0, kept.size(), kept) == 0 &&
         fuzz::OnBoundary(full, kept.size());
}

void CheckText(const char* what, const Frame& f, const std::string& got, size_t out_size,
               const std::string& first, const std::string& second) {
  const size_t fixed = f.head.size() + f.middle.size() + f.tail.size();
  FUZZ_CHECK(got.size() < out_size, "%s: no NUL within %zu bytes", what, out_size);
  if (fixed + first.size() + second.size() <= out_size - 1) {
    const std::string whole = f.head + first + f.middle + second + f.tail;
    FUZZ_CHECK(got == whole, "%s: cut although %zu bytes fit in %zu", what, whole.size(), out_size);
    return;
  }
  if (fixed >= out_size - 1) {
    std::string frame = (f.head + f.middle + f.tail).substr(0, out_size - 1);
    FUZZ_CHECK(got == frame, "%s: expected the bare frame cut to %zu bytes", what, out_size - 1);
    return;
  }
  FUZZ_CHECK(got.size() + 2 >= out_size - 1, "%s: expected at least %zu bytes, got %zu", what,
             out_size - 3, got.size());
  FUZZ_CHECK(got.compare(0, f.head.size(), f.head) == 0, "%s: lost its head", what);
  FUZZ_CHECK(got.size() >= f.head.size() + f.middle.size() + f.tail.size() &&
                 got.compare(got.size() - f.tail.size(), f.tail.size(), f.tail) == 0,
             "%s: lost its tail", what);
  // A string that needs no more than its share of the room is kept whole.
  const size_t room = out_size - 1 - fixed;
  const bool first_whole = first.size() <= room / 2;
  const bool second_whole = second.size() <= room - room / 2;
  const std::string inner = got.substr(f.head.size(), got.size() - f.head.size() - f.tail.size());
  // The strings may contain the middle text themselves: some split must explain the line.
  for (size_t at = inner.find(f.middle); at != std::string::npos;
       at = inner.find(f.middle, at + 1)) {
    if (Shortened(inner.substr(0, at), first, first_whole) &&
        Shortened(inner.substr(at + f.middle.size()), second, second_whole)) {
      return;
    }
  }
  FUZZ_CHECK(false, "%s: \"%s\" is no shortening of the two strings", what, got.c_str());
}

// Formats into a heap buffer of exactly out_size bytes, so that a write past it is caught.
void Run(const char* what, const Frame& frame, size_t out_size, const std::string& first,
         const std::string& second, Verdict verdict, int kind) {
  std::unique_ptr<char[]> out(new char[out_size == 0 ? 1 : out_size]);
  out[0] = '#';
  if (kind == 0) {
    FormatResultLine(out.get(), out_size, verdict, first.c_str(), second.c_str(), kCp932LeadBytes);
  } else if (kind == 1) {
    FormatWarningText(out.get(), out_size, first.c_str(), second.c_str(), kCp932LeadBytes);
  } else {
    FormatTwoStrings(out.get(), out_size, frame.format, first.c_str(), second.c_str(),
                     kCp932LeadBytes);
  }
  if (out_size == 0) {
    FUZZ_CHECK(out[0] == '#', "%s: size 0 wrote", what);
    return;
  }
  CheckText(what, frame, std::string(out.get(), strnlen(out.get(), out_size)), out_size, first,
            second);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t* feed = static_cast<const uint8_t*>(memchr(data, '\n', size));
  size_t cut = feed != nullptr ? static_cast<size_t>(feed - data) : size;
  // The token is a piece of a 1023-byte header; the host's version has no bound of its own.
  const std::string sender = fuzz::TextOf(data, cut, kTextBufferSize - 1);
  const std::string own = feed != nullptr ? fuzz::TextOf(feed + 1, size - cut - 1, 4096) : "2.81";

  static const Frame lose = Split("LOSE (He:%s > You:%s)");
  static const Frame win = Split("WIN! (He:%s < You:%s)");
  static const Frame draw = Split("DRAW (He:%s = You:%s)");
  static const Frame warning = Split("He:%s\r\nYou:%s");
  Run("lose line", lose, kResultLineSize, sender, own, VERDICT_LOSE, 0);
  Run("win line", win, kResultLineSize, sender, own, VERDICT_WIN, 0);
  Run("draw line", draw, kResultLineSize, sender, own, VERDICT_DRAW, 0);
  Run("warning", warning, kTextBufferSize, sender, own, VERDICT_LOSE, 1);

  // Sizes around an exact fit, and a small one, up to the largest buffer the plug-in uses.
  const size_t exact = 17 + sender.size() + own.size() + 1;
  const size_t sizes[] = {exact, exact - 1, (sender.size() * 7 + own.size()) % 40};
  for (size_t s : sizes) {
    if (s <= kTextBufferSize) Run("two strings", lose, s, sender, own, VERDICT_LOSE, 2);
  }
  return 0;
}
