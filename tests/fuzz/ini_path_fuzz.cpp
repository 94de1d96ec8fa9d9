// Fuzz target: the settings file path worked out from a module path (code page 932 bytes).
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "settings/ini_path.h"

namespace {

const size_t kPathSize = 1024;  // GetModuleFileNameA's buffer in the plug-in

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

// Length of the path before the extension's dot: the last "." that starts a character after the
// last separator that starts a character; the whole path when the file name has none.
size_t ReferenceStem(const std::string& path) {
  size_t name = 0, dot = std::string::npos;
  for (size_t i = 0; i < path.size();) {
    if (IsSeparator(path[i])) {
      name = i + 1;
    } else if (path[i] == '.') {
      dot = i;
    }
    i += (fuzz::IsLead(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) ? 2 : 1;
  }
  return dot != std::string::npos && dot >= name ? dot : path.size();
}

// want is the expected path, worked out once per input for all the buffer sizes tried.
void Check(const std::string& want, const char* module_text, size_t out_size) {
  std::unique_ptr<char[]> out(new char[out_size == 0 ? 1 : out_size]);
  memset(out.get(), '#', out_size == 0 ? 1 : out_size);
  bool ok = DeriveIniPath(module_text, out.get(), out_size);
  if (out_size == 0) {
    FUZZ_CHECK(!ok && out[0] == '#', "size 0: expected false and no write");
    return;
  }
  size_t n = strnlen(out.get(), out_size);
  FUZZ_CHECK(n < out_size, "no NUL within %zu bytes", out_size);
  if (want.size() < out_size) {
    FUZZ_CHECK(ok, "expected the path to fit in %zu bytes", out_size);
    FUZZ_CHECK(want == out.get(), "expected \"%s\", got \"%s\"", want.c_str(), out.get());
  } else {
    FUZZ_CHECK(!ok && n == 0, "%zu bytes do not fit in %zu: expected false and empty", want.size(),
               out_size);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string module = fuzz::TextOf(data, size, kPathSize - 1);
  std::unique_ptr<char[]> text(new char[module.size() + 1]);
  memcpy(text.get(), module.c_str(), module.size() + 1);
  const std::string want = module.substr(0, ReferenceStem(module)) + ".ini";
  const size_t expected = want.size() + 1;  // with the NUL
  const size_t sizes[] = {kPathSize, expected, expected - 1, size % 32};
  for (size_t s : sizes) Check(want, text.get(), s);
  return 0;
}
