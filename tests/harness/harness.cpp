// The test harness's counters, report and group runner.
#include "harness.h"

std::string harness_dll;
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

int harness_main(int argc, char** argv, const TestGroup* groups, int count) {
  setvbuf(stdout, NULL, _IONBF, 0);
  bool ran = false;
  const int before = harness_checks;
  for (int i = 0; i < count; ++i) {
    if (argc > 1 && strcmp(argv[1], groups[i].name) != 0) continue;
    groups[i].run();
    ran = true;
  }
  if (!ran) {
    printf("no test group named %s\n", argc > 1 ? argv[1] : "(none)");
    return 1;
  }
  return harness_summary(harness_checks == before);
}

int harness_dll_main(int argc, char** argv, const TestGroup* groups, int count) {
  if (argc < 3) {
    printf("usage: %s GROUP VOSTREL_DLL\n", argv[0]);
    return 2;
  }
  harness_dll = argv[2];
  if (!harness_dll.empty() && harness_dll[0] == '/') harness_dll = "Z:" + harness_dll;
  for (char& c : harness_dll) c = c == '/' ? '\\' : c;
  return harness_main(argc, argv, groups, count);
}
