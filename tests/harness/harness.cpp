// The test harness's counters, report and group runner.
#include "harness.h"

#include <windows.h>

namespace {

// A C runtime's argv has '?' for what the ANSI code page lacks.
std::vector<std::wstring> ProgramArguments() {
  int count = 0;
  wchar_t** given = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> arguments(given, given + (given != NULL ? count : 0));
  LocalFree(given);
  return arguments;
}

}  // namespace

std::vector<std::wstring> harness_args = ProgramArguments();
std::wstring harness_dll;
int harness_failures = 0;
int harness_checks = 0;
int harness_skips = 0;

void harness_report(int outcome, const char* file, int line, const char* format, ...) {
  if (outcome == kSkip)
    ++harness_skips;
  else
    ++harness_checks;
  if (outcome == 1) return;
  harness_failures += outcome == 0;
  const char* base = strrchr(file, '/');
  printf("%s:%d%s", base ? base + 1 : file, line, outcome ? VOSTREL_SKIP_MARK : ": Test failed: ");
  va_list args;
  va_start(args, format);
  vprintf(format, args);
  va_end(args);
  printf("\n");
  fflush(stdout);
}

int harness_summary(bool nothing_ran) {
  printf("%d passed, %d failed, %d skipped\n", harness_checks - harness_failures, harness_failures,
         harness_skips);
  if (harness_failures > 0) return 1;
  return nothing_ran && harness_skips > 0 ? 77 : 0;
}

int harness_main(const TestGroup* groups, int count) {
  setvbuf(stdout, NULL, _IONBF, 0);
  const std::string named = harness_args.size() > 1 ? Utf8FromWide(harness_args[1]) : "";
  bool ran = false;
  const int before = harness_checks;
  for (int i = 0; i < count; ++i) {
    if (harness_args.size() > 1 && named != groups[i].name) continue;
    groups[i].run();
    ran = true;
  }
  if (!ran) {
    printf("no test group named %s\n", harness_args.size() > 1 ? named.c_str() : "(none)");
    return 1;
  }
  return harness_summary(harness_checks == before);
}

int harness_dll_main(const TestGroup* groups, int count) {
  if (harness_args.size() < 3) {
    printf("usage: %s GROUP VOSTREL_DLL\n",
           harness_args.empty() ? "" : Utf8FromWide(harness_args[0]).c_str());
    return 2;
  }
  harness_dll = harness_args[2];
  if (harness_dll[0] == L'/') harness_dll = L"Z:" + harness_dll;
  for (wchar_t& c : harness_dll) c = c == L'/' ? L'\\' : c;
  return harness_main(groups, count);
}
