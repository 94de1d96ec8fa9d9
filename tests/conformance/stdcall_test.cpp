// The calling convention of every export, as the host relies on it: this program is a host
// (it exports the host functions), loads the built plug-in the ordinary way, and calls each
// export through its exported name with its number of 32-bit arguments, measuring how many
// bytes of arguments the callee took off the stack. It also starts children that overrun a stack
// buffer in a DLL with the plug-in's stack guard.
#include <stdlib.h>
#include <windows.h>

#include <fstream>
#include <vector>

#include "../../standin/box_watch.h"
#include "../../standin/host_api.h"
#include "../harness/export_table.h"
#include "../harness/harness.h"
#include "binary_reader.h"

namespace {

struct CallResult {
  DWORD value;
  DWORD removed;  // bytes the callee removed from the stack
};

// Pushes count arguments (args[0] last, so it is the first), calls fn, and measures the stack
// pointer at the call and after the return. The stack pointer is put back either way, so a
// wrong convention shows as a count instead of a crash.
__attribute__((noinline)) CallResult CallMeasured(FARPROC fn, const DWORD* args, DWORD count) {
  CallResult result;
  const DWORD* cursor = args;
  DWORD counter = count;
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "jecxz 2f\n"
      "1:\n\t"
      "pushl -4(%%edi,%%ecx,4)\n\t"
      "loop 1b\n"
      "2:\n\t"
      "movl %%esp, %%edi\n\t"
      "call *%%ebx\n\t"
      "movl %%esp, %%ecx\n\t"
      "subl %%edi, %%ecx\n\t"
      "movl %%esi, %%esp\n\t"
      : "=a"(result.value), "+c"(counter), "+D"(cursor)
      : "b"(fn)
      : "esi", "edx", "memory", "cc");
  result.removed = counter;
  return result;
}

void CancelDialog(HWND dialog, void*) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }

void Stdcall() {
  standin.xmailer = NULL;  // every opened message is not from Becky!: nothing to show
  HWND main = CreateStandinMainWindow("Vostrel stdcall host");
  WatchBoxes();
  HMODULE plugin = LoadLibraryW(harness_dll.c_str());
  DWORD error = GetLastError();
  ok(plugin != NULL, "LoadLibraryW(%s) failed, error %lu", Utf8FromWide(harness_dll).c_str(),
     error);
  if (plugin == NULL) return;
  std::vector<unsigned char> info(496 + 16, 0xCC);
  for (const ExportContract& call : kExportTable) {
    FARPROC fn = GetProcAddress(plugin, call.name);
    ok(fn != NULL, "%s: not exported", call.name);
    if (fn == NULL) continue;
    DWORD args[4] = {0, 0, 0, 0};
    if (strcmp(call.name, "BKC_OnPlugInInfo") == 0) {
      args[0] = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(info.data()));
    } else if (strcmp(call.name, "BKC_OnPlugInSetup") == 0) {
      args[0] = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(main));
      ScriptNextDialog(CancelDialog, NULL);
    }
    CallResult result = CallMeasured(fn, args, call.arguments);
    ok(result.removed == 4u * call.arguments, "%s: expected %d bytes removed, got %ld", call.name,
       4 * call.arguments, static_cast<long>(result.removed));
    ok(result.value == call.returns, "%s: expected %lu, got %lu", call.name, call.returns,
       result.value);
  }
  // The information record is the one export that writes through its argument: within 496 bytes.
  ok(strcmp(reinterpret_cast<const char*>(info.data()), "Becky! Vostrel plug-in") == 0,
     "BKC_OnPlugInInfo: the name field was not written");
  for (size_t i = 496; i < info.size(); ++i) {
    ok(info[i] == 0xCC, "BKC_OnPlugInInfo wrote byte %d past the 496-byte record",
       static_cast<int>(i));
  }
  ok(SeenBoxCount() == 0, "expected %d message boxes, got %d", 0, SeenBoxCount());
  StopWatchingBoxes();
  FreeLibrary(plugin);
  DestroyWindow(main);
}

// Started by Guard: loads the DLL its second argument names and exits with its guard (lowest byte
// zero, unlike a failure's code): the probe's, returned after filling as many bytes of its buffer
// as the third argument says, or the plug-in's, at its address in the link map less the image
// base, from the module's handle.
void GuardChild() {
  SetErrorMode(SEM_NOGPFAULTERRORBOX);  // a crash must not start a debugger
  HMODULE dll = LoadLibraryW(harness_dll.c_str());
  auto fill = reinterpret_cast<UINT_PTR (*)(int)>(
      reinterpret_cast<void*>(GetProcAddress(dll, "FillStackBuffer")));
  if (fill != NULL) ExitProcess(harness_args.size() > 3 ? fill(_wtoi(harness_args[3].c_str())) : 2);
  std::string map;
  std::getline(std::ifstream((harness_dll.substr(0, harness_dll.size() - 3) + L"map").c_str()), map,
               '\0');
  auto at = [&](const char* s) { return strtoul(&map[map.rfind("0x", map.find(s))], NULL, 16); };
  if (dll == NULL || map.empty()) ExitProcess(2);
  UINT_PTR guard = reinterpret_cast<UINT_PTR>(dll) + at(" __stack_chk_guard\n");
  ExitProcess(*reinterpret_cast<UINT_PTR*>(guard - at(" __image_base__ =")));
}

// The exit code of a GuardChild loading dll and filling bytes; one still running after 30 s is
// ended with WAIT_TIMEOUT (0x102).
DWORD RunGuardChild(const std::wstring& dll, const wchar_t* bytes) {
  std::wstring command = L"\"" + harness_args[0] + L"\" guard_child \"" + dll + L"\" " + bytes;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  BOOL started =
      CreateProcessW(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &child);
  DWORD error = GetLastError();
  ok(started, "%s bytes: could not start the child: %lu", Utf8FromWide(bytes).c_str(), error);
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(child.hProcess, 30000) == WAIT_TIMEOUT) {
    TerminateProcess(child.hProcess, WAIT_TIMEOUT);
  }
  GetExitCodeProcess(child.hProcess, &code);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return code;
}

// An overrun stack buffer ends the process at once with the status Windows' own checks give it,
// running no detach code; each load of the probe and of the plug-in (the third argument) has its
// own guard. The probe runs from a folder whose name no ANSI code page holds whole: only a child
// that takes its arguments in UTF-16 finds it there.
void Guard() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = temp + std::wstring(L"vostrel_guard_Ωü新한");
  const std::wstring probe = folder + L"\\guard_probe.dll", mark = probe + L".detached";
  CreateDirectoryW(folder.c_str(), NULL);
  BOOL copied = CopyFileW(harness_dll.c_str(), probe.c_str(), FALSE);
  DWORD error = GetLastError();
  ok(copied, "copying the probe to %s failed: %lu", Utf8FromWide(probe).c_str(), error);
  SetEnvironmentVariableW(L"VOSTREL_DETACHED", mark.c_str());
  for (const std::wstring& dll : {probe, harness_args[3]}) {
    DWORD first = RunGuardChild(dll, L"16"), second = RunGuardChild(dll, L"16");
    ok(first != 0 && second != 0 && first % 256 == 0 && second % 256 == 0 && first != second,
       "%s twice: expected two guards as exit codes, got 0x%lX, 0x%lX", Utf8FromWide(dll).c_str(),
       first, second);
  }
  ok(DeleteFileW(mark.c_str()), "16 bytes into 16: expected a detach mark %s",
     Utf8FromWide(mark).c_str());
  DWORD over = RunGuardChild(probe, L"32");
  ok(over == STATUS_STACK_BUFFER_OVERRUN, "32 bytes into 16: expected exit code 0x%lX, got 0x%lX",
     STATUS_STACK_BUFFER_OVERRUN, over);
  ok(!DeleteFileW(mark.c_str()), "32 bytes into 16: expected no detach mark, found %s",
     Utf8FromWide(mark).c_str());
  DeleteFileW(probe.c_str());
  RemoveDirectoryW(folder.c_str());
}

const TestGroup kGroups[] = {
    {"stdcall", Stdcall},
    {"guard", Guard},
    {"guard_child", GuardChild},
};

}  // namespace

int main() { return harness_dll_main(kGroups, sizeof kGroups / sizeof kGroups[0]); }
