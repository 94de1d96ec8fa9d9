// The duel for an opened message, and how its verdict is shown in either mode.
#include "verdict_display.h"

#include <shellapi.h>

#include "../../res/resource.h"
#include "../host/bkapi.h"
#include "../host/module_state.h"
#include "../host/plugin_exports.h"
#include "../host/show_message.h"
#include "../host/web_addresses.h"
#include "../settings/settings_file.h"
#include "../settings/settings_keys.h"
#include "check_sender.h"
#include "verdict_text.h"

namespace {

const char kLoseCaption[] = "You Lose !";

// Warning mode: speak only when the user is behind.
void WarnIfBeaten(Verdict verdict, const char* token) {
  if (verdict != VERDICT_LOSE) return;
  char text[kTextBufferSize];
  FormatWarningText(text, sizeof text, token, HostVersion());
  ShowMessage(kLoseCaption, MB_ICONEXCLAMATION, "%s", text);
  if (fOpenRimarts) ShellExecuteA(hwndMain, "open", URL_MAKER_HOME, NULL, NULL, SW_SHOWNORMAL);
  fFirstWarning = 0;
}

// Creates the hidden result window at its stored place, leaving the keyboard with the host.
void CreateResultWindow() {
  int left = ReadSettingNumber(SECTION_WINDOW, KEY_LEFT, DEFAULT_LEFT);
  int top = ReadSettingNumber(SECTION_WINDOW, KEY_TOP, DEFAULT_TOP);
  int width = ReadSettingNumber(SECTION_WINDOW, KEY_WIDTH, DEFAULT_WIDTH);
  int height = ReadSettingNumber(SECTION_WINDOW, KEY_HEIGHT, DEFAULT_HEIGHT);
  hwndResult =
      CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_RESULT), hwndMain, ResultDlgProc, 0);
  SetWindowPos(hwndResult, NULL, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
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
