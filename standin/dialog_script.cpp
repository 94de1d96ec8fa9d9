// The settings dialog's script runs from timers inside the dialog's own loop, one step a tick.
#include "dialog_script.h"

#include <windows.h>

#include "../res/resource.h"
#include "box_watch.h"
#include "host_output.h"

namespace {

struct DialogRun {
  std::vector<std::string> words;
  size_t next = 0;
  int pause_ms = 60;
  std::vector<std::string> lines;  // reported once the dialog has closed
  HWND dialog = NULL;
  Shots* shots = NULL;
  UINT_PTR timer = 0;  // the one step waiting, as SetTimer numbered it (it has no window)
};

// Module-wide: the timer callbacks that step the script carry no context.
DialogRun dialog_run;

void StopTimer() {
  if (dialog_run.timer != 0) KillTimer(NULL, dialog_run.timer);
  dialog_run.timer = 0;
}

// One step at a time: the next replaces any still waiting.
void Then(int ms, TIMERPROC step) {
  StopTimer();
  dialog_run.timer = SetTimer(NULL, 0, static_cast<UINT>(ms), step);
}

// The dialog's radio buttons and check boxes, as a user would read them.
std::string DescribeControls(HWND dialog) {
  std::string text;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != NULL;
       child = GetWindow(child, GW_HWNDNEXT)) {
    char name[16];
    if (!GetClassNameA(child, name, sizeof name) || lstrcmpiA(name, "Button") != 0) continue;
    LONG type = GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
    bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    bool check = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                 type == BS_AUTO3STATE;
    if (!radio && !check) continue;
    bool on = SendMessageA(child, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
    text += radio ? (on ? " (o) " : " ( ) ") : (on ? " [x] " : " [ ] ");
    text += WindowText(child);
    if (!IsWindowEnabled(child)) text += " (greyed)";
    text += ";";
  }
  return text;
}

void NoteDialog(HWND dialog, const char* when) {
  dialog_run.lines.push_back("  dialog " + Quoted(WindowText(dialog)) + " " + when + ":" +
                             DescribeControls(dialog));
  std::string shot = dialog_run.shots->Take(dialog, "setup");
  if (!shot.empty()) dialog_run.lines.push_back("  shot " + shot);
}

void CALLBACK DialogStep(HWND, UINT, UINT_PTR, DWORD);

void CALLBACK LookAfterClick(HWND, UINT, UINT_PTR, DWORD) {
  StopTimer();
  if (!IsWindow(dialog_run.dialog)) return;
  NoteDialog(dialog_run.dialog, "after the click");
  Then(10, DialogStep);
}

void CALLBACK LookFirst(HWND, UINT, UINT_PTR, DWORD) {
  StopTimer();
  if (!IsWindow(dialog_run.dialog)) return;
  NoteDialog(dialog_run.dialog, "shows");
  Then(10, DialogStep);
}

void CALLBACK DialogStep(HWND, UINT, UINT_PTR, DWORD) {
  StopTimer();
  HWND dialog = dialog_run.dialog;
  if (!IsWindow(dialog)) return;
  if (dialog_run.next >= dialog_run.words.size()) {
    // The script ran out without closing: a user would have pressed Cancel.
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  const std::string& word = dialog_run.words[dialog_run.next++];
  int id = word == "ok"       ? IDOK
           : word == "cancel" ? IDCANCEL
           : word == "always" ? IDC_MODE_ALWAYS
                              : IDC_MODE_LOSS;
  HWND control = GetDlgItem(dialog, id);
  dialog_run.lines.push_back("  click " + (control ? Quoted(WindowText(control)) : word));
  if (control != NULL && IsWindowEnabled(control)) {
    SendMessageA(control, BM_CLICK, 0, 0);
  } else {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
  }
  if (id == IDOK || id == IDCANCEL) return;
  // Let the change paint, then look again.
  Then(dialog_run.pause_ms, LookAfterClick);
}

void StartDialogScript(HWND dialog, void*) {
  dialog_run.dialog = dialog;
  // Give the dialog time to paint before it is looked at.
  Then(dialog_run.pause_ms, LookFirst);
}

std::vector<std::string> SplitWords(const std::string& script) {
  std::vector<std::string> words;
  size_t pos = 0;
  for (;;) {
    size_t comma = script.find(',', pos);
    words.push_back(
        script.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
    if (comma == std::string::npos) return words;
    pos = comma + 1;
  }
}

}  // namespace

void PrepareDialogScript(const std::string& script, int pause_ms, Shots* shots, bool drive) {
  StopTimer();  // a step left from the last dialog must not act on the next
  dialog_run = DialogRun();
  dialog_run.pause_ms = pause_ms;
  dialog_run.shots = shots;
  dialog_run.words = SplitWords(script);
  if (drive) ScriptNextDialog(StartDialogScript, NULL);
}

const std::vector<std::string>& DialogScriptLines() { return dialog_run.lines; }
