// The calling convention of every export, as the host relies on it: this program is a host
// (it exports the host functions), loads the built plug-in the ordinary way, and calls each
// export through its exported name with its number of 32-bit arguments, measuring how many
// bytes of arguments the callee took off the stack.
#include <windows.h>

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
  HMODULE plugin = LoadLibraryA(harness_dll.c_str());
  ok(plugin != NULL, "LoadLibraryA(%s) failed, error %lu", harness_dll.c_str(), GetLastError());
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

const TestGroup kGroups[] = {
    {"stdcall", Stdcall},
};

}  // namespace

int main(int argc, char** argv) {
  return harness_dll_main(argc, argv, kGroups, sizeof kGroups / sizeof kGroups[0]);
}
