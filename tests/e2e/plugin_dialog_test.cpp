// The settings dialog driven as a user would: what it shows, what its buttons, keys and close
// box do to the flags and to the settings file, and its link to the author's page.
#include <string.h>

#include "plugin_fixture.h"

namespace {

enum Close { BY_OK, BY_CANCEL, BY_ESCAPE, BY_CLOSE_BOX };
const char* const kCloseNames[] = {"OK", "Cancel", "Escape", "close box"};

// What the four option controls show: checked and enabled, in the order of kOptionIds.
struct Controls {
  int checked[4];
  int enabled[4];
};
const int kOptionIds[4] = {IDC_ONCE, IDC_OPENRIMARTS, IDC_MODE_LOSS, IDC_MODE_ALWAYS};

struct DialogRun {
  std::vector<int> clicks;  // buttons clicked before closing
  int link_commands = 0;    // commands sent from the address label before closing
  Close close = BY_CANCEL;
  bool refocus = false;  // another window (a browser) takes the focus and gives it back first
  // What the script saw.
  bool ran = false, forced = false, open_after_link = false;
  HWND owner = NULL;
  std::wstring caption;
  std::vector<std::wstring> texts;  // of the controls, in their order
  Controls at_open = {}, before_close = {};
};

DialogRun* running = NULL;

Controls ReadControls(HWND dialog) {
  Controls c;
  for (int i = 0; i < 4; ++i) {
    c.checked[i] = IsDlgButtonChecked(dialog, kOptionIds[i]) == BST_CHECKED;
    c.enabled[i] = IsWindowEnabled(GetDlgItem(dialog, kOptionIds[i])) != 0;
  }
  return c;
}

// Ends a dialog that the planned way did not close, so that a fault cannot hang the test.
void CALLBACK ForceEnd(HWND dialog, UINT, UINT_PTR timer, DWORD) {
  KillTimer(dialog, timer);
  if (running) running->forced = true;
  EndDialog(dialog, 99);
}

void Script(HWND dialog, void* context) {
  DialogRun* run = static_cast<DialogRun*>(context);
  running = run;
  run->ran = true;
  run->owner = GetWindow(dialog, GW_OWNER);
  wchar_t caption[128];
  GetWindowTextW(dialog, caption, 128);
  run->caption = caption;
  for (HWND c = GetWindow(dialog, GW_CHILD); c != NULL; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t text[128];
    GetWindowTextW(c, text, 128);
    run->texts.push_back(text);
  }
  run->at_open = ReadControls(dialog);
  for (int id : run->clicks) SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
  HWND link = GetDlgItem(dialog, IDC_AUTHORLINK);
  for (int i = 0; i < run->link_commands; ++i) {
    WORD code = i % 2 == 0 ? STN_CLICKED : STN_DBLCLK;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_AUTHORLINK, code),
                 reinterpret_cast<LPARAM>(link));
  }
  run->open_after_link = IsWindow(dialog) && IsWindowVisible(dialog);
  if (run->refocus) {
    HWND other = CreateWindowExA(0, "STATIC", "browser", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, NULL,
                                 NULL, NULL, NULL);
    SetActiveWindow(other);
    DestroyWindow(other);
    SetActiveWindow(dialog);
  }
  run->before_close = ReadControls(dialog);
  SetTimer(dialog, 0x7E7, 3000, ForceEnd);
  switch (run->close) {
    case BY_OK:
      SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
      break;
    case BY_CANCEL:
      SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
      break;
    case BY_ESCAPE: {
      HWND focus = GetFocus();
      PostMessageA(focus ? focus : dialog, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
      break;
    }
    case BY_CLOSE_BOX:
      PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
}

// Opens the dialog through the host's setup call and drives it.
void RunDialog(PluginCopy& plugin, DialogRun* run, const char* what) {
  ScriptNextDialog(Script, run);
  int result = plugin.bkc.OnPlugInSetup(standin.main_window);
  running = NULL;
  ok(result == 1, "%s: BKC_OnPlugInSetup expected 1, got %d", what, result);
  ok(run->ran, "%s: the dialog did not show", what);
  ok(!run->forced, "%s: closing by %s did not end the dialog", what, kCloseNames[run->close]);
  ok(ThreadDialogs().empty() || !IsWindowVisible(ThreadDialogs()[0]), "%s: a dialog is still up",
     what);
}

std::string Describe(const Controls& c) {
  char text[96];
  snprintf(text, sizeof text, "once %d/%d rimarts %d/%d loss %d always %d (checked/enabled)",
           c.checked[0], c.enabled[0], c.checked[1], c.enabled[1], c.checked[2], c.checked[3]);
  return text;
}

bool Same(const Controls& a, const Controls& b) { return memcmp(&a, &b, sizeof a) == 0; }

// checked once, rimarts, loss mode: the rest follows.
Controls Expect(int once, int rimarts, int loss) {
  Controls c = {{once, rimarts, loss, !loss}, {loss, loss, 1, 1}};
  return c;
}

struct OkCase {
  const char* what;
  const char* ini;  // before start; null: none
  Controls at_open;
  std::vector<int> clicks;
  Controls before_close;
  const char* written[3];  // fPopup, fOnce, fOpenRimarts after OK
};

void OkStores() {
  const OkCase cases[] = {
      {"no file, OK unchanged", NULL, Expect(1, 1, 1), {}, Expect(1, 1, 1), {"1", "1", "1"}},
      {"always-show greys the options",
       NULL,
       Expect(1, 1, 1),
       {IDC_MODE_ALWAYS},
       Expect(1, 1, 0),
       {"0", "1", "1"}},
      {"fPopup=2 is written back as 1",
       "[Settings]\r\nfPopup=2\r\nfOnce=0\r\n",
       Expect(0, 1, 1),
       {},
       Expect(0, 1, 1),
       {"1", "0", "1"}},
      {"back to the warning mode",
       "[Settings]\r\nfPopup=0\r\nfOpenRimarts=7\r\n",
       Expect(1, 1, 0),
       {IDC_MODE_LOSS, IDC_ONCE},
       Expect(0, 1, 1),
       {"1", "0", "1"}},
      {"options off, then always-show",
       NULL,
       Expect(1, 1, 1),
       {IDC_ONCE, IDC_OPENRIMARTS, IDC_MODE_ALWAYS},
       Expect(0, 0, 0),
       {"0", "0", "0"}},
      {"key names in other cases",
       "[settings]\r\nFPOPUP=0\r\nfonce=0\r\n",
       Expect(0, 1, 0),
       {},
       Expect(0, 1, 0),
       {"0", "0", "1"}},
  };
  const char* const keys[3] = {"fPopup", "fOnce", "fOpenRimarts"};
  for (const OkCase& c : cases) {
    PluginCopy plugin("dialog_ok");
    if (c.ini) plugin.WriteIni(c.ini);
    if (!plugin.Start()) return;
    DialogRun run;
    run.clicks = c.clicks;
    run.close = BY_OK;
    RunDialog(plugin, &run, c.what);
    ok(Same(run.at_open, c.at_open), "%s, at open: expected %s, got %s", c.what,
       Describe(c.at_open).c_str(), Describe(run.at_open).c_str());
    ok(Same(run.before_close, c.before_close), "%s, before OK: expected %s, got %s", c.what,
       Describe(c.before_close).c_str(), Describe(run.before_close).c_str());
    for (int k = 0; k < 3; ++k) {
      std::string got = plugin.IniValue("Settings", keys[k]);
      ok(got == c.written[k], "%s: expected %s=%s, got %s", c.what, keys[k], c.written[k],
         got.c_str());
    }
    // The new mode is in force for the very next message.
    standin.xmailer = "Becky! ver. 9.9";
    standin.version = "2.0";
    ForgetSeenBoxes();
    plugin.bkc.OnOpenMail(0);
    bool window_mode = c.written[0][0] == '0';
    size_t windows = ThreadDialogs().size();
    ok(windows == (window_mode ? 1u : 0u), "%s: expected %d result windows, got %u", c.what,
       window_mode, static_cast<unsigned>(windows));
    int boxes = SeenBoxCount();
    ok(boxes == (window_mode ? 0 : 1), "%s: expected %d warning boxes, got %d", c.what,
       !window_mode, boxes);
    plugin.bkc.OnExit();
  }
}

// Cancel, Escape and the close box: the flags and the file stay as they were, also when the
// dialog was activated again before (a host watching for boxes must not take it for one). The
// texts read as written under any ANSI code page (this group runs under others too).
void NoChange() {
  const std::wstring texts[] = {L"OK",
                                L"ｷｬﾝｾﾙ",
                                L"1回の起動で1回だけ表示",
                                L"動作モード",
                                L"負けたら表示",
                                L"常に勝ち負けを表示",
                                L"同時にRimArtsのホームページも表示"};
  const Close closes[] = {BY_CANCEL, BY_ESCAPE, BY_CLOSE_BOX};
  const char* const files[] = {NULL, "[Settings]\r\nfPopup=0\r\nfOnce=0\r\n"};
  for (const char* ini : files) {
    for (Close close : closes) {
      char what[64];
      snprintf(what, sizeof what, "%s, file %s", kCloseNames[close], ini ? "present" : "absent");
      PluginCopy plugin("dialog_no_change");
      if (ini) plugin.WriteIni(ini);
      if (!plugin.Start()) return;
      DialogRun run;
      run.clicks = {IDC_ONCE, IDC_OPENRIMARTS, ini ? IDC_MODE_LOSS : IDC_MODE_ALWAYS};
      run.close = close;
      run.refocus = true;
      RunDialog(plugin, &run, what);
      std::wstring expected_caption = L"Vostrel plug-in \u8A2D\u5B9A\u753B\u9762";
      ok(run.caption == expected_caption, "%s: unexpected dialog caption", what);
      for (size_t i = 0; i < 7; ++i) {
        std::wstring got = i < run.texts.size() ? run.texts[i] : L"(none)";
        ok(got == texts[i], "%s: expected %s, got %s", what, Utf8FromWide(texts[i]).c_str(),
           Utf8FromWide(got).c_str());
      }
      ok(run.owner == standin.main_window, "%s: expected owner %p, got %p", what,
         static_cast<void*>(standin.main_window), static_cast<void*>(run.owner));
      ok(!Same(run.at_open, run.before_close), "%s: the clicks changed nothing on screen", what);
      std::string bytes;
      bool exists = plugin.ReadIni(&bytes);
      ok(exists == (ini != NULL) && (!ini || bytes == ini), "%s: the file changed: %s", what,
         exists ? Printable(bytes).c_str() : "(removed)");
      // The flags in memory: the dialog shows them again as at first.
      DialogRun again;
      RunDialog(plugin, &again, what);
      ok(Same(again.at_open, run.at_open), "%s: expected %s after reopening, got %s", what,
         Describe(run.at_open).c_str(), Describe(again.at_open).c_str());
      plugin.bkc.OnExit();
    }
  }
}

void Link() {
  PluginCopy plugin("dialog_link");
  if (!plugin.Start()) return;
  DialogRun run;
  run.link_commands = 2;
  RunDialog(plugin, &run, "link");
  ok(run.open_after_link, "expected the dialog open after the link was used");
  ok(opened_pages.size() == 2, "expected 2 pages opened, got %u",
     static_cast<unsigned>(opened_pages.size()));
  for (const std::string& url : opened_pages) {
    ok(url == URL_AUTHOR_HOME, "expected %s, got %s", URL_AUTHOR_HOME, url.c_str());
  }
  std::string bytes;
  ok(!plugin.ReadIni(&bytes), "the link wrote a settings file");
  plugin.bkc.OnExit();
}

const TestGroup kGroups[] = {
    {"ok", OkStores},
    {"no_change", NoChange},
    {"link", Link},
};

}  // namespace

int main() { return plugin_test_main(kGroups, sizeof kGroups / sizeof kGroups[0]); }
