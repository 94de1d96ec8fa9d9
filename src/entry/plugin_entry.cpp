// The module's front door: its entry point and the fifteen functions the host calls.
#include "../../res/resource.h"
#include "../duel/check_sender.h"
#include "../duel/verdict_display.h"
#include "../host/bkapi.h"
#include "../host/module_state.h"
#include "../host/show_message.h"
#include "../settings/settings_file.h"
#include "../settings/setup_dialog.h"
#include "../text/bounded_text.h"
#include "../text/buffer_sizes.h"
#include "plugin_exports.h"
#include "plugin_info.h"
#include "stack_guard.h"

namespace {

HWND hwndSecond = NULL, hwndThird = NULL, hwndFourth = NULL;  // the host's; kept, not used

// Tells the user why the host does not get the plug-in. The box shows under the loader's lock,
// so the host cannot unload the module meanwhile, and a refused module must not stay pinned.
void ShowRefusal() {
  PluginInfo info;
  BKC_OnPlugInInfo(&info);
  char text[kSettingValueSize];
  const char* const name[] = {info.name};
  FillTemplate(text, sizeof text,
               "プラグイン「%s」でエラーが発生しました。\r\n"
               "Becky!! とプラグインのバージョンを確認してください",
               name, 1);
  ShowCp932Message(NULL, "プラグインエラー", MB_ICONHAND, text, NULL);
}

}  // namespace

// The module's entry point itself (no C run-time start-up code is linked: VOSTREL_DLL_ENTRY).
// Windows calls it with DLL_PROCESS_DETACH at unload, and also right after a refused attach.
// It seeds the stack guard, so it has no check of its own.
extern "C" NO_STACK_GUARD BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_DETACH) bkapi.Unbind();
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  SeedStackGuard();
  hInstance = instance;
  BeginRun();
  if (bkapi.Bind()) return TRUE;
  ShowRefusal();
  return FALSE;
}

extern "C" {

int WINAPI BKC_OnStart() {
  // After an exit the host starts a new run, maybe with the module it had before (see PinModule).
  if (fExited) BeginRun();
  if (!bkapi.GetWindowHandles(&hwndMain, &hwndSecond, &hwndThird, &hwndFourth)) {
    PinModule();
    ShowCp932Message(NULL, "Dravmek ERROR", MB_ICONEXCLAMATION,
                     "bkapi.GetWindowHandles()でエラーになりました。", NULL);
    return 0;
  }
  LoadSettings();
  return 0;
}

int WINAPI BKC_OnExit() {
  fExited = 1;
  if (hwndResult != NULL) {
    SaveWindowGeometry(hwndResult);
    DestroyWindow(hwndResult);
  }
  return 0;
}

int WINAPI BKC_OnOpenMail(HostArg) {
  char token[kTextBufferSize];
  Verdict verdict = VERDICT_DRAW;
  switch (CheckSenderVersion(token, &verdict)) {
    case DUEL_SILENT:
      break;
    case DUEL_NOT_BECKY:
      if (!fPopup && hwndResult != NULL) ShowWindow(hwndResult, SW_HIDE);
      break;
    case DUEL_VERDICT:
      ShowVerdict(verdict, token);
      break;
  }
  return 0;
}

int WINAPI BKC_OnPlugInSetup(HWND parent) {
  // A Unicode dialog shows its UTF-16 texts as they are, under any ANSI code page.
  DialogBoxParamW(hInstance, MAKEINTRESOURCEW(IDD_SETUP), parent, SetupDlgProc, 0);
  return 1;
}

int WINAPI BKC_OnPlugInInfo(void* info) {
  if (info != NULL) FillPluginInfo(static_cast<PluginInfo*>(info));
  return 0;
}

int WINAPI BKC_OnMenuInit(HostArg, HostArg, HostArg) { return 0; }
int WINAPI BKC_OnOpenFolder(HostArg) { return 0; }
int WINAPI BKC_OnEveryMinute() { return 0; }
int WINAPI BKC_OnOpenCompose(HostArg, HostArg) { return 0; }
int WINAPI BKC_OnOutgoing(HostArg, HostArg) { return 0; }
int WINAPI BKC_OnKeyDispatch(HostArg, HostArg, HostArg) { return 0; }
int WINAPI BKC_OnRetrieve(HostArg, HostArg) { return 0; }
int WINAPI BKC_OnSend(HostArg) { return 0; }
int WINAPI BKC_OnFinishRetrieve(HostArg) { return 0; }
int WINAPI BKC_OnDragDrop(HostArg, HostArg, HostArg, HostArg) { return 0; }

}  // extern "C"
