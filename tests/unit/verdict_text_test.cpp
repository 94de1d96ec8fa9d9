// The result line and the warning text: exact when they fit, cut within their buffers when not.
#include "duel/verdict_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "code_pages.h"

namespace {

const char kHiragana[] = "\x82\xa0";  // one double-byte character

std::string Repeat(const std::string& piece, size_t times) {
  std::string s;
  for (size_t i = 0; i < times; ++i) s += piece;
  return s;
}

// True when the first n bytes of s end on a character boundary.
bool EndsOnBoundary(const std::string& s, size_t n) {
  return FitPrefix(s.c_str(), n, kCp932LeadBytes) == n;
}

struct LineCase {
  const char* what;
  Verdict verdict;
  std::string sender;
  std::string own;
  std::string expected;
  LeadBytes lead = kCp932LeadBytes;  // of the code page the texts are shown in
};

TEST(FormatResultLine, Table) {
  const std::string a300(300, 'a');
  const std::string b300(300, 'b');
  const LineCase cases[] = {
      {"lose", VERDICT_LOSE, "2.9", "2.10", "LOSE (He:2.9 > You:2.10)"},
      {"win", VERDICT_WIN, "2.10", "2.9", "WIN! (He:2.10 < You:2.9)"},
      {"draw", VERDICT_DRAW, "2.81", "2.81", "DRAW (He:2.81 = You:2.81)"},
      {"empty token", VERDICT_WIN, "", "2.81", "WIN! (He: < You:2.81)"},
      {"Shift_JIS token", VERDICT_LOSE, "\x82\x51\x81\x44\x82\x4f", "2.0",
       "LOSE (He:\x82\x51\x81\x44\x82\x4f > You:2.0)"},
      // 17 fixed characters leave 238 for the two strings.
      {"exact fit", VERDICT_LOSE, std::string(119, 'a'), std::string(119, 'b'),
       "LOSE (He:" + std::string(119, 'a') + " > You:" + std::string(119, 'b') + ")"},
      {"one over: the longer one is cut", VERDICT_LOSE, std::string(120, 'a'),
       std::string(119, 'b'),
       "LOSE (He:" + std::string(116, 'a') + "... > You:" + std::string(119, 'b') + ")"},
      {"long token", VERDICT_LOSE, a300, "2.81",
       "LOSE (He:" + std::string(231, 'a') + "... > You:2.81)"},
      {"long host version", VERDICT_WIN, "2.81", b300,
       "WIN! (He:2.81 < You:" + std::string(231, 'b') + "...)"},
      {"both long: halves", VERDICT_DRAW, a300, b300,
       "DRAW (He:" + std::string(116, 'a') + "... = You:" + std::string(116, 'b') + "...)"},
      // 150 double-byte characters against a budget of 231 bytes: 115 characters, not 115.5.
      {"double-byte token at an odd budget", VERDICT_LOSE, Repeat(kHiragana, 150), "2.81",
       "LOSE (He:" + Repeat(kHiragana, 115) + "... > You:2.81)"},
      {"double-byte host version after a single byte", VERDICT_LOSE, "2.81",
       "x" + Repeat(kHiragana, 150), "LOSE (He:2.81 > You:x" + Repeat(kHiragana, 115) + "...)"},
      // 0xB0 leads a character in code page 949 (Korean) and is a single byte in 932.
      {"Korean token cut on its own boundaries", VERDICT_LOSE, "1" + Repeat("\xb0\xa1", 150),
       "2.75.02", "LOSE (He:1" + Repeat("\xb0\xa1", 113) + "... > You:2.75.02)", kCp949LeadBytes},
      // UTF-8 as the ANSI code page: no lead bytes, yet "\xc3\xa9" is one character.
      {"UTF-8 token cut after whole characters", VERDICT_LOSE, "x" + Repeat("\xc3\xa9", 150), "2.0",
       "LOSE (He:x" + Repeat("\xc3\xa9", 115) + "... > You:2.0)", kUtf8},
  };
  for (const LineCase& c : cases) {
    char line[kResultLineSize];
    memset(line, '#', sizeof line);
    FormatResultLine(line, sizeof line, c.verdict, c.sender.c_str(), c.own.c_str(), c.lead);
    ASSERT_NE(nullptr, memchr(line, '\0', sizeof line)) << c.what << ": no NUL in the buffer";
    EXPECT_EQ(c.expected, std::string(line)) << c.what;
  }
}

// Whatever the lengths, the line keeps its frame, fits, and cuts only on character boundaries.
TEST(FormatResultLine, LongInputsKeepTheFrame) {
  const size_t lengths[] = {0, 1, 3, 100, 118, 119, 120, 237, 238, 239, 240, 500, 1023};
  for (size_t ls : lengths) {
    for (size_t lo : lengths) {
      // Double-byte text with a leading single byte, so both parities of a cut come up.
      std::string sender = "1" + Repeat(kHiragana, ls / 2);
      std::string own = Repeat(kHiragana, lo / 2) + "9";
      char line[kResultLineSize + 16];
      memset(line, '#', sizeof line);
      FormatResultLine(line, kResultLineSize, VERDICT_LOSE, sender.c_str(), own.c_str(),
                       kCp932LeadBytes);
      for (size_t i = kResultLineSize; i < sizeof line; ++i) {
        ASSERT_EQ('#', line[i]) << "written past the buffer at " << i;
      }
      std::string got(line, strnlen(line, kResultLineSize));
      ASSERT_LT(got.size(), kResultLineSize) << "no NUL within the buffer";
      const std::string head = "LOSE (He:", middle = " > You:", tail = ")";
      ASSERT_EQ(0u, got.find(head)) << got;
      ASSERT_EQ(got.size() - tail.size(), got.rfind(tail)) << got;
      // The sender's text holds no " > You:", so its first occurrence is the frame's.
      size_t mid = got.find(middle, head.size());
      ASSERT_NE(std::string::npos, mid) << got;
      std::string s = got.substr(head.size(), mid - head.size());
      std::string o =
          got.substr(mid + middle.size(), got.size() - tail.size() - mid - middle.size());
      const std::pair<std::string, const std::string*> parts[] = {{s, &sender}, {o, &own}};
      bool fits = sender.size() + own.size() + 17 <= kResultLineSize - 1;
      for (const auto& part : parts) {
        const std::string& full = *part.second;
        std::string kept = part.first;
        if (kept == full) continue;
        ASSERT_FALSE(fits) << "cut although it fits: " << got;
        ASSERT_GE(kept.size(), 3u) << got;
        ASSERT_EQ("...", kept.substr(kept.size() - 3)) << "cut without a mark: " << got;
        kept.resize(kept.size() - 3);
        ASSERT_EQ(0, full.compare(0, kept.size(), kept)) << "not a prefix: " << got;
        ASSERT_TRUE(EndsOnBoundary(full, kept.size())) << "split character: " << got;
      }
      if (!fits) {
        // At most one byte per string is lost to a character boundary.
        EXPECT_GE(got.size(), kResultLineSize - 1 - 2)
            << "expected at least 253 bytes, got " << got.size();
      }
    }
  }
}

TEST(FormatWarningText, Table) {
  const std::string token1023 = Repeat(kHiragana, 511) + "1";
  const LineCase cases[] = {
      {"plain", VERDICT_LOSE, "2.82", "2.81", "He:2.82\r\nYou:2.81"},
      {"empty both", VERDICT_LOSE, "", "", "He:\r\nYou:"},
      // 9 fixed characters leave 1014 bytes: a 1023-byte token keeps 1007 and the mark.
      {"longest token", VERDICT_LOSE, std::string(1023, '7'), "2.81",
       "He:" + std::string(1007, '7') + "...\r\nYou:2.81"},
      {"longest double-byte token", VERDICT_LOSE, token1023, "2.81",
       "He:" + Repeat(kHiragana, 503) + "...\r\nYou:2.81"},
      {"exact fit", VERDICT_LOSE, std::string(1010, 'a'), "2.81",
       "He:" + std::string(1010, 'a') + "\r\nYou:2.81"},
      {"one over", VERDICT_LOSE, std::string(1011, 'a'), "2.81",
       "He:" + std::string(1007, 'a') + "...\r\nYou:2.81"},
  };
  for (const LineCase& c : cases) {
    char text[kTextBufferSize + 8];
    memset(text, '#', sizeof text);
    FormatWarningText(text, kTextBufferSize, c.sender.c_str(), c.own.c_str(), c.lead);
    for (size_t i = kTextBufferSize; i < sizeof text; ++i) {
      ASSERT_EQ('#', text[i]) << c.what << ": written past the buffer at " << i;
    }
    ASSERT_NE(nullptr, memchr(text, '\0', kTextBufferSize)) << c.what << ": no NUL";
    EXPECT_EQ(c.expected, std::string(text)) << c.what;
  }
}

struct SmallCase {
  size_t size;
  const char* expected;  // null: the buffer is left alone
};

TEST(FormatTwoStrings, SmallBuffers) {
  const SmallCase cases[] = {
      {0, nullptr},
      {1, ""},
      {2, "L"},
      {10, "LOSE (He:"},
      {18, "LOSE (He: > You:)"},   // no room for either string: both empty, frame whole
      {19, "LOSE (He: > You:3)"},  // the shorter string is kept whole first
      {20, "LOSE (He:2 > You:3)"},
      {21, "LOSE (He:2. > You:3)"},  // 3 bytes of room: "2.5" keeps 2 without a mark
      {22, "LOSE (He:2.5 > You:3)"},
  };
  for (const SmallCase& c : cases) {
    char out[32];
    memset(out, '#', sizeof out);
    FormatTwoStrings(out, c.size, "LOSE (He:%s > You:%s)", "2.5", "3", kCp932LeadBytes);
    if (c.expected == nullptr) {
      EXPECT_EQ('#', out[0]) << "size " << c.size << " touched the buffer";
      continue;
    }
    EXPECT_STREQ(c.expected, out) << "size " << c.size;
    for (size_t i = c.size; i < sizeof out; ++i) {
      ASSERT_EQ('#', out[i]) << "size " << c.size << ": written at " << i;
    }
  }
}

}  // namespace
