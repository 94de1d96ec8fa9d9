// Settings dialog: shows the flags, stores them on OK, opens the author's page from its link.
#include "setup_dialog.h"

#include <shellapi.h>

#include "../../res/resource.h"
#include "../host/module_state.h"
#include "../host/show_message.h"
#include "../host/web_addresses.h"
#include "../text/buffer_sizes.h"
#include "settings_file.h"

namespace {

// The two options mean something only in the warning mode.
void EnableWarningOptions(HWND window, BOOL enable) {
  EnableWindow(GetDlgItem(window, IDC_ONCE), enable);
  EnableWindow(GetDlgItem(window, IDC_OPENRIMARTS), enable);
}

int Checked(HWND window, int id) { return IsDlgButtonChecked(window, id) != BST_UNCHECKED ? 1 : 0; }

const char kNotKeptCaption[] = "Vostrel plug-in 設定エラー";
const char kNotKeptFormat[] =
    "設定ファイルに書き込めませんでした。\r\n\r\n%s\r\n\r\n"
    "選んだ設定は今回の起動中は有効ですが、Becky! を再起動すると元に戻ります。";

// Tells the user, over the dialog, that the choice holds only until the host restarts. The path
// may hold any character.
void ReportNotKept(HWND dialog) {
  WCHAR path[kTextBufferSize];
  IniPath(path, kTextBufferSize);
  PinModule();
  ShowCp932Message(dialog, kNotKeptCaption, MB_OK | MB_ICONEXCLAMATION, kNotKeptFormat, path);
}

}  // namespace

BOOL InitSetupDialog(HWND window) {
  if (fOnce) CheckDlgButton(window, IDC_ONCE, BST_CHECKED);
  if (fOpenRimarts) CheckDlgButton(window, IDC_OPENRIMARTS, BST_CHECKED);
  CheckDlgButton(window, fPopup ? IDC_MODE_LOSS : IDC_MODE_ALWAYS, BST_CHECKED);
  EnableWarningOptions(window, fPopup ? TRUE : FALSE);
  return TRUE;
}

BOOL SaveSetupDialog(HWND window) {
  fPopup = Checked(window, IDC_MODE_LOSS);
  fOnce = Checked(window, IDC_ONCE);
  fOpenRimarts = Checked(window, IDC_OPENRIMARTS);
  if (!SaveFlags()) ReportNotKept(window);
  return TRUE;
}

INT_PTR CALLBACK SetupDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return InitSetupDialog(window);
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      SaveSetupDialog(window);
      EndDialog(window, IDOK);
      break;
    case IDCANCEL:
      EndDialog(window, IDCANCEL);
      break;
    case IDC_MODE_LOSS:
      EnableWarningOptions(window, TRUE);
      break;
    case IDC_MODE_ALWAYS:
      EnableWarningOptions(window, FALSE);
      break;
    case IDC_AUTHORLINK:
      ShellExecuteA(hwndMain, "open", URL_AUTHOR_HOME, NULL, NULL, SW_SHOWNORMAL);
      break;
  }
  return FALSE;
}
