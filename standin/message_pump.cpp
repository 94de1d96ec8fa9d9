// The stand-in host's message loop and its watch over child processes, through Toolhelp.
#include "message_pump.h"

#include <tlhelp32.h>

void Pump(int milliseconds) {
  DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    DWORD now = GetTickCount();
    if (static_cast<int>(end - now) <= 0) return;
    MsgWaitForMultipleObjects(0, NULL, FALSE, end - now, QS_ALLINPUT);
  }
}

std::set<DWORD> ChildProcesses() {
  std::set<DWORD> children;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return children;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ParentProcessID != GetCurrentProcessId()) continue;
    if (lstrcmpiA(entry.szExeFile, "explorer.exe") == 0) continue;
    if (lstrcmpiA(entry.szExeFile, "conhost.exe") == 0) continue;
    children.insert(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return children;
}

void WaitForNewChildren(const std::set<DWORD>& before) {
  DWORD deadline = GetTickCount() + 8000;
  for (DWORD pid : ChildProcesses()) {
    if (before.count(pid)) continue;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == NULL) continue;
    for (;;) {
      DWORD left = deadline - GetTickCount();
      if (static_cast<int>(left) <= 0) break;
      DWORD r = MsgWaitForMultipleObjects(1, &process, FALSE, left, QS_ALLINPUT);
      if (r != WAIT_OBJECT_0 + 1) break;
      Pump(0);
    }
    CloseHandle(process);
  }
}
