// Loading the plug-in: its refusal when the host lacks a function, its information record,
// and the fifteen exports with their results.
#include <string.h>
#include <wchar.h>

#include "plugin_fixture.h"

namespace {

// As the box holds them, whatever the ANSI code page.
const wchar_t kRefusalCaption[] = L"プラグインエラー";
const wchar_t kRefusalText[] =
    L"プラグイン「Becky! Vostrel plug-in」でエラーが発生しました。\r\n"
    L"Becky!! とプラグインのバージョンを確認してください";
// The plug-in's texts are code page 932 bytes on any system: the system's conversion makes them.
const std::string kDescription = [] {
  char bytes[128];
  int n = WideCharToMultiByte(
      932, 0, L"Becky!使いからメールがきた時に、自分のとバージョンを比べ、負けていたら警告する。",
      -1, bytes, sizeof bytes, NULL, NULL);
  return std::string(bytes, n > 0 ? n - 1 : 0);
}();

// Built without BKA_Connect: the plug-in must refuse, with exactly one box.
void Refused() {
  PluginCopy plugin("refused");
  ForgetSeenBoxes();
  bool loaded = plugin.Load();
  ok(!loaded && plugin.module == NULL, "expected the load to fail, got module %p",
     static_cast<void*>(plugin.module));
  ok(SeenBoxCount() == 1, "expected 1 box, got %d", SeenBoxCount());
  if (SeenBoxCount() < 1) return;
  const SeenBox* box = SeenBoxAt(0);
  ok(wcscmp(box->wcaption, kRefusalCaption) == 0, "caption: expected %s, got %s",
     Utf8FromWide(kRefusalCaption).c_str(), Utf8FromWide(box->wcaption).c_str());
  ok(wcscmp(box->wtext, kRefusalText) == 0, "text: expected %s, got %s",
     Utf8FromWide(kRefusalText).c_str(), Utf8FromWide(box->wtext).c_str());
  ok(box->owner == NULL, "expected no owner, got %p", static_cast<void*>(box->owner));
  ok(GetModuleHandleA("Vostrel.dll") == NULL, "the refused module stayed loaded");
  // A second attempt refuses again, as the first.
  loaded = plugin.Load();
  ok(!loaded && SeenBoxCount() == 2, "second load: expected refusal with a 2nd box, got %d boxes",
     SeenBoxCount());
}

struct Field {
  const char* name;
  size_t offset, width;
  const char* value;
};

void Info() {
  const Field fields[] = {
      {"name", 0, 80, "Becky! Vostrel plug-in"},
      {"vendor", 80, 80, "orvek"},
      {"version", 160, 80, "1.0"},
      {"description", 240, 256, kDescription.c_str()},
  };
  ok(kDescription.size() == 80, "the description should be 80 bytes, is %u",
     static_cast<unsigned>(kDescription.size()));
  PluginCopy plugin("info");
  ok(plugin.Load(), "load failed");
  if (!plugin.exports_complete) return;
  // Before BKC_OnStart, after it, and again: the same record every time.
  for (int round = 0; round < 3; ++round) {
    if (round == 1) plugin.bkc.OnStart();
    unsigned char record[496 + 16];
    for (size_t i = 0; i < sizeof record; ++i) record[i] = static_cast<unsigned char>(0xA5 ^ i);
    int result = plugin.bkc.OnPlugInInfo(record);
    ok(result == 0, "round %d: expected 0, got %d", round, result);
    for (const Field& f : fields) {
      const char* got = reinterpret_cast<const char*>(record + f.offset);
      size_t length = strlen(f.value);
      ok(memcmp(got, f.value, length + 1) == 0, "round %d, %s: expected %s, got %s", round, f.name,
         Printable(f.value).c_str(), Printable(std::string(got, strnlen(got, f.width))).c_str());
      int touched = 0;
      for (size_t i = f.offset + length + 1; i < f.offset + f.width; ++i) {
        touched += record[i] != static_cast<unsigned char>(0xA5 ^ i);
      }
      ok(touched == 0, "round %d, %s: expected the bytes after the NUL untouched, %d changed",
         round, f.name, touched);
    }
    int beyond = 0;
    for (size_t i = 496; i < sizeof record; ++i)
      beyond += record[i] != static_cast<unsigned char>(0xA5 ^ i);
    ok(beyond == 0, "round %d: %d bytes written past the 496-byte record", round, beyond);
  }
  plugin.bkc.OnExit();
}

void Exports() {
  PluginCopy plugin("exports");
  ok(plugin.Load(), "load failed");
  for (int i = 0; i < kExportCount; ++i) {
    FARPROC by_name = GetProcAddress(plugin.module, kExportTable[i].name);
    FARPROC by_ordinal = GetProcAddress(plugin.module, MAKEINTRESOURCEA(i + 1));
    ok(by_name != NULL && by_name == by_ordinal,
       "%s: expected ordinal %d, by name %p by ordinal %p", kExportTable[i].name, i + 1,
       reinterpret_cast<void*>(by_name), reinterpret_cast<void*>(by_ordinal));
  }
  if (!plugin.exports_complete) return;
  ok(GetProcAddress(plugin.module, MAKEINTRESOURCEA(16)) == NULL, "an export with ordinal 16");
  const PluginExports& k = plugin.bkc;
  ok(k.OnStart() == 0, "BKC_OnStart: expected 0");
  struct {
    const char* name;
    int got, expected;
  } results[] = {
      {"BKC_OnMenuInit", k.OnMenuInit(1, 2, 3), 0},
      {"BKC_OnOpenFolder", k.OnOpenFolder(7), 0},
      {"BKC_OnEveryMinute", k.OnEveryMinute(), 0},
      {"BKC_OnOpenCompose", k.OnOpenCompose(1, 2), 0},
      {"BKC_OnOutgoing", k.OnOutgoing(1, 2), 0},
      {"BKC_OnKeyDispatch", k.OnKeyDispatch(1, 2, 3), 0},
      {"BKC_OnRetrieve", k.OnRetrieve(1, 2), 0},
      {"BKC_OnSend", k.OnSend(1), 0},
      {"BKC_OnFinishRetrieve", k.OnFinishRetrieve(1), 0},
      {"BKC_OnDragDrop", k.OnDragDrop(1, 2, 3, 4), 0},
      {"BKC_OnOpenMail", k.OnOpenMail(42), 0},  // no X-Mailer: nothing to show
  };
  for (const auto& r : results) {
    ok(r.got == r.expected, "%s: expected %d, got %d", r.name, r.expected, r.got);
  }
  ScriptNextDialog([](HWND dialog, void*) { EndDialog(dialog, IDCANCEL); }, NULL);
  int setup = k.OnPlugInSetup(standin.main_window);
  ok(setup == 1, "BKC_OnPlugInSetup: expected 1, got %d", setup);
  int exit_result = k.OnExit();
  ok(exit_result == 0, "BKC_OnExit: expected 0, got %d", exit_result);
  ok(SeenBoxCount() == 0, "expected no box, got %d", SeenBoxCount());
}

// A host that unloads the plug-in and loads it again in one process. After a box the module is
// pinned and comes back without a new attach: every run must start afresh all the same, with
// its box and page once, or its result window, stored at exit.
void Reload() {
  PluginCopy plugin("reload");
  standin.version = "2.75.02";
  standin.xmailer = "Becky! ver. 2.81.05";
  for (int run = 1; run <= 4; ++run) {
    if (run == 3) plugin.WriteIni("[Settings]\r\nfPopup=0\r\n");
    if (!plugin.Start()) return;
    ForgetSeenBoxes();
    plugin.bkc.OnOpenMail(0);
    plugin.bkc.OnOpenMail(0);
    std::vector<HWND> windows = ThreadDialogs();
    int boxes = run <= 2 ? 1 : 0, shown = static_cast<int>(windows.size());
    ok(SeenBoxCount() == boxes && shown == 1 - boxes,
       "run %d: expected %d boxes, %d windows, got %d, %d", run, boxes, 1 - boxes, SeenBoxCount(),
       shown);
    if (run <= 2) ok(opened_pages.size() == static_cast<size_t>(run), "run %d: no page", run);
    if (!windows.empty()) SetWindowPos(windows[0], NULL, run, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    plugin.bkc.OnExit();
    plugin.Unload();
    if (run > 2)
      ok(plugin.IniValue("Window", "left") == std::to_string(run), "run %d: not stored", run);
  }
  ok(GetModuleHandleW(plugin.wdll.c_str()) != NULL, "expected the module kept by its box");
}

const TestGroup kGroups[] = {
    {"refused", Refused},
    {"info", Info},
    {"exports", Exports},
    {"reload", Reload},
};

}  // namespace

int main() { return plugin_test_main(kGroups, sizeof kGroups / sizeof kGroups[0]); }
