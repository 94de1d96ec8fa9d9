// A WH_CBT hook that notes and closes message boxes, or passes a dialog to a script.
#include "box_watch.h"

#include <string.h>

#include <deque>
#include <iterator>
#include <set>

namespace {

HHOOK hook = NULL;
// Every box since the last ForgetSeenBoxes, in order; a deque keeps the entries in place.
std::deque<SeenBox> seen;
// Recorded boxes not yet gone: a box activated again, even while it is being destroyed, is not
// a new one.
std::set<HWND> open_boxes;
DialogScript pending_script = NULL;
void* pending_context = NULL;
HWND scripted_dialog = NULL;
// The timer that hands scripted_dialog to its script; without a window SetTimer picks the id.
UINT_PTR script_timer = 0;

// Boxes left up for a while: each is closed by its own timer.
const int kMaxWaiting = 8;
struct WaitingBox {
  UINT_PTR timer;
  HWND box;
};
WaitingBox waiting[kMaxWaiting];
int delay_ms = 0;
bool close_boxes = true;
BoxShown on_shown = NULL;
void* shown_context = NULL;

void CALLBACK FinishBox(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(NULL, timer);
  for (WaitingBox& w : waiting) {
    if (w.timer != timer) continue;
    HWND box = w.box;
    w = WaitingBox();
    if (!IsWindow(box)) return;
    if (on_shown != NULL) on_shown(box, shown_context);
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
    return true;
  }
  return false;
}

// A dialog of this thread: on Wine's desktop, shared by all the programs of a session, the hook
// may also hear of another program's windows taking the focus.
bool IsOwnDialog(HWND window) {
  char name[16];
  return GetWindowThreadProcessId(window, NULL) == GetCurrentThreadId() &&
         GetClassNameA(window, name, sizeof name) > 0 && strcmp(name, "#32770") == 0;
}

// A message box holds push buttons and static controls (its text and icon) and nothing else.
// The plug-in's settings dialog has check boxes, radio buttons and group boxes, and its result
// window no controls at all: neither is a box, though both are dialogs that get activated.
bool IsMessageBox(HWND dialog) {
  bool button = false;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != NULL;
       child = GetWindow(child, GW_HWNDNEXT)) {
    char name[16];
    if (GetClassNameA(child, name, sizeof name) <= 0) return false;
    if (lstrcmpiA(name, "Static") == 0) continue;
    if (lstrcmpiA(name, "Button") != 0) return false;
    LONG type = GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
    if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) return false;
    button = true;
  }
  return button;
}

void StopScriptTimer() {
  if (script_timer != 0) KillTimer(NULL, script_timer);
  script_timer = 0;
}

void CALLBACK RunScript(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = scripted_dialog;
  // A modal dialog may be activated before its loop shows it; a user acts once it shows. The
  // timer goes on ticking until then.
  if (IsWindow(dialog) && !IsWindowVisible(dialog)) return;
  StopScriptTimer();
  DialogScript script = pending_script;
  pending_script = NULL;
  scripted_dialog = NULL;
  if (script != NULL && IsWindow(dialog)) script(dialog, pending_context);
}

void Record(HWND box) {
  seen.emplace_back();
  SeenBox* entry = &seen.back();
  GetWindowTextA(box, entry->caption, sizeof entry->caption);
  GetWindowTextW(box, entry->wcaption, sizeof entry->wcaption / sizeof(wchar_t));
  entry->text[0] = '\0';
  entry->wtext[0] = L'\0';
  HWND text = GetDlgItem(box, 0xFFFF);
  if (text != NULL) {
    GetWindowTextA(text, entry->text, sizeof entry->text);
    GetWindowTextW(text, entry->wtext, sizeof entry->wtext / sizeof(wchar_t));
  }
  entry->owner = GetWindow(box, GW_OWNER);
  entry->window = box;
  for (auto it = open_boxes.begin(); it != open_boxes.end();) {
    it = IsWindow(*it) ? std::next(it) : open_boxes.erase(it);
  }
  open_boxes.insert(box);
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  HWND window = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && IsOwnDialog(window) && window != scripted_dialog) {
    if (pending_script != NULL && scripted_dialog == NULL) {
      scripted_dialog = window;
      script_timer = SetTimer(NULL, 0, 10, RunScript);
    } else if (IsMessageBox(window) && !open_boxes.count(window)) {
      Record(window);
      bool waits = (delay_ms > 0 || !close_boxes) && WaitBeforeClosing(window);
      if (!waits) PostMessageA(window, WM_COMMAND, IDOK, 0);
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
  StopScriptTimer();
}

int SeenBoxCount() { return static_cast<int>(seen.size()); }

const SeenBox* SeenBoxAt(int index) {
  return index >= 0 && index < SeenBoxCount() ? &seen[static_cast<size_t>(index)] : NULL;
}

void ForgetSeenBoxes() { seen.clear(); }

void ScriptNextDialog(DialogScript script, void* context) {
  StopScriptTimer();  // a dialog still waiting for the last script is not given this one
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
