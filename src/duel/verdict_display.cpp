// How a verdict is shown in either mode: the warning box or the result window.
#include "verdict_display.h"

#include <shellapi.h>

#include "../../res/resource.h"
#include "../host/bkapi.h"
#include "../host/module_state.h"
#include "../host/show_message.h"
#include "../host/web_addresses.h"
#include "../settings/settings_file.h"
#include "check_sender.h"
#include "screen_probe.h"
#include "verdict_text.h"

namespace {

const char kLoseCaption[] = "You Lose !";

// The mail's bytes are shown in the ANSI code page in force, so a cut follows its characters.
LeadBytes AnsiLeadBytes() {
  LeadBytes lead = {};
  CPINFO info;
  static_assert(sizeof lead.ranges == sizeof info.LeadByte, "the system's lead byte ranges");
  if (GetCPInfo(CP_ACP, &info)) CopyMemory(lead.ranges, info.LeadByte, sizeof lead.ranges);
  return lead;
}

// Warning mode: speak only when the user is behind.
void WarnIfBeaten(Verdict verdict, const char* token) {
  if (verdict != VERDICT_LOSE) return;
  char text[kTextBufferSize];
  FormatWarningText(text, sizeof text, token, HostVersion(), AnsiLeadBytes());
  ShowMessage(kLoseCaption, MB_ICONEXCLAMATION, "%s", text);
  // The host may have exited while the box was up: no page opens after the mail client closed.
  if (fOpenRimarts && !fExited)
    ShellExecuteA(hwndMain, "open", URL_MAKER_HOME, NULL, NULL, SW_SHOWNORMAL);
  fFirstWarning = 0;
}

struct ScreenSearch {
  ProbeRect window;
  bool reachable;
};

// The part of monitor's screen that windows may use (the taskbar left out).
bool WorkArea(HMONITOR monitor, RECT* work) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return false;
  *work = info.rcWork;
  return true;
}

BOOL CALLBACK FindReachingMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  ScreenSearch* search = reinterpret_cast<ScreenSearch*>(data);
  RECT work;
  search->reachable = WorkArea(monitor, &work) &&
                      ShowsGrip(search->window, {work.left, work.top, work.right, work.bottom});
  return search->reachable ? FALSE : TRUE;
}

// A stored place where no monitor's work area shows enough of the caption to take hold of (a
// screen unplugged, a lower resolution, a hand-edited value, a window dragged nearly off) moves
// to the corner of the nearest work area; one within reach stays exactly as the user left it.
POINT ReachableCorner(int left, int top, int width, int height) {
  POINT corner = {left, top};
  ScreenSearch search = {StoredPlaceProbe(left, top, width, height), false};
  EnumDisplayMonitors(NULL, NULL, FindReachingMonitor, reinterpret_cast<LPARAM>(&search));
  if (search.reachable) return corner;
  const ProbeRect& p = search.window;
  RECT probe = {p.left, p.top, p.right, p.bottom}, work;
  if (WorkArea(MonitorFromRect(&probe, MONITOR_DEFAULTTONEAREST), &work)) {
    corner.x = work.left;
    corner.y = work.top;
  }
  return corner;
}

// Creates the hidden result window at its stored place, leaving the keyboard with the host.
void CreateResultWindow() {
  int place[kPlaceValues];
  ReadWindowPlace(place);
  const int left = place[0], top = place[1], width = place[2], height = place[3];
  hwndResult =
      CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_RESULT), hwndMain, ResultDlgProc, 0);
  POINT corner = ReachableCorner(left, top, width, height);
  SetWindowPos(hwndResult, NULL, corner.x, corner.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  SetFocus(hwndMain);
}

// Always-show mode: every verdict goes into the result window's caption.
void ShowInResultWindow(Verdict verdict, const char* token) {
  if (hwndResult == NULL) CreateResultWindow();
  char line[kResultLineSize];
  FormatResultLine(line, sizeof line, verdict, token, HostVersion(), AnsiLeadBytes());
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
