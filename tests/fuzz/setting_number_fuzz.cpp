// Fuzz target: reading and writing the numbers of the settings file.
// The input is a value as the profile functions would hand it over (up to 255 bytes in the
// plug-in; longer here, to reach the saturation).
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "settings/setting_number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::TextOf(data, size, 8192);
  // Exactly the text and its NUL, so that reading past the end is caught.
  std::unique_ptr<char[]> value(new char[text.size() + 1]);
  memcpy(value.get(), text.c_str(), text.size() + 1);

  int got = ParseSettingNumber(value.get());
  // strtoll saturates at long long's ends, so clamping it gives the saturated int reading.
  errno = 0;
  long long wide = strtoll(value.get(), nullptr, 10);
  long long clamped = wide < INT_MIN ? INT_MIN : (wide > INT_MAX ? INT_MAX : wide);
  FUZZ_CHECK(got == clamped, "\"%.40s\": expected %lld, got %d", text.c_str(), clamped, got);
  if (errno == 0 && wide == clamped) {
    int classic = atoi(value.get());  // defined only when the number fits
    FUZZ_CHECK(got == classic, "\"%.40s\": atoi reads %d, got %d", text.c_str(), classic, got);
  }

  // Written back, the number reads the same and looks as printf would write it.
  char written[kSettingValueSize];
  FormatSettingNumber(got, written, sizeof written);
  char printed[32];
  snprintf(printed, sizeof printed, "%d", got);
  FUZZ_CHECK(strcmp(written, printed) == 0, "wrote \"%s\", printf \"%s\"", written, printed);
  int back = ParseSettingNumber(written);
  FUZZ_CHECK(back == got, "round trip: expected %d, got %d", got, back);

  // Into a smaller buffer: a prefix of the full text, NUL-terminated within it.
  size_t small = size % 14;
  std::unique_ptr<char[]> cut(new char[small == 0 ? 1 : small]);
  cut[0] = '#';
  FormatSettingNumber(got, cut.get(), small);
  if (small == 0) {
    FUZZ_CHECK(cut[0] == '#', "size 0 wrote");
  } else {
    size_t n = strnlen(cut.get(), small);
    FUZZ_CHECK(n < small, "no NUL within %zu bytes", small);
    FUZZ_CHECK(n == std::min(strlen(printed), small - 1) && memcmp(cut.get(), printed, n) == 0,
               "\"%s\" in %zu bytes is no prefix of \"%s\"", cut.get(), small, printed);
  }
  return 0;
}
