// The stand-in host's message loop and its watch over child processes, through a job object
// and Toolhelp.
#include "message_pump.h"

#include <tlhelp32.h>

namespace {

// Processes this one started (Wine's own helpers aside).
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

}  // namespace

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

ChildWatch::ChildWatch() {
  job_ = CreateJobObjectA(NULL, NULL);
  if (job_ != NULL && !AssignProcessToJobObject(job_, GetCurrentProcess())) {
    CloseHandle(job_);
    job_ = NULL;
  }
}

ChildWatch::~ChildWatch() {
  if (job_ != NULL) CloseHandle(job_);
}

DWORD ChildWatch::Started() {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info;
  if (job_ != NULL && QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &info,
                                                sizeof info, NULL)) {
    return info.TotalProcesses;
  }
  return ++calls_;
}

void ChildWatch::Mark() {
  DWORD started = Started();
  if (marked_ && started == started_) return;
  known_ = ChildProcesses();
  started_ = started;
  marked_ = true;
}

void ChildWatch::WaitForNew() {
  if (marked_ && Started() == started_) return;
  DWORD deadline = GetTickCount() + 8000;
  for (DWORD pid : ChildProcesses()) {
    if (known_.count(pid)) continue;
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
