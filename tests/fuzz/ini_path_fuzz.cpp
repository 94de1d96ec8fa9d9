// Fuzz target: the settings file path worked out from a module path (UTF-16; each input byte is
// one character, so the corpus stays readable).
#include <cstdint>
#include <cwchar>
#include <string>

#include "fuzz_check.h"
#include "settings/ini_path.h"

namespace {

const size_t kPathSize = 1024;  // GetModuleFileNameW's buffer in the plug-in

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/' || c == L':'; }

// Length of the path before the extension's dot: the last "." after the last separator; the
// whole path when the file name has none.
size_t ReferenceStem(const std::wstring& path) {
  size_t name = 0, dot = std::wstring::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsSeparator(path[i])) {
      name = i + 1;
    } else if (path[i] == L'.') {
      dot = i;
    }
  }
  return dot != std::wstring::npos && dot >= name ? dot : path.size();
}

wchar_t out[kPathSize + 1];

// want is the expected path, worked out once per input for all the buffer sizes tried.
void Check(const std::wstring& want, const std::wstring& module, size_t out_size) {
  out[out_size] = L'#';
  bool ok = DeriveIniPath(module.c_str(), out, out_size);
  FUZZ_CHECK(out[out_size] == L'#', "written past %zu characters", out_size);
  if (out_size == 0) {
    FUZZ_CHECK(!ok, "size 0: expected false");
    return;
  }
  size_t n = wcsnlen(out, out_size);
  FUZZ_CHECK(n < out_size, "no NUL within %zu characters", out_size);
  if (want.size() < out_size) {
    FUZZ_CHECK(ok && want == out, "expected the path to fit in %zu characters", out_size);
  } else {
    FUZZ_CHECK(!ok && n == 0, "%zu characters do not fit in %zu: expected false and empty",
               want.size(), out_size);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = fuzz::TextOf(data, size, kPathSize - 1);
  std::wstring module;
  for (unsigned char c : bytes) module += static_cast<wchar_t>(c);
  const std::wstring want = module.substr(0, ReferenceStem(module)) + L".ini";
  const size_t expected = want.size() + 1;  // with the NUL
  const size_t sizes[] = {kPathSize, expected, expected - 1, size % 32};
  for (size_t s : sizes) Check(want, module, s < kPathSize ? s : kPathSize);
  return 0;
}
