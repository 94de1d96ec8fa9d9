// Bounded text building and the code page 932 character boundary helper.
#include "text/bounded_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "code_pages.h"

namespace {

struct AppendCase {
  const char* what;
  size_t size;
  const char* first;
  const char* second;
  const char* expected;
  bool cut;
};

TEST(TextBuilder, Append) {
  const AppendCase cases[] = {
      {"both fit", 8, "abc", "def", "abcdef", false},
      {"exact fit", 7, "abc", "def", "abcdef", false},
      {"one byte over", 6, "abc", "def", "abcde", true},
      {"first already cut", 3, "abc", "def", "ab", true},
      {"size 1 holds only the NUL", 1, "a", "", "", true},
      {"size 1 and nothing to add", 1, "", "", "", false},
      {"empty appends", 4, "", "", "", false},
  };
  for (const AppendCase& c : cases) {
    char buffer[16];
    memset(buffer, '#', sizeof buffer);
    TextBuilder text(buffer, c.size);
    text.Append(c.first);
    text.Append(c.second);
    EXPECT_STREQ(c.expected, buffer) << c.what;
    EXPECT_EQ(strlen(c.expected), text.length) << c.what;
    EXPECT_EQ(c.cut, text.cut) << c.what;
    for (size_t i = c.size; i < sizeof buffer; ++i) {
      ASSERT_EQ('#', buffer[i]) << c.what << ": written at " << i;
    }
  }
}

TEST(TextBuilder, SizeZeroWritesNothing) {
  char buffer[4] = {'#', '#', '#', '#'};
  TextBuilder text(buffer, 0);
  text.Append("");
  EXPECT_FALSE(text.cut) << "nothing was lost yet";
  text.Append("x");
  text.AppendNumber(5);
  EXPECT_TRUE(text.cut);
  EXPECT_EQ(0u, text.length);
  EXPECT_EQ(std::string(4, '#'), std::string(buffer, 4));
}

TEST(TextBuilder, AppendCountStopsAtCount) {
  char buffer[8];
  TextBuilder text(buffer, sizeof buffer);
  text.Append("abcdef", 2);
  text.Append("xyz", 0);
  EXPECT_STREQ("ab", buffer);
  EXPECT_FALSE(text.cut);
}

struct NumberCase {
  int value;
  size_t size;
  const char* expected;
  bool cut;
};

TEST(TextBuilder, AppendNumber) {
  const NumberCase cases[] = {
      {0, 16, "0", false},
      {-1, 16, "-1", false},
      {1, 16, "1", false},
      {250, 16, "250", false},
      {-250, 16, "-250", false},
      {INT_MAX, 16, "2147483647", false},
      {INT_MIN, 16, "-2147483648", false},
      {INT_MIN + 1, 16, "-2147483647", false},
      {INT_MIN, 12, "-2147483648", false},  // exact fit
      {INT_MIN, 11, "-214748364", true},
      {-250, 3, "-2", true},
      {7, 1, "", true},
  };
  for (const NumberCase& c : cases) {
    char buffer[16];
    TextBuilder text(buffer, c.size);
    text.AppendNumber(c.value);
    EXPECT_STREQ(c.expected, buffer) << c.value << " in " << c.size;
    EXPECT_EQ(c.cut, text.cut) << c.value << " in " << c.size;
  }
}

TEST(TextBuilder, NumberAfterText) {
  char buffer[32];
  TextBuilder text(buffer, sizeof buffer);
  text.Append("left=");
  text.AppendNumber(-8);
  text.Append(";");
  EXPECT_STREQ("left=-8;", buffer);
}

struct TemplateCase {
  const char* what;
  const char* text_template;
  size_t value_count;
  size_t size;
  const char* expected;
  bool whole;
};

TEST(FillTemplate, Table) {
  const char* const values[] = {"2.81", "2.9"};
  const TemplateCase cases[] = {
      {"two values", "He:%s You:%s", 2, 32, "He:2.81 You:2.9", true},
      {"no marks", "plain", 2, 32, "plain", true},
      {"extra values ignored", "v=%s", 2, 32, "v=2.81", true},
      {"missing value keeps the mark", "%s and %s", 1, 32, "2.81 and %s", true},
      {"no values", "%s", 0, 32, "%s", true},
      {"lone percent", "100% %s", 1, 32, "100% 2.81", true},
      {"exact fit", "He:%s You:%s", 2, 16, "He:2.81 You:2.9", true},
      {"cut in the last value", "He:%s You:%s", 2, 15, "He:2.81 You:2.", false},
      {"cut in the first value", "He:%s You:%s", 2, 6, "He:2.", false},
      {"cut in the text", "He:%s You:%s", 2, 3, "He", false},
      {"size 1", "He:%s", 2, 1, "", false},
      {"empty template", "", 2, 1, "", true},
  };
  for (const TemplateCase& c : cases) {
    char out[32];
    memset(out, '#', sizeof out);
    bool whole = FillTemplate(out, c.size, c.text_template, values, c.value_count);
    EXPECT_STREQ(c.expected, out) << c.what;
    EXPECT_EQ(c.whole, whole) << c.what;
    for (size_t i = c.size; i < sizeof out; ++i) {
      ASSERT_EQ('#', out[i]) << c.what << ": written at " << i;
    }
  }
}

TEST(FillTemplate, SizeZero) {
  char out[2] = {'#', '#'};
  const char* const values[] = {"x"};
  EXPECT_FALSE(FillTemplate(out, 0, "a%s", values, 1));
  EXPECT_EQ('#', out[0]);
  EXPECT_TRUE(FillTemplate(out, 0, "", values, 0)) << "an empty text loses nothing";
}

struct FitCase {
  const char* what;
  const char* text;
  size_t max_bytes;
  size_t expected;
  LeadBytes lead = kCp932LeadBytes;
};

TEST(FitPrefix, Table) {
  const FitCase cases[] = {
      {"ASCII", "abc", 2, 2},
      {"ASCII, more room than text", "abc", 10, 3},
      {"zero", "abc", 0, 0},
      {"empty", "", 5, 0},
      {"whole characters", "\x82\xa0\x82\xa0", 4, 4},
      {"odd budget stops before a character", "\x82\xa0\x82\xa0", 3, 2},
      {"one byte of a character", "\x82\xa0", 1, 0},
      {"after a single byte", "a\x82\xa0", 2, 1},
      {"trail byte 0x5C is no backslash",
       "\x95\x5c"
       "b",
       2, 2},
      {"trail byte like a letter",
       "\x83\x56"
       "x",
       1, 0},
      {"upper lead range", "\xe0\x40\xfc\x40", 3, 2},
      {"half-width katakana are single", "\xb1\xb2\xb3", 2, 2},
      {"0x80 and 0xA0 are single", "\x80\xa0", 1, 1},
      {"0xFD is single", "\xfd\xfe", 1, 1},
      {"lead byte at the end counts alone", "a\x82", 5, 2},
      {"lead byte at the end within budget", "a\x82", 2, 2},
      {"949: 0xB0 leads", "a\xb0\xa1", 2, 1, kCp949LeadBytes},
      {"single-byte code page", "\x82\xa0\x82", 1, 1, kSingleByte},
      {"UTF-8: two-byte characters", "\xc3\xa9\xc3\xa9", 3, 2, kUtf8},
      {"UTF-8: three-byte character after ASCII", "a\xe3\x81\x82", 3, 1, kUtf8},
      {"UTF-8: four-byte character", "\xf0\x9f\x98\x80x", 4, 4, kUtf8},
      {"UTF-8: budget past a four-byte character, short of the next",
       "\xf0\x9f\x98\x80\xf0\x9f\x98\x80", 7, 4, kUtf8},
      {"UTF-8: a stray continuation byte counts alone", "\xa9\xa9", 1, 1, kUtf8},
      {"UTF-8: a character cut short by the end", "a\xe3\x81", 5, 3, kUtf8},
      {"UTF-8: a start byte before ASCII counts alone",
       "\xc3"
       "a",
       1, 1, kUtf8},
  };
  for (const FitCase& c : cases) {
    size_t got = FitPrefix(c.text, c.max_bytes, c.lead);
    EXPECT_EQ(c.expected, got) << c.what << ": expected " << c.expected << ", got " << got;
  }
}

}  // namespace
