// The X-Mailer scan, the token cut and the version comparison.
#include "duel/version_scan.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct ScanCase {
  const char* what;
  std::string header;
  DuelOutcome outcome;
  const char* token;  // on DUEL_VERDICT
};

const std::vector<ScanCase>& ScanCases() {
  static const std::vector<ScanCase> cases = {
      {"no header", "", DUEL_NOT_BECKY, nullptr},
      {"another client", "Microsoft Outlook 16.0", DUEL_NOT_BECKY, nullptr},
      {"plain", "Becky! ver. 2.05.10", DUEL_VERDICT, "2.05.10"},
      {"words after the token", "Becky! ver. 2.05.10 (Windows 10)", DUEL_VERDICT, "2.05.10"},
      {"any case", "BECKY! VER. 2.81", DUEL_VERDICT, "2.81"},
      {"mixed case", "bEcKy! VeR 2.7", DUEL_VERDICT, "2.7"},
      {"earlier ver wins", "Server 9 relayed Becky! ver. 2.81", DUEL_VERDICT, "9"},
      {"ver before Becky!", "Version X Becky! ver. 1", DUEL_VERDICT, "X"},
      {"no ver", "Becky! 2.81", DUEL_SILENT, nullptr},
      {"no space after ver", "Becky!ver.2.81", DUEL_SILENT, nullptr},
      {"space inside the match word", "Becky! vers.2.81 x", DUEL_VERDICT, "x"},
      {"two spaces: empty token", "Becky! ver.  2.81", DUEL_VERDICT, ""},
      {"space at the end: empty token", "Becky! ver. ", DUEL_VERDICT, ""},
      {"token to the end", "Becky! ver. 2.81.05", DUEL_VERDICT, "2.81.05"},
      {"Becky! only at the end", "xver 1 Becky!", DUEL_VERDICT, "1"},
      {"Shift_JIS before", "\x83\x42\x83\x4c\x81\x5b Becky! ver. 2.0", DUEL_VERDICT, "2.0"},
      {"Shift_JIS token", "Becky! ver. \x82\x51\x81\x44\x82\x4f", DUEL_VERDICT,
       "\x82\x51\x81\x44\x82\x4f"},
      {"tab is no separator", "Becky! ver.\t2.81 z", DUEL_VERDICT, "z"},
  };
  return cases;
}

TEST(CutSenderVersion, Table) {
  for (const ScanCase& c : ScanCases()) {
    char token[kTextBufferSize] = "untouched";
    DuelOutcome got = CutSenderVersion(c.header.c_str(), token, sizeof token);
    EXPECT_EQ(c.outcome, got) << c.what;
    if (c.outcome == DUEL_VERDICT && got == DUEL_VERDICT) {
      EXPECT_STREQ(c.token, token) << c.what;
    }
  }
}

TEST(CutSenderVersion, LongestTokenFits) {
  // A header of 1023 bytes whose token runs to its end: 1023 - 12 bytes, within the buffer.
  std::string header = "Becky! ver. " + std::string(1023 - 12, '7');
  char token[kTextBufferSize];
  ASSERT_EQ(DUEL_VERDICT, CutSenderVersion(header.c_str(), token, sizeof token));
  EXPECT_EQ(std::string(1023 - 12, '7'), token);
}

TEST(CutSenderVersion, CutsToSmallBuffer) {
  char token[4];
  ASSERT_EQ(DUEL_VERDICT, CutSenderVersion("Becky! ver. 2.81.05", token, sizeof token));
  EXPECT_STREQ("2.8", token);
}

TEST(FindNoCase, Cases) {
  const char* hay = "abcBeCkY!";
  EXPECT_EQ(hay + 3, FindNoCase(hay, "becky!"));
  EXPECT_EQ(hay, FindNoCase(hay, ""));     // empty needle: first byte
  EXPECT_EQ(nullptr, FindNoCase("", ""));  // empty haystack: nothing
  EXPECT_EQ(nullptr, FindNoCase("", "a"));
  EXPECT_EQ(nullptr, FindNoCase("becky", "becky!"));  // stops at the haystack's end
  EXPECT_EQ(nullptr, FindNoCase("[\\]", "{|}"));      // only letters fold
  // A trail byte that looks like an ASCII letter is matched byte by byte.
  const char* sjis = "\x83\x56x";  // the trail byte 0x56 is 'V'
  EXPECT_EQ(sjis + 1, FindNoCase(sjis, "vx"));
}

// Matches placed across the 16-byte blocks and 64-byte groups the scan reads, at every alignment
// of the value, among bytes that pass its first filters ('!' and 'b'); then the same value cut
// one byte short of the match, with the match's last bytes still behind its NUL.
TEST(FindNoCase, EveryAlignmentAndPlace) {
  const char* needles[] = {"Becky!", "ver", "b", "!", "0123456789abcdefXYZ"};
  const size_t places[] = {0, 1, 14, 15, 16, 17, 47, 63, 64, 65, 79, 127, 200};
  alignas(64) char buffer[320];
  for (const std::string needle : needles) {
    std::string upper = needle;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    for (size_t offset = 0; offset < 16; ++offset) {
      for (size_t place : places) {
        const std::string value = std::string(place, needle == "!" ? '.' : '!') + upper + "!!";
        memset(buffer, 'b', sizeof buffer);
        memcpy(buffer + offset, value.c_str(), value.size() + 1);
        const char* start = buffer + offset;
        EXPECT_EQ(start + place, FindNoCase(start, needle.c_str())) << needle << " " << offset;
        buffer[offset + place + needle.size() - 1] = '\0';
        EXPECT_EQ(nullptr, FindNoCase(start, needle.c_str())) << needle << " " << offset;
      }
    }
  }
}

struct CompareCase {
  const char* sender;
  const char* own;
  Verdict verdict;
};

TEST(CompareVersions, Table) {
  const CompareCase cases[] = {
      {"2.81", "2.81", VERDICT_DRAW}, {"2.82", "2.81", VERDICT_LOSE},
      {"2.80", "2.81", VERDICT_WIN},  {"2.10", "2.9", VERDICT_WIN},
      {"2.9", "2.10", VERDICT_LOSE},  {"2.0", "2.0a", VERDICT_WIN},
      {"2.0a", "2.0", VERDICT_LOSE},  {"", "", VERDICT_DRAW},
      {"", "1", VERDICT_WIN},         {"\x82\x51", "2", VERDICT_LOSE},  // unsigned bytes
  };
  for (const CompareCase& c : cases) {
    EXPECT_EQ(c.verdict, CompareVersions(c.sender, c.own)) << c.sender << " vs " << c.own;
  }
}

TEST(DuelGate, ClosedOnlyAfterTheSingleWarning) {
  EXPECT_TRUE(DuelGateClosed(1, 1, 0));
  EXPECT_TRUE(DuelGateClosed(2, -1, 0));  // any non-zero value is on
  EXPECT_FALSE(DuelGateClosed(1, 1, 1));
  EXPECT_FALSE(DuelGateClosed(0, 1, 0));  // always-show mode never falls silent
  EXPECT_FALSE(DuelGateClosed(1, 0, 0));  // every-time warnings
}

}  // namespace
