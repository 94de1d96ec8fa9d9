// A WH_CBT hook that notes and closes message boxes, or passes a dialog to a script.
#include "box_watch.h"

#include <string.h>

namespace {

const int kMaxSeen = 64;
const UINT_PTR kScriptTimer = 0x5C1;

HHOOK hook = NULL;
SeenBox seen[kMaxSeen];
int seen_count = 0;
DialogScript pending_script = NULL;
void* pending_context = NULL;
HWND scripted_dialog = NULL;

bool IsDialogWindow(HWND window) {
  char name[16];
  return GetClassNameA(window, name, sizeof name) > 0 && strcmp(name, "#32770") == 0;
}

void CALLBACK RunScript(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(NULL, timer);
  DialogScript script = pending_script;
  HWND dialog = scripted_dialog;
  pending_script = NULL;
  scripted_dialog = NULL;
  if (script != NULL && IsWindow(dialog)) script(dialog, pending_context);
}

void Record(HWND box) {
  SeenBox* entry = &seen[seen_count < kMaxSeen ? seen_count : kMaxSeen - 1];
  if (seen_count < kMaxSeen) ++seen_count;
  GetWindowTextA(box, entry->caption, sizeof entry->caption);
  entry->text[0] = '\0';
  HWND text = GetDlgItem(box, 0xFFFF);
  if (text != NULL) GetWindowTextA(text, entry->text, sizeof entry->text);
  entry->owner = GetWindow(box, GW_OWNER);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (IsDialogWindow(window) && window != scripted_dialog) {
      if (pending_script != NULL && scripted_dialog == NULL) {
        scripted_dialog = window;
        SetTimer(NULL, kScriptTimer, 10, RunScript);
      } else if (pending_script == NULL) {
        Record(window);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
      }
    }
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

void WatchBoxes() {
  if (hook == NULL) hook = SetWindowsHookExA(WH_CBT, CbtProc, NULL, GetCurrentThreadId());
}

void StopWatchingBoxes() {
  if (hook != NULL) UnhookWindowsHookEx(hook);
  hook = NULL;
}

int SeenBoxCount() { return seen_count; }

const SeenBox* SeenBoxAt(int index) {
  return index >= 0 && index < seen_count ? &seen[index] : NULL;
}

void ForgetSeenBoxes() { seen_count = 0; }

void ScriptNextDialog(DialogScript script, void* context) {
  pending_script = script;
  pending_context = context;
  scripted_dialog = NULL;
}
