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
  lead.utf8 = GetACP() == CP_UTF8;
  return lead;
}

// Warning mode: speak only when the user is behind.
void WarnIfBeaten(Verdict verdict, const char* token) {
  if (verdict != VERDICT_LOSE) return;
  char text[kTextBufferSize];
  FormatWarningText(text, sizeof text, token, HostVersion(), AnsiLeadBytes());
  const unsigned run = runNumber;
  ShowMessage(kLoseCaption, MB_ICONEXCLAMATION, "%s", text);
  // The box's own loop lets the host go on working: it may have exited meanwhile, and even
  // started a new run. The box's return belongs to the run that showed it; if that run is over,
  // no page opens after the mail client closed and the new run keeps its own warning.
  if (run != runNumber || fExited) return;
  if (fOpenRimarts) ShellExecuteA(hwndMain, "open", URL_MAKER_HOME, NULL, NULL, SW_SHOWNORMAL);
  fFirstWarning = 0;
}

// Work areas (the screens less their taskbars) of at most this many screens are looked at.
const size_t kMaxScreens = 16;

struct WorkAreas {
  ProbeRect rects[kMaxScreens];
  size_t count;
};

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  WorkAreas* areas = reinterpret_cast<WorkAreas*>(data);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) {
    const RECT& work = info.rcWork;
    areas->rects[areas->count++] = {work.left, work.top, work.right, work.bottom};
  }
  return areas->count < kMaxScreens;
}

// The system's dots per inch as the host's process is told it (GetDeviceCaps tells it on every
// Windows the mail client runs on), one value for all screens and not what each of them has: a
// host that has not declared itself DPI-aware is usually told 96, and the system stretches its
// windows.
int HostDpi() {
  HDC screen = GetDC(NULL);
  if (screen == NULL) return 0;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(NULL, screen);
  return dpi;
}

// Moves the result window, sized as stored, to where its caption can be taken hold of: its
// stored place when that is within reach, as the user left it; else (a screen unplugged, a lower
// resolution, a hand-edited value, a window dragged nearly off) the corner of the screen that
// holds most of the window, or of the nearest one when none holds any of it. The system may have
// made the window larger than stored (never smaller than its least size), so the rectangle it
// made is what is judged.
void PlaceResultWindow(int left, int top, int dpi) {
  RECT made;
  if (!GetWindowRect(hwndResult, &made)) return;
  // A window's rectangle counts its sizing frame, which is no use for moving it; the caption's
  // height counts the border line below it.
  const int padding = GetSystemMetrics(SM_CXPADDEDBORDER);
  const Grip grip = GripAtDpi(dpi, GetSystemMetrics(SM_CXSIZEFRAME) + padding,
                              GetSystemMetrics(SM_CYSIZEFRAME) + padding,
                              GetSystemMetrics(SM_CYCAPTION) - GetSystemMetrics(SM_CYBORDER));
  WorkAreas screens = {};
  EnumDisplayMonitors(NULL, NULL, AddWorkArea, reinterpret_cast<LPARAM>(&screens));
  const ProbePoint corner =
      PlaceOnScreens(left, top, made.right - made.left, made.bottom - made.top, grip, screens.rects,
                     screens.count);
  SetWindowPos(hwndResult, NULL, corner.x, corner.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Creates the hidden result window at its stored place, leaving the keyboard with the host.
void CreateResultWindow() {
  const int dpi = HostDpi();
  int place[kPlaceValues];
  ReadWindowPlace(place, dpi);
  const int left = place[0], top = place[1], width = place[2], height = place[3];
  hwndResult =
      CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_RESULT), hwndMain, ResultDlgProc, 0);
  if (hwndResult != NULL) {
    SetWindowPos(hwndResult, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceResultWindow(left, top, dpi);
  }
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
