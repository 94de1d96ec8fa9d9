// Saturating decimal parsing and formatting of setting values.
#include "setting_number.h"

#include <climits>

#include "../text/bounded_text.h"

int ParseSettingNumber(const char* text) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  // Accumulate as a negative number so that INT_MIN itself is representable.
  int value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    int digit = *p - '0';
    if (value < (INT_MIN + digit) / 10) {
      value = INT_MIN;  // the digits left cannot change a saturated value
      break;
    }
    value = value * 10 - digit;
  }
  if (negative) return value;
  return value == INT_MIN ? INT_MAX : -value;
}

void FormatSettingNumber(int value, char* out, size_t out_size) {
  TextBuilder text(out, out_size);
  text.AppendNumber(value);
}

int ScaleForDpi(int pixels, int dpi) {
  const int kBaseDpi = 96, kMostDpi = 100 * kBaseDpi;  // no screen is denser; no int overflows
  if (dpi <= 0) return pixels;
  if (dpi > kMostDpi) dpi = kMostDpi;
  return (pixels * dpi * 2 + kBaseDpi) / (2 * kBaseDpi);
}
