// Runs a fuzz target over every file of the given corpus folders (or single files), so the
// committed corpora are regression tests under the sanitizers without needing libFuzzer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    fs::path arg(argv[i]);
    if (fs::is_directory(arg)) {
      for (const fs::directory_entry& e : fs::directory_iterator(arg)) {
        if (e.is_regular_file()) inputs.push_back(e.path());
      }
    } else if (fs::is_regular_file(arg)) {
      inputs.push_back(arg);
    } else {
      std::fprintf(stderr, "replay: no such file or folder: %s\n", argv[i]);
      return 2;
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "replay: no inputs given\n");
    return 2;
  }
  std::sort(inputs.begin(), inputs.end());
  for (const fs::path& p : inputs) {
    std::ifstream in(p, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    std::fprintf(stderr, "replay: %s (%zu bytes)\n", p.string().c_str(), bytes.size());
    // An empty vector's data() may be null; the fuzzer never passes null.
    static const uint8_t kNone = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &kNone : bytes.data(), bytes.size());
  }
  std::printf("replayed %zu inputs\n", inputs.size());
  return 0;
}
