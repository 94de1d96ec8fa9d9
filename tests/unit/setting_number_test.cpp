// Numbers of the settings file: atoi's reading, without its overflow.
#include "settings/setting_number.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct ParseCase {
  std::string text;
  int expected;
  bool in_range;  // atoi's own result is defined, so it must agree
};

TEST(ParseSettingNumber, Table) {
  const ParseCase cases[] = {
      {"", 0, true},
      {"abc", 0, true},
      {"0", 0, true},
      {"1", 1, true},
      {"250", 250, true},
      {" -50", -50, true},
      {"+7", 7, true},
      {"12px", 12, true},
      {"3.9", 3, true},
      {"1 2", 1, true},
      {"0x1A", 0, true},
      {"007", 7, true},
      {"-0", 0, true},
      {"\t\n\v\f\r 42", 42, true},
      {"- 5", 0, true},
      {"+-5", 0, true},
      {"--5", 0, true},
      {" +", 0, true},
      {"\x82\x50", 0, true},  // a full-width digit is no digit
      {"2147483647", INT_MAX, true},
      {"-2147483648", INT_MIN, true},
      {"-2147483647", INT_MIN + 1, true},
      {std::string(5000, '0') + "42", 42, true},  // leading zeros do not overflow
      {"2147483648", INT_MAX, false},
      {"-2147483649", INT_MIN, false},
      {"21474836470", INT_MAX, false},
      {"99999999999999999999", INT_MAX, false},
      {std::string(5000, '9'), INT_MAX, false},
      {"-" + std::string(5000, '9'), INT_MIN, false},
      {"1" + std::string(5000, '0') + "x", INT_MAX, false},
  };
  for (const ParseCase& c : cases) {
    int got = ParseSettingNumber(c.text.c_str());
    EXPECT_EQ(c.expected, got) << "\"" << c.text.substr(0, 24) << "\": expected " << c.expected
                               << ", got " << got;
    if (c.in_range) {
      EXPECT_EQ(atoi(c.text.c_str()), got)
          << "\"" << c.text.substr(0, 24) << "\" differs from atoi";
    }
  }
}

TEST(FormatSettingNumber, RoundTrips) {
  const int values[] = {INT_MIN, INT_MIN + 1, -100000, -1, 0, 1, 27, 250, 1000000, INT_MAX};
  for (int value : values) {
    char text[kSettingValueSize];
    FormatSettingNumber(value, text, sizeof text);
    EXPECT_EQ(std::to_string(value), text) << value;
    int back = ParseSettingNumber(text);
    EXPECT_EQ(value, back) << "expected " << value << ", got " << back;
  }
}

struct CutCase {
  int value;
  size_t size;
  const char* expected;
};

TEST(FormatSettingNumber, SmallBuffers) {
  const CutCase cases[] = {
      {-250, 5, "-250"},           {-250, 4, "-25"}, {-250, 2, "-"}, {-250, 1, ""},
      {INT_MAX, 11, "2147483647"},
  };
  for (const CutCase& c : cases) {
    char text[16];
    memset(text, '#', sizeof text);
    FormatSettingNumber(c.value, text, c.size);
    EXPECT_STREQ(c.expected, text) << c.value << " in " << c.size;
    for (size_t i = c.size; i < sizeof text; ++i) {
      ASSERT_EQ('#', text[i]) << c.value << " in " << c.size << ": written at " << i;
    }
  }
  char untouched[2] = {'#', '#'};
  FormatSettingNumber(5, untouched, 0);
  EXPECT_EQ('#', untouched[0]);
}

TEST(ScaleForDpi, Table) {
  const struct {
    int pixels, dpi, expected;
  } cases[] = {
      {250, 96, 250},  {27, 96, 27},  {250, 144, 375},       {27, 144, 41},  // 40.5: halves up
      {250, 192, 500}, {27, 192, 54}, {27, 120, 34},         {250, 72, 188}, {0, 192, 0},
      {250, 0, 250},   {27, -1, 27},  {250, INT_MAX, 25000},  // as at 96, and at most 100 times
  };
  for (const auto& c : cases) {
    int got = ScaleForDpi(c.pixels, c.dpi);
    EXPECT_EQ(c.expected, got) << c.pixels << " at " << c.dpi << ": expected " << c.expected
                               << ", got " << got;
  }
}

}  // namespace
