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

// Boxes left up for a while: each is closed by its own timer.
const int kMaxWaiting = 8;
struct WaitingBox {
  UINT_PTR timer;
  HWND box;
  int seen_index;
};
WaitingBox waiting[kMaxWaiting];
int delay_ms = 0;
bool close_boxes = true;
BoxShown on_shown = NULL;
void* shown_context = NULL;

bool IsWaiting(HWND box) {
  for (const WaitingBox& w : waiting) {
    if (w.box == box) return true;
  }
  return false;
}

void CALLBACK FinishBox(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(NULL, timer);
  for (WaitingBox& w : waiting) {
    if (w.timer != timer) continue;
    HWND box = w.box;
    int index = w.seen_index;
    w = WaitingBox();
    if (!IsWindow(box)) return;
    if (on_shown != NULL) on_shown(box, SeenBoxAt(index), shown_context);
    if (close_boxes) PostMessageA(box, WM_COMMAND, IDOK, 0);
    return;
  }
}

// Returns false when there is no room to wait, so that the box is closed at once instead.
bool WaitBeforeClosing(HWND box) {
  for (WaitingBox& w : waiting) {
    if (w.box != NULL) continue;
    w.timer = SetTimer(NULL, 0, static_cast<UINT>(delay_ms), FinishBox);
    if (w.timer == 0) return false;
    w.box = box;
    w.seen_index = seen_count - 1;
    return true;
  }
  return false;
}

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
  entry->window = box;
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (IsDialogWindow(window) && window != scripted_dialog) {
      if (pending_script != NULL && scripted_dialog == NULL) {
        scripted_dialog = window;
        SetTimer(NULL, kScriptTimer, 10, RunScript);
      } else if (pending_script == NULL && !IsWaiting(window)) {
        Record(window);
        bool waits = (delay_ms > 0 || !close_boxes) && WaitBeforeClosing(window);
        if (!waits) PostMessageA(window, WM_COMMAND, IDOK, 0);
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

void SetBoxHandling(int delay, bool close, BoxShown shown, void* context) {
  delay_ms = delay > 0 ? delay : 0;
  close_boxes = close;
  on_shown = shown;
  shown_context = context;
}
