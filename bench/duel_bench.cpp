// Cost of examining one opened message: CutSenderVersion and CompareVersions over the X-Mailer
// value, each case measured beside a single memchr pass over the same bytes, so the ratio shows
// how far the scan is from one pass. Several lengths show how it grows with the value.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "duel/version_scan.h"

namespace {

const char kOwnVersion[] = "2.81.05";

// The header buffer as the plug-in holds it: zero-filled, the value at its front.
struct Header {
  std::string label;
  char bytes[kTextBufferSize];
  size_t length;
};

std::string Repeated(const std::string& piece, size_t length) {
  std::string s;
  while (s.size() < length) s += piece;
  s.resize(length);
  return s;
}

Header Make(const std::string& label, const std::string& value) {
  Header h;
  h.label = label;
  memset(h.bytes, 0, sizeof h.bytes);
  h.length = value.size() < kTextBufferSize - 1 ? value.size() : kTextBufferSize - 1;
  memcpy(h.bytes, value.data(), h.length);
  return h;
}

void Duel(benchmark::State& state, const Header* h) {
  char token[kTextBufferSize];
  for (auto _ : state) {
    const char* header = h->bytes;
    benchmark::DoNotOptimize(header);  // the compiler may not assume the same bytes each time
    DuelOutcome outcome = CutSenderVersion(header, token, sizeof token);
    Verdict verdict = VERDICT_DRAW;
    if (outcome == DUEL_VERDICT) verdict = CompareVersions(token, kOwnVersion);
    benchmark::DoNotOptimize(outcome);
    benchmark::DoNotOptimize(verdict);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * h->length));
}

// One pass to the value's terminating NUL: the least any scan of the whole value costs.
void Memchr(benchmark::State& state, const Header* h) {
  for (auto _ : state) {
    const char* header = h->bytes;
    benchmark::DoNotOptimize(header);
    const void* end = memchr(header, '\0', h->length + 1);
    benchmark::DoNotOptimize(end);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * h->length));
}

}  // namespace

int main(int argc, char** argv) {
  const std::string thunderbird =
      "Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:115.0) Gecko/20100101 Thunderbird/115.5.0 ";
  const std::string becky = "Becky! ver. 2.81.05 (Windows 10 x64)";
  static std::vector<Header> headers;
  headers.reserve(16);
  // The common case: another mail client, no "Becky!" anywhere, at several lengths.
  headers.push_back(Make("other_64", Repeated(thunderbird, 64)));
  headers.push_back(Make("other_256", Repeated(thunderbird, 256)));
  headers.push_back(Make("other_1023", Repeated(thunderbird, 1023)));
  // A Becky! sender as it really looks, and one padded to the buffer's full length.
  headers.push_back(Make("becky_short", becky));
  headers.push_back(
      Make("becky_1023", becky + " " + Repeated(thunderbird, 1023 - becky.size() - 1)));
  // Values made to be slow, each 1,023 bytes: runs of the first letters of "Becky!" and "ver" in
  // either case and of "!", near misses (right first and last bytes, or all but the last), and
  // "Becky!" found only at the end so that the "ver" scan runs over everything before it.
  const std::string tail = " Becky!";
  headers.push_back(Make("run_B", Repeated("B", 1023)));
  headers.push_back(Make("run_b", Repeated("b", 1023)));
  headers.push_back(Make("run_bang", Repeated("!", 1023)));
  headers.push_back(Make("run_v_becky", Repeated("v", 1023 - tail.size()) + tail));
  headers.push_back(Make("run_V_becky", Repeated("V", 1023 - tail.size()) + tail));
  headers.push_back(Make("near_becky", Repeated("BeckyBecky ", 1023)));
  headers.push_back(Make("near_B_bang", Repeated("BBBBB!!!!!", 1023)));
  headers.push_back(Make("near_ver_becky", Repeated("VvRr", 1023 - tail.size()) + tail));
  headers.push_back(Make("near_ve_becky", Repeated("vEvE", 1023 - tail.size()) + tail));
  headers.push_back(Make("both_becky", Repeated("vBvB!r!r", 1023 - tail.size()) + tail));

  for (const Header& h : headers) {
    benchmark::RegisterBenchmark(("duel/" + h.label).c_str(), Duel, &h);
    benchmark::RegisterBenchmark(("memchr/" + h.label).c_str(), Memchr, &h);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
