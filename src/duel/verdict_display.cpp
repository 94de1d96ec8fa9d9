// How a verdict is shown in either mode: the warning box or the result window.
#include "verdict_display.h"

#include <shellapi.h>

#include "../../res/resource.h"
#include "../host/bkapi.h"
#include "../host/module_state.h"
#include "../host/show_message.h"
#include "../host/web_addresses.h"
#include "../settings/settings_file.h"
#include "../settings/settings_keys.h"
#include "check_sender.h"
#include "screen_probe.h"
#include "verdict_text.h"

namespace {

const char kLoseCaption[] = "You Lose !";

// Warning mode: speak only when the user is behind.
void WarnIfBeaten(Verdict verdict, const char* token) {
  if (verdict != VERDICT_LOSE) return;
  char text[kTextBufferSize];
  FormatWarningText(text, sizeof text, token, HostVersion());
  ShowMessage(kLoseCaption, MB_ICONEXCLAMATION, "%s", text);
  // The host may have exited while the box was up: no page opens after the mail client closed.
  if (fOpenRimarts && !fExited)
    ShellExecuteA(hwndMain, "open", URL_MAKER_HOME, NULL, NULL, SW_SHOWNORMAL);
  fFirstWarning = 0;
}

struct ScreenSearch {
  RECT probe;
  bool seen;
};

// The part of monitor's screen that windows may use (the taskbar left out).
bool WorkArea(HMONITOR monitor, RECT* work) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return false;
  *work = info.rcWork;
  return true;
}

BOOL CALLBACK FindShowingMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  ScreenSearch* search = reinterpret_cast<ScreenSearch*>(data);
  RECT work, common;
  search->seen = WorkArea(monitor, &work) && IntersectRect(&common, &work, &search->probe);
  return search->seen ? FALSE : TRUE;
}

// A stored place that no monitor's work area shows (a screen unplugged, a lower resolution, a
// hand-edited value) moves to the corner of the nearest work area; one that is even partly on
// a screen stays exactly as the user left it.
POINT VisibleCorner(int left, int top, int width, int height) {
  POINT corner = {left, top};
  ProbeRect p = StoredPlaceProbe(left, top, width, height);
  ScreenSearch search = {{p.left, p.top, p.right, p.bottom}, false};
  EnumDisplayMonitors(NULL, NULL, FindShowingMonitor, reinterpret_cast<LPARAM>(&search));
  if (search.seen) return corner;
  RECT work;
  if (WorkArea(MonitorFromRect(&search.probe, MONITOR_DEFAULTTONEAREST), &work)) {
    corner.x = work.left;
    corner.y = work.top;
  }
  return corner;
}

// Creates the hidden result window at its stored place, leaving the keyboard with the host.
void CreateResultWindow() {
  int left = ReadSettingNumber(SECTION_WINDOW, KEY_LEFT, DEFAULT_LEFT);
  int top = ReadSettingNumber(SECTION_WINDOW, KEY_TOP, DEFAULT_TOP);
  int width = ReadSettingNumber(SECTION_WINDOW, KEY_WIDTH, DEFAULT_WIDTH);
  int height = ReadSettingNumber(SECTION_WINDOW, KEY_HEIGHT, DEFAULT_HEIGHT);
  hwndResult =
      CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_RESULT), hwndMain, ResultDlgProc, 0);
  POINT corner = VisibleCorner(left, top, width, height);
  SetWindowPos(hwndResult, NULL, corner.x, corner.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  SetFocus(hwndMain);
}

// Always-show mode: every verdict goes into the result window's caption.
void ShowInResultWindow(Verdict verdict, const char* token) {
  if (hwndResult == NULL) CreateResultWindow();
  char line[kResultLineSize];
  FormatResultLine(line, sizeof line, verdict, token, HostVersion());
  if (hwndResult == NULL) return;
  SetWindowTextA(hwndResult, line);
  ShowWindow(hwndResult, SW_SHOWNOACTIVATE);
}

}  // namespace

void ShowVerdict(Verdict verdict, const char* token) {
  if (fPopup) {
    WarnIfBeaten(verdict, token);
  } else {
    ShowInResultWindow(verdict, token);
  }
}

INT_PTR CALLBACK ResultDlgProc(HWND window, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  SetWindowTextA(window, HostVersion());
  return TRUE;
}
