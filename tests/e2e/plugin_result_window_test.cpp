// The always-show mode, seen from the host: the result window's captions, owner, place,
// visibility and focus, and what exit writes back.
#include <string.h>

#include "plugin_fixture.h"

namespace {

const char kAlwaysShow[] = "[Settings]\r\nfPopup=0\r\n";

HWND OnlyDialog(const char* what) {
  std::vector<HWND> dialogs = ThreadDialogs();
  ok(dialogs.size() == 1, "%s: expected 1 result window, got %u", what,
     static_cast<unsigned>(dialogs.size()));
  return dialogs.size() == 1 ? dialogs[0] : NULL;
}

void Open(PluginCopy& plugin, const char* xmailer, const char* version) {
  standin.xmailer = xmailer;
  standin.version = version;
  int result = plugin.bkc.OnOpenMail(0);
  ok(result == 0, "BKC_OnOpenMail: expected 0, got %d", result);
}

struct Step {
  const char* xmailer;
  const char* version;
  bool visible;         // afterwards
  const char* caption;  // afterwards
};

void Captions() {
  const Step steps[] = {
      {"Becky! ver. 2.10", "2.9", true, "WIN! (He:2.10 < You:2.9)"},
      {"Becky! ver. 2.9 (Win)", "2.10", true, "LOSE (He:2.9 > You:2.10)"},
      {"Becky! ver. 2.75.02", "2.75.02", true, "DRAW (He:2.75.02 = You:2.75.02)"},
      {"Thunderbird 115", "2.75.02", false, "DRAW (He:2.75.02 = You:2.75.02)"},
      {"Becky! 2.81", "2.75.02", false, "DRAW (He:2.75.02 = You:2.75.02)"},  // silent: unchanged
      {"Becky! ver. 2.0", "2.0a", true, "WIN! (He:2.0 < You:2.0a)"},
      {"Becky! ver.2.81", "2.0a", true, "WIN! (He:2.0 < You:2.0a)"},  // silent: unchanged
      {NULL, "2.0a", false, "WIN! (He:2.0 < You:2.0a)"},
      {"becky! VER. 3.0", "2.0a", true, "LOSE (He:3.0 > You:2.0a)"},
  };
  PluginCopy plugin("captions");
  plugin.WriteIni(kAlwaysShow);
  if (!plugin.Start()) return;
  ForgetSeenBoxes();
  ok(ThreadDialogs().empty(), "expected no result window before the first verdict");
  HWND first = NULL;
  int windows = 0;
  for (const Step& s : steps) {
    const char* what = s.xmailer ? s.xmailer : "(no X-Mailer)";
    Open(plugin, s.xmailer, s.version);
    HWND result = OnlyDialog(what);
    if (result == NULL) continue;
    if (first == NULL) {
      first = result;
      windows = ThreadWindowCount();
      HWND owner = GetWindow(result, GW_OWNER);
      ok(owner == standin.main_window, "expected the host's main window %p as owner, got %p",
         static_cast<void*>(standin.main_window), static_cast<void*>(owner));
      ok(GetFocus() == standin.main_window, "expected the focus on the host's window %p, got %p",
         static_cast<void*>(standin.main_window), static_cast<void*>(GetFocus()));
      ok(GetActiveWindow() != result, "the result window took the activation");
      LONG style = GetWindowLongA(result, GWL_STYLE);
      ok((style & (WS_CAPTION | WS_THICKFRAME)) == (WS_CAPTION | WS_THICKFRAME) &&
             !(style & WS_SYSMENU),
         "expected a caption and a thick frame without system menu, style %08lX", style);
    }
    ok(result == first, "%s: expected the same window %p, got %p", what, static_cast<void*>(first),
       static_cast<void*>(result));
    ok(ThreadWindowCount() == windows, "%s: expected %d windows of the thread, got %d", what,
       windows, ThreadWindowCount());
    bool visible = IsWindowVisible(result) != 0;
    ok(visible == s.visible, "%s: expected %s, got %s", what, s.visible ? "visible" : "hidden",
       visible ? "visible" : "hidden");
    ok(WindowText(result) == s.caption, "%s: expected caption %s, got %s", what, s.caption,
       WindowText(result).c_str());
  }
  int boxes = SeenBoxCount();
  ok(boxes == 0, "expected no box in the always-show mode, got %d", boxes);
  ok(opened_pages.empty(), "a page was opened in the always-show mode");
  plugin.bkc.OnExit();
  ok(!IsWindow(first), "expected the result window destroyed at exit");
}

struct Placement {
  const char* what;
  std::string window_section;    // empty: nothing stored
  int left, top, width, height;  // expected; 0 width or height: the default at this DPI
  bool moved = false;            // from left and top, as read, to the work area's top-left corner
};

// Where the window's own hit test finds its caption within area, on the screen: a band across
// the window, whose rows are looked for down the middle column, then its columns along its top.
RECT CaptionWithin(HWND window, RECT area) {
  RECT caption = {}, point;
  GetWindowRect(window, &point);
  IntersectRect(&area, &area, &point);
  const auto look = [&](int x, int y) {
    if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTCAPTION) return;
    SetRect(&point, x, y, x + 1, y + 1);
    UnionRect(&caption, &caption, &point);
  };
  for (int y = area.top; y < area.bottom; ++y) look((area.left + area.right) / 2, y);
  for (int x = area.left; x < area.right && !IsRectEmpty(&caption); ++x) look(x, caption.top);
  return caption;
}

// Moves each dialog, as it is made, to where a host's main window on a screen above the main one
// would have it made: above the work area, which this system's one screen starts at 0.
LRESULT CALLBACK MadeAbove(int code, WPARAM sent, LPARAM message) {
  const CWPRETSTRUCT* m = reinterpret_cast<CWPRETSTRUCT*>(message);
  if (m->message == WM_INITDIALOG)
    SetWindowPos(m->hwnd, NULL, 0, -300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return CallNextHookEx(NULL, code, sent, message);
}

// The window stays put where its own hit test finds enough of its caption on the work area to take
// hold of it (32 by 8 pixels at 96 dots per inch), else it comes to the work area's corner. A
// stored width or height is kept at any DPI, raised by the system to its least size only. The
// rule itself is tested natively, on several screens.
void Placements() {
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const SIZE size = DefaultSize(),
             grip = {MulDiv(32, ExpectedDpi(), 96), MulDiv(8, ExpectedDpi(), 96)};
  // The caption of a window of the result window's style and default size, at 0,0.
  HWND probe = CreateWindowExA(0, "#32770", "", WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0, 0,
                               size.cx, size.cy, NULL, NULL, NULL, NULL);
  const RECT caption = CaptionWithin(probe, {0, 0, SHRT_MAX, SHRT_MAX});
  DestroyWindow(probe);
  const int grip_left = work.right - caption.left - grip.cx,
            grip_top = work.top - caption.bottom + grip.cy,
            grip_bottom = work.bottom - caption.top - grip.cy;
  const auto at = [](const char* what, int left, int top, int width, int height, bool moved) {
    std::string s = "[Window]\r\nleft=" + std::to_string(left) + "\r\ntop=" + std::to_string(top);
    if (width) s += "\r\nwidth=" + std::to_string(width);
    if (height) s += "\r\nheight=" + std::to_string(height);
    return Placement{what, s + "\r\n", left, top, width, height, moved};
  };
  const Placement cases[] = {
      {"nothing stored", "", 0, 0, 0, 0},
      at("negative left", -50, 120, 300, 60, false),
      at("only left and top", 33, 44, 0, 0, false),
      {"keys in upper case", "[WINDOW]\r\nLEFT=10\r\nTOP=20\r\nWIDTH=240\r\nHEIGHT=60\r\n", 10, 20,
       240, 60},
      at("the top frame off the top", 10, work.top - caption.top, 0, 60, false),
      {"only the width", "[Window]\r\nwidth=260\r\n", 0, 0, 260, 0},
      // Where no screen is: at the nearest work area's corner, at the stored size.
      at("off the left", -5000, 100, 0, 0, true),
      at("off the right", 5000, 100, 0, 0, true),
      at("off the top", 100, -5000, 0, 0, true),
      at("off the bottom", 100, 5000, 0, 0, true),
      {"saturated values",
       "[Window]\r\nleft=99999999999\r\ntop=-99999999999\r\nwidth=300\r\nheight=60\r\n", INT_MAX,
       INT_MIN, 300, 60, true},
      at("the last row", 100, work.bottom - 1, 0, 0, true),
      // Judged at the size the system gives the window, which is larger.
      at("width 1 at the right edge", work.right - 1, 100, 1, 0, true),
      at("height 1 at the bottom", 100, work.bottom - 1, 0, 1, true),
      at("the grip's columns at the right", grip_left, 100, 0, 0, false),
      at("a column short of the grip at the right", grip_left + 1, 100, 0, 0, true),
      at("no caption row at the top", 100, work.top - caption.bottom, 0, 0, true),
      at("a row short of the grip at the top", 100, grip_top - 1, 0, 0, true),
      at("the grip's rows at the top", 100, grip_top, 0, 0, false),
      at("only the top frame at the bottom", 100, work.bottom - caption.top, 0, 0, true),
      at("the grip's rows at the bottom", 100, grip_bottom, 0, 60, false),
      at("a row short of the grip at the bottom", 100, grip_bottom + 1, 0, 60, true),
  };
  HHOOK above = SetWindowsHookExA(WH_CALLWNDPROCRET, MadeAbove, NULL, GetCurrentThreadId());
  for (const Placement& c : cases) {
    const RECT expected = PlacedRect(c.moved ? work.left : c.left, c.moved ? work.top : c.top,
                                     c.width ? c.width : size.cx, c.height ? c.height : size.cy);
    PluginCopy plugin("placement");
    plugin.WriteIni(kAlwaysShow + c.window_section);
    if (!plugin.Start()) return;
    Open(plugin, "Becky! ver. 2.0", "2.0");
    HWND result = OnlyDialog(c.what);
    if (result != NULL) {
      RECT got;
      GetWindowRect(result, &got);
      ok(EqualRect(&got, &expected), "%s at %d dpi: expected %s, got %s", c.what, ExpectedDpi(),
         RectText(expected).c_str(), RectText(got).c_str());
      // Enough where it is kept, too little where it was stored if it was moved.
      SetWindowPos(result, NULL, c.left, c.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      const RECT shown = CaptionWithin(result, work);
      ok((shown.right - shown.left >= grip.cx && shown.bottom - shown.top >= grip.cy) != c.moved,
         "%s at %d dpi: expected %s of the caption on the work area, got %s", c.what, ExpectedDpi(),
         c.moved ? "too little" : "enough", RectText(shown).c_str());
    }
    plugin.bkc.OnExit();
  }
  UnhookWindowsHookEx(above);
}

// Exit stores the window's rectangle; without a window it writes nothing at all.
void Exit() {
  {
    PluginCopy plugin("exit_saves");
    plugin.WriteIni(kAlwaysShow);
    if (!plugin.Start()) return;
    Open(plugin, "Becky! ver. 2.0", "2.0");
    HWND result = OnlyDialog("exit");
    if (result == NULL) return;
    SetWindowPos(result, NULL, -75, 210, 333, 44, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT moved;
    GetWindowRect(result, &moved);
    ok(plugin.bkc.OnExit() == 0, "BKC_OnExit: expected 0");
    ok(!IsWindow(result), "expected the result window destroyed");
    const struct {
      const char* key;
      long value;
    } stored[] = {{"left", moved.left},
                  {"top", moved.top},
                  {"width", moved.right - moved.left},
                  {"height", moved.bottom - moved.top}};
    for (const auto& k : stored) {
      std::string got = plugin.IniValue("Window", k.key);
      ok(got == std::to_string(k.value), "%s: expected %ld, got %s", k.key, k.value, got.c_str());
    }
    ok(moved.left == -75, "expected the window moved to left -75, got %ld", moved.left);
    ok(plugin.IniValue("Settings", "fPopup") == "0", "exit lost fPopup=0");
    // A second exit and the next run: the window comes back where it was left.
    ok(plugin.bkc.OnExit() == 0, "second BKC_OnExit: expected 0");
    plugin.Unload();
    if (!plugin.Start()) return;
    Open(plugin, "Becky! ver. 2.0", "2.0");
    result = OnlyDialog("next run");
    RECT again = {};
    if (result) GetWindowRect(result, &again);
    ok(EqualRect(&again, &moved), "next run: expected %s, got %s", RectText(moved).c_str(),
       RectText(again).c_str());
    plugin.bkc.OnExit();
  }
  {
    // Warning mode and always-show mode without a verdict: no window, so no file.
    PluginCopy plugin("exit_nothing");
    if (!plugin.Start()) return;
    Open(plugin, "Thunderbird", "2.0");
    plugin.bkc.OnExit();
    plugin.bkc.OnExit();
    std::string bytes;
    ok(!plugin.ReadIni(&bytes), "expected no settings file, got %s", Printable(bytes).c_str());
    plugin.Unload();
    plugin.WriteIni("[Settings]\r\nfPopup=0\r\n[Window]\r\nleft=5\r\n");
    if (!plugin.Start()) return;
    Open(plugin, "Thunderbird", "2.0");
    plugin.bkc.OnExit();
    plugin.ReadIni(&bytes);
    ok(bytes == "[Settings]\r\nfPopup=0\r\n[Window]\r\nleft=5\r\n",
       "exit without a window changed the file: %s", Printable(bytes).c_str());
  }
  {
    // Exit before start, then a start and a second exit: nothing breaks, nothing written.
    PluginCopy plugin("exit_first");
    ok(plugin.Load(), "load failed");
    if (!plugin.exports_complete) return;
    ok(plugin.bkc.OnExit() == 0, "BKC_OnExit before start: expected 0");
    ok(plugin.bkc.OnStart() == 0, "BKC_OnStart after exit: expected 0");
    ok(plugin.bkc.OnExit() == 0, "BKC_OnExit: expected 0");
    std::string bytes;
    ok(!plugin.ReadIni(&bytes), "expected no settings file, got %s", Printable(bytes).c_str());
  }
}

// A token too long for the caption is cut after a whole character of the ANSI code page in
// force (Japanese, Korean or UTF-8): "1" and 150 two-byte characters.
void DoubleByte() {
  const wchar_t* character = GetACP() == 949     ? L"\uAC00"
                             : GetACP() == 65001 ? L"\u00E9"
                                                 : L"\u3042";
  char piece[4];
  if (WideCharToMultiByte(CP_ACP, 0, character, 1, piece, sizeof piece, NULL, NULL) != 2) {
    skip("needs a code page of two-byte characters, such as 932, the system has %u", GetACP());
    return;
  }
  std::string token = "1";
  for (int i = 0; i < 150; ++i) token.append(piece, 2);
  PluginCopy plugin("double_byte");
  plugin.WriteIni(kAlwaysShow);
  if (!plugin.Start()) return;
  Open(plugin, ("Becky! ver. " + token).c_str(), "2.75.02");
  // 17 fixed characters and the version leave 228 bytes for "1", 113 characters and "...".
  std::wstring expected = L"WIN! (He:1";
  for (int i = 0; i < 113; ++i) expected += character;
  expected += L"... < You:2.75.02)";
  HWND result = OnlyDialog("double-byte token");
  wchar_t caption[300] = L"";
  if (result != NULL) GetWindowTextW(result, caption, 300);
  ok(expected == caption, "code page %u: expected %s, got %s", GetACP(),
     Utf8FromWide(expected).c_str(), Utf8FromWide(caption).c_str());
  plugin.bkc.OnExit();
}

const TestGroup kGroups[] = {
    {"captions", Captions},
    {"placement", Placements},
    {"exit", Exit},
    {"double_byte", DoubleByte},
};

}  // namespace

int main() { return plugin_test_main(kGroups, sizeof kGroups / sizeof kGroups[0]); }
