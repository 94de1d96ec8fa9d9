// A DLL with the plug-in's stack guard and protection, for conformance.stack.guard.
#include "../../src/entry/stack_guard.h"

extern "C" NO_STACK_GUARD BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) SeedStackGuard();
  wchar_t mark[MAX_PATH];  // a file that tells the test this detach code ran: no overrun may run it
  if (reason == DLL_PROCESS_DETACH && GetEnvironmentVariableW(L"VOSTREL_DETACHED", mark, MAX_PATH))
    CloseHandle(CreateFileW(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
  return TRUE;
}

// Writes count bytes into a 16-byte buffer on the stack (more overrun it) and returns the guard.
// The stores are volatile, or the compiler could drop them, the buffer being read no more, and go
// through a pointer it cannot follow, or it would stop the loop at the buffer's end.
extern "C" __declspec(dllexport) UINT_PTR FillStackBuffer(int count) {
  volatile char buffer[16];
  volatile char* volatile cursor = buffer;
  for (int i = 0; i < count; ++i) cursor[i] = 'A';
  return __stack_chk_guard;
}
