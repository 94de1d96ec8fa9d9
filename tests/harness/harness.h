// A small conformance-test harness in the manner of Wine's: ok() checks that report
// "file:line: Test failed: ..." and count, and a main that runs the named group.
#pragma once
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

// Utf8FromWide, for paths in messages.
#include "../../standin/host_output.h"

struct TestGroup {
  const char* name;
  void (*run)();
};

extern int harness_failures;
extern int harness_checks;
extern int harness_skips;

// outcome 1 passed, 0 failed ("file:line: Test failed: ..."), or kSkip: a check or group this
// system cannot run, its message naming what it needs and what the system has.
const int kSkip = -1;
void harness_report(int outcome, const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
#define ok(condition, ...) harness_report(!!(condition), __FILE__, __LINE__, __VA_ARGS__)
#define skip(...) harness_report(kSkip, __FILE__, __LINE__, __VA_ARGS__)

// Prints "N passed, N failed, N skipped"; the exit status: 1 on a failure, else CTest's skip code
// when the groups ran nothing but skips, else 0.
int harness_summary(bool nothing_ran);
// The program's arguments in UTF-16, its own name first: a path in any script comes whole.
extern std::vector<std::wstring> harness_args;
// Runs the group named by the first argument (or all), then harness_summary().
int harness_main(const TestGroup* groups, int count);

// The built plug-in named after the group, as a Windows path: Wine hands a Unix path over as it
// is, and its Z: drive is the Unix root.
extern std::wstring harness_dll;
// harness_main for test programs whose second argument is the built plug-in.
int harness_dll_main(const TestGroup* groups, int count);
