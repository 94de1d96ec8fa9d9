// The guard and the failure function that code compiled with -fstack-protector-strong calls. They
// are the module's own: libssp's would need libssp-0.dll beside the DLL, or a static copy whose
// guard is set by a constructor, and this module runs no start-up code to call one.
#include "stack_guard.h"

// In .bss: it is seeded at process attach, and an initialised value would cost a 512-byte block
// of .data.
extern "C" {
UINT_PTR __stack_chk_guard;
}

namespace {

// Adds a value to the seed, spreading each of its bits over the whole seed.
UINT_PTR Mix(UINT_PTR seed, DWORD value) {
  seed = (seed ^ value) * 0x9E3779B1u;
  return seed ^ (seed >> 15);
}

}  // namespace

NO_STACK_GUARD void SeedStackGuard() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  // The stack's address and the module's differ among loads where addresses are randomised.
  const DWORD values[] = {now.dwLowDateTime,
                          now.dwHighDateTime,
                          counter.LowPart,
                          static_cast<DWORD>(counter.HighPart),
                          GetCurrentProcessId(),
                          GetCurrentThreadId(),
                          GetTickCount(),
                          static_cast<DWORD>(reinterpret_cast<UINT_PTR>(&now)),
                          static_cast<DWORD>(reinterpret_cast<UINT_PTR>(&__stack_chk_guard))};
  UINT_PTR seed = 0;
  for (DWORD value : values) seed = Mix(seed, value);
  // A zero lowest byte, the first one an overrun from below meets: a string copy running over a
  // buffer cannot write the guard back as it was, since its only NUL ends it.
  __stack_chk_guard = seed & ~static_cast<UINT_PTR>(0xFF);
}

// Called by a protected function whose guard was overwritten: its saved registers and return
// address cannot be trusted, so the process ends here, as a /GS-checked program's does, with
// the same status: no box, no exception handler, no unwinding.
extern "C" __attribute__((noreturn)) void __stack_chk_fail() {
  TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
  __builtin_trap();  // not reached: ending its own process, TerminateProcess does not return
}
