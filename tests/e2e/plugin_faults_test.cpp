// A host that misbehaves and long runs: header buffers without a NUL, no version or a very
// long one, calls out of order, and a thousand messages in a row in each mode.
#include <string.h>

#include "../../src/duel/version_scan.h"
#include "plugin_fixture.h"

namespace {

const char kAlwaysShow[] = "[Settings]\r\nfPopup=0\r\nfOnce=0\r\nfOpenRimarts=0\r\n";
const char kWarnEveryTime[] = "[Settings]\r\nfOnce=0\r\nfOpenRimarts=0\r\n";

// What one message showed: the warning box text, or the result window's caption.
struct Shown {
  int boxes = 0;
  std::string box_caption, box_text, window_caption;
  HWND window = NULL;
};

Shown Open(PluginCopy& plugin) {
  ForgetSeenBoxes();
  int result = plugin.bkc.OnOpenMail(0);
  ok(result == 0, "BKC_OnOpenMail: expected 0, got %d", result);
  Shown shown;
  shown.boxes = SeenBoxCount();
  if (const SeenBox* box = SeenBoxAt(shown.boxes - 1)) {
    shown.box_caption = box->caption;
    shown.box_text = box->text;
  }
  std::vector<HWND> dialogs = ThreadDialogs();
  if (!dialogs.empty()) {
    shown.window = dialogs[0];
    shown.window_caption = WindowText(dialogs[0]);
  }
  return shown;
}

// The token the plug-in must cut from a header buffer filled with value, repeated, to the
// 1023 bytes it offers (the last byte stays NUL).
std::string TokenOfRepeatedHeader(const std::string& value) {
  std::string header;
  while (header.size() < 1023) header += value;
  header.resize(1023);
  size_t ver = header.find("ver");
  size_t space = header.find(' ', ver);
  size_t end = header.find(' ', space + 1);
  return header.substr(space + 1, end == std::string::npos ? std::string::npos : end - space - 1);
}

struct HostCase {
  const char* what;
  const char* xmailer;
  bool without_nul;
  std::string version;         // "<null>": the host returns null
  const char* expected_token;  // null: work it out from the repeated header
  Verdict verdict;
};

void CheckFormats(const HostCase& c, const Shown& warned, const Shown& window,
                  const std::string& token, const std::string& own) {
  // Warning box: "He:" token "\r\nYou:" own, cut to fit 1023 bytes.
  std::string full_text = "He:" + token + "\r\nYou:" + own;
  if (c.verdict == VERDICT_LOSE) {
    ok(warned.boxes == 1, "%s: expected 1 box, got %d", c.what, warned.boxes);
    ok(warned.box_caption == "You Lose !", "%s: expected caption You Lose !, got %s", c.what,
       warned.box_caption.c_str());
    if (full_text.size() <= 1023) {
      ok(warned.box_text == full_text, "%s: expected text %s, got %s", c.what,
         Printable(full_text).c_str(), Printable(warned.box_text).c_str());
    } else {
      size_t you = warned.box_text.find("\r\nYou:");
      ok(warned.box_text.size() <= 1023 && warned.box_text.compare(0, 3, "He:") == 0 &&
             you != std::string::npos,
         "%s: expected a shortened text of at most 1023 bytes, got %u bytes: %.60s", c.what,
         static_cast<unsigned>(warned.box_text.size()), Printable(warned.box_text).c_str());
    }
  } else {
    ok(warned.boxes == 0, "%s: expected no box, got %d", c.what, warned.boxes);
  }
  const char* format = c.verdict == VERDICT_LOSE  ? "LOSE (He:%s > You:%s)"
                       : c.verdict == VERDICT_WIN ? "WIN! (He:%s < You:%s)"
                                                  : "DRAW (He:%s = You:%s)";
  std::string full_line = std::string(format, 9) + token + std::string(format + 11, 7) + own + ")";
  ok(window.window != NULL, "%s: expected the result window", c.what);
  if (full_line.size() <= 255) {
    ok(window.window_caption == full_line, "%s: expected caption %s, got %s", c.what,
       full_line.c_str(), Printable(window.window_caption).c_str());
  } else {
    const std::string& got = window.window_caption;
    ok(got.size() <= 255 && got.compare(0, 9, full_line, 0, 9) == 0 && !got.empty() &&
           got.back() == ')' && got.find(std::string(format + 11, 7)) != std::string::npos,
       "%s: expected a line of at most 255 characters that starts %.9s and ends with ')', got %u: "
       "%s",
       c.what, format, static_cast<unsigned>(got.size()), Printable(got).c_str());
  }
}

void CarelessHost() {
  const std::string long_version = "2." + std::string(1998, '7');
  const std::string long_token(1000, '8');
  const std::string long_mailer = "Becky! ver. " + long_token;
  const HostCase cases[] = {
      {"header without NUL", "Becky! ver. 2.81.05", true, "2.75.02", NULL, VERDICT_LOSE},
      {"header without NUL, token to the end", "Becky! ver. 9", true, "2.75.02", NULL,
       VERDICT_LOSE},
      {"host version null", "Becky! ver. 2.81", false, "<null>", "2.81", VERDICT_LOSE},
      {"host version empty", "Becky! ver. ", false, "", "", VERDICT_DRAW},
      {"2,000-byte host version", "Becky! ver. 2.8", false, long_version, "2.8", VERDICT_LOSE},
      {"2,000-byte host version, draw-ish", "Becky! ver. 2.7", false, long_version, "2.7",
       VERDICT_WIN},
      {"long token and long version", long_mailer.c_str(), false, long_version, NULL, VERDICT_LOSE},
  };
  for (const HostCase& c : cases) {
    std::string token = c.expected_token ? c.expected_token
                        : c.without_nul  ? TokenOfRepeatedHeader(c.xmailer)
                                         : long_token;
    bool null_version = c.version == "<null>";
    std::string own = null_version ? "" : c.version;
    Shown warned, window;
    for (int mode = 0; mode < 2; ++mode) {
      PluginCopy plugin("careless");
      plugin.WriteIni(mode == 0 ? kWarnEveryTime : kAlwaysShow);
      if (!plugin.Start()) return;
      standin.xmailer = c.xmailer;
      standin.fill_without_nul = c.without_nul;
      standin.version = null_version ? NULL : c.version.c_str();
      (mode == 0 ? warned : window) = Open(plugin);
      ok(standin.last_header_size <= 1023, "%s: offered %d bytes", c.what,
         standin.last_header_size);
      standin.fill_without_nul = false;
      standin.version = "2.75.02";
      plugin.bkc.OnExit();
    }
    CheckFormats(c, warned, window, token, own);
  }
}

// Messages before BKC_OnStart: the defaults hold; nothing needs the host's windows.
void BeforeStart() {
  PluginCopy plugin("before_start");
  plugin.WriteIni("[Settings]\r\nfPopup=0\r\n");
  ok(plugin.Load(), "load failed");
  if (!plugin.exports_complete) return;
  standin.xmailer = "Becky! ver. 9.9";
  standin.version = "2.0";
  Shown first = Open(plugin);
  ok(first.boxes == 1 && first.window == NULL,
     "expected the warning box before start, got %d "
     "boxes and window %p",
     first.boxes, static_cast<void*>(first.window));
  ok(opened_pages.size() == 1, "expected the maker's page, got %u pages",
     static_cast<unsigned>(opened_pages.size()));
  Shown second = Open(plugin);
  ok(second.boxes == 0, "expected once per run, got %d boxes", second.boxes);
  ok(plugin.bkc.OnStart() == 0, "BKC_OnStart: expected 0");
  Shown third = Open(plugin);
  ok(third.window != NULL && third.window_caption == "LOSE (He:9.9 > You:2.0)",
     "after start: expected the result window with LOSE, got %p %s",
     static_cast<void*>(third.window), third.window_caption.c_str());
  plugin.bkc.OnExit();
}

// The next handle this process gets: the same value as long as no handle leaked.
HANDLE NextHandle() {
  HANDLE event = CreateEventA(NULL, FALSE, FALSE, NULL);
  CloseHandle(event);
  return event;
}

// Hiding the result window and closing a box cost Wine far more than an examination, so those
// come every 100th message; the rest (WIN, DRAW, silent Becky!) run the whole examination each
// time.
const int kMessages = 1000;
const int kEvery = 100;

void ThousandMessages() {
  const char* const mailers[] = {"Becky! ver. 2.10", "Becky! ver. 2.75.02", "Becky! 2.9"};
  const char* const files[] = {kAlwaysShow, kWarnEveryTime};
  DWORD handles = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handles);
  DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  printf("note: GetProcessHandleCount %lu, GetGuiResources %lu (0 means not implemented)\n",
         handles, gdi);
  for (const char* ini : files) {
    bool always = ini == kAlwaysShow;
    const char* what = always ? "always-show" : "warning";
    PluginCopy plugin("thousand");
    plugin.WriteIni(ini);
    if (!plugin.Start()) return;
    standin.version = "2.75.02";
    HWND window = NULL;
    int windows = -1, boxes = 0, expected_boxes = 0;
    HANDLE next = NULL;
    for (int i = 0; i < kMessages; ++i) {
      // Every 100th message: a loss (2.9 against 2.75.02), then one from another program.
      bool loses = i % kEvery == 7;
      bool other = i % kEvery == 8;
      standin.xmailer = loses ? "Becky! ver. 2.9" : other ? "Thunderbird 115" : mailers[i % 3];
      expected_boxes += !always && loses;
      ForgetSeenBoxes();
      plugin.bkc.OnOpenMail(i);
      boxes += SeenBoxCount();
      if (i % 50 == 0) Pump(0);
      if (i == 5) {
        std::vector<HWND> dialogs = ThreadDialogs();
        window = dialogs.empty() ? NULL : dialogs[0];
        windows = ThreadWindowCount();
        next = NextHandle();
      }
    }
    Pump(0);
    std::vector<HWND> dialogs = ThreadDialogs();
    ok(dialogs.size() == (always ? 1u : 0u), "%s: expected %d result windows, got %u", what, always,
       static_cast<unsigned>(dialogs.size()));
    if (always && !dialogs.empty()) {
      ok(dialogs[0] == window, "%s: the result window was made again", what);
      // The last message (999) is the WIN; 998 was the silent one, 997 the DRAW.
      ok(WindowText(window) == "WIN! (He:2.10 < You:2.75.02)" && IsWindowVisible(window),
         "%s: expected the last verdict shown, got %s", what, WindowText(window).c_str());
    }
    ok(ThreadWindowCount() == windows, "%s: expected %d windows of the thread, got %d", what,
       windows, ThreadWindowCount());
    HANDLE after = NextHandle();
    ok(after == next, "%s: kernel handles leaked: next handle %p, was %p", what,
       static_cast<void*>(after), static_cast<void*>(next));
    ok(boxes == expected_boxes, "%s: expected %d boxes, got %d", what, expected_boxes, boxes);
    plugin.bkc.OnExit();
  }
}

const TestGroup kGroups[] = {
    {"careless_host", CarelessHost},
    {"before_start", BeforeStart},
    {"thousand", ThousandMessages},
};

}  // namespace

int main() { return plugin_test_main(kGroups, sizeof kGroups / sizeof kGroups[0]); }
