// The warning mode, seen from the host: the "You Lose !" box, the maker's page, once per run or
// every time, and the start error box after which the defaults stay in force.
#include <string.h>
#include <wchar.h>

#include "plugin_fixture.h"

namespace {

const wchar_t kStartErrorText[] = L"bkapi.GetWindowHandles()でエラーになりました。";

const char kLose[] = "Becky! ver. 2.81.05 (Windows 10)";  // against the host's 2.75.02
const char kWin[] = "Becky! ver. 2.10";
const char kDraw[] = "Becky! ver. 2.75.02";

// One opened message; returns how many boxes it showed.
int Open(PluginCopy& plugin, const char* xmailer) {
  standin.xmailer = xmailer;
  int before = SeenBoxCount();
  int result = plugin.bkc.OnOpenMail(0);
  ok(result == 0, "BKC_OnOpenMail(%s): expected 0, got %d", xmailer ? xmailer : "none", result);
  return SeenBoxCount() - before;
}

void CheckLoseBox(int index, const char* token, const char* own) {
  const SeenBox* box = SeenBoxAt(index);
  if (box == NULL) return;
  std::string text = std::string("He:") + token + "\r\nYou:" + own;
  ok(strcmp(box->caption, "You Lose !") == 0, "box %d: expected caption You Lose !, got %s", index,
     box->caption);
  ok(text == box->text, "box %d: expected text %s, got %s", index, Printable(text).c_str(),
     Printable(box->text).c_str());
  ok(box->owner == NULL, "box %d: expected no owner, got %p", index,
     static_cast<void*>(box->owner));
}

struct WarningCase {
  const char* what;
  const char* ini;  // settings file before start; null: none
  int boxes[4];     // boxes shown by: lose, lose, win, lose
  size_t pages;     // maker's pages opened in all
};

void Warnings() {
  const WarningCase cases[] = {
      {"no settings file", NULL, {1, 0, 0, 0}, 1},
      {"fOnce=0", "[Settings]\r\nfOnce=0\r\n", {1, 1, 0, 1}, 3},
      {"fOpenRimarts=0", "[Settings]\r\nfOpenRimarts=0\r\n", {1, 0, 0, 0}, 0},
      {"fOnce=0 fOpenRimarts=0", "[Settings]\r\nfOnce=0\r\nfOpenRimarts=0\r\n", {1, 1, 0, 1}, 0},
      {"fPopup=2 counts as on", "[Settings]\r\nfPopup=2\r\n", {1, 0, 0, 0}, 1},
      {"upper-case key FONCE=0", "[SETTINGS]\r\nFONCE=0\r\n", {1, 1, 0, 1}, 3},
  };
  const char* const sequence[4] = {kLose, kLose, kWin, kLose};
  for (const WarningCase& c : cases) {
    PluginCopy plugin("warnings");
    if (c.ini) plugin.WriteIni(c.ini);
    standin.version = "2.75.02";
    if (!plugin.Start()) return;
    ForgetSeenBoxes();
    for (int i = 0; i < 4; ++i) {
      int requests = standin.header_requests;
      int shown = Open(plugin, sequence[i]);
      ok(shown == c.boxes[i], "%s, message %d: expected %d boxes, got %d", c.what, i + 1,
         c.boxes[i], shown);
      if (shown == 1) CheckLoseBox(SeenBoxCount() - 1, "2.81.05", "2.75.02");
      // Once the single warning was given the header is not even read.
      bool gate_closed = i > 0 && c.boxes[0] == 1 && c.boxes[1] == 0;
      int read = standin.header_requests - requests;
      ok(read == (gate_closed ? 0 : 1), "%s, message %d: expected %d header reads, got %d", c.what,
         i + 1, gate_closed ? 0 : 1, read);
    }
    ok(opened_pages.size() == c.pages, "%s: expected %u pages opened, got %u", c.what,
       static_cast<unsigned>(c.pages), static_cast<unsigned>(opened_pages.size()));
    for (const std::string& url : opened_pages) {
      ok(url == URL_MAKER_HOME, "%s: expected %s, got %s", c.what, URL_MAKER_HOME, url.c_str());
    }
    ok(ThreadDialogs().empty(), "%s: expected no window left, got %u", c.what,
       static_cast<unsigned>(ThreadDialogs().size()));
    plugin.bkc.OnExit();
    std::string bytes;
    bool exists = plugin.ReadIni(&bytes);
    ok(exists == (c.ini != NULL), "%s: the warning mode %s the settings file", c.what,
       exists ? "created" : "removed");
  }
}

// WIN and DRAW, messages from other programs and Becky! without a version: nothing at all.
void Silent() {
  PluginCopy plugin("silent");
  standin.version = "2.75.02";
  if (!plugin.Start()) return;
  ForgetSeenBoxes();
  const char* const quiet[] = {kWin, kDraw,         "Thunderbird 115",
                               NULL, "Becky! 2.81", "Becky! ver.2.81"};
  for (const char* xmailer : quiet) {
    int shown = Open(plugin, xmailer);
    ok(shown == 0, "%s: expected no box, got %d", xmailer ? xmailer : "(none)", shown);
  }
  ok(ThreadDialogs().empty(), "expected no result window in the warning mode");
  ok(opened_pages.empty(), "a page was opened without a warning");
  // The first warning is still due: the quiet messages did not use it up.
  ok(Open(plugin, kLose) == 1, "expected the first loss to warn after quiet messages");
  ok(opened_pages.size() == 1, "expected the maker's page after the warning");
  plugin.bkc.OnExit();
}

// GetWindowHandles fails: its box, then the defaults stay in force whatever the file says.
void StartError() {
  PluginCopy plugin("start_error");
  plugin.WriteIni("[Settings]\r\nfPopup=0\r\nfOnce=0\r\nfOpenRimarts=0\r\n");
  standin.fail_window_handles = true;
  ForgetSeenBoxes();
  if (!plugin.Start()) return;
  standin.fail_window_handles = false;
  ok(SeenBoxCount() == 1, "expected 1 box at start, got %d", SeenBoxCount());
  if (const SeenBox* box = SeenBoxAt(0)) {
    ok(wcscmp(box->wcaption, L"Dravmek ERROR") == 0, "expected caption Dravmek ERROR, got %s",
       Utf8FromWide(box->wcaption).c_str());
    ok(wcscmp(box->wtext, kStartErrorText) == 0, "expected text %s, got %s",
       Utf8FromWide(kStartErrorText).c_str(), Utf8FromWide(box->wtext).c_str());
    ok(box->owner == NULL, "expected no owner, got %p", static_cast<void*>(box->owner));
  }
  standin.version = "2.75.02";
  // Flags still 1: warning mode, once per run, the maker's page.
  ok(Open(plugin, kLose) == 1, "expected the warning box although the file says fPopup=0");
  ok(Open(plugin, kLose) == 0, "expected once per run although the file says fOnce=0");
  ok(ThreadDialogs().empty(), "expected no result window");
  ok(opened_pages.size() == 1 && opened_pages[0] == URL_MAKER_HOME,
     "expected %s once, got %u pages, first %s", URL_MAKER_HOME,
     static_cast<unsigned>(opened_pages.size()),
     opened_pages.empty() ? "(none)" : opened_pages[0].c_str());
  plugin.bkc.OnExit();
}

// The user closes the mail client while the box is up: from inside the box's loop the host
// calls exit and, in the worse cases, unloads the plug-in, or even loads it again and starts a
// new run. The box must return into code that is still mapped, no page may open after exit, and
// the new run keeps its own warning, with its page.
enum InBox { EXIT, UNLOAD, RELOAD };

void ExitInBox() {
  for (InBox host : {EXIT, UNLOAD, RELOAD}) {
    static PluginCopy* plugin;
    static InBox in_box;
    PluginCopy copy(host == EXIT ? "exit" : "exit_unload");
    plugin = &copy;
    in_box = host;
    if (!copy.Start()) return;
    standin.version = "2.75.02";
    ScriptNextDialog(
        [](HWND box, void*) {
          plugin->bkc.OnExit();
          if (in_box == UNLOAD) FreeLibrary(plugin->module);
          if (in_box == RELOAD && plugin->Load()) plugin->bkc.OnStart();
          if (GetModuleHandleW(plugin->wdll.c_str()) == NULL) {
            ok(false, "the module was unmapped under its box");
            fflush(stdout);
            ExitProcess(1);  // the box would return into unmapped code
          }
          PostMessageA(box, WM_COMMAND, IDOK, 0);
        },
        NULL);
    Open(copy, kLose);
    if (host == UNLOAD) copy.module = NULL;  // the host let it go
    ok(opened_pages.empty(), "host %d: a page was opened after exit", host);
    if (host != RELOAD) continue;
    int shown = Open(copy, kLose);
    ok(shown == 1, "the new run's first loss: expected 1 box, got %d", shown);
    ok(opened_pages.size() == 1, "the new run's first loss: expected its page");
    copy.bkc.OnExit();
  }
}

const TestGroup kGroups[] = {
    {"warnings", Warnings},
    {"silent", Silent},
    {"start_error", StartError},
    {"exit_in_box", ExitInBox},
};

}  // namespace

int main() { return plugin_test_main(kGroups, sizeof kGroups / sizeof kGroups[0]); }
