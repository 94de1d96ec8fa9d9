// The settings file as the running plug-in meets it: beside a renamed module, read-only, a
// folder, garbage, odd numbers and empty values, keys in other cases.
#include <string.h>

#include <algorithm>

#include "../../src/settings/ini_path.h"
#include "plugin_fixture.h"

namespace {

// One message: the mode in force shows either a warning box or the result window.
enum Mode { WARNING_MODE, ALWAYS_SHOW_MODE };

DWORD WINAPI HostThread(void*) { return 0; }

Mode ModeInForce(PluginCopy& plugin, HWND* result) {
  // A mail client starts and ends threads of its own while the plug-in is loaded.
  HANDLE thread = CreateThread(NULL, 0, HostThread, NULL, 0, NULL);
  ok(thread != NULL && WaitForSingleObject(thread, 30000) == WAIT_OBJECT_0, "no host thread ran");
  if (thread != NULL) CloseHandle(thread);
  standin.xmailer = "Becky! ver. 9.9";
  standin.version = "2.0";
  ForgetSeenBoxes();
  plugin.bkc.OnOpenMail(0);
  std::vector<HWND> dialogs = ThreadDialogs();
  *result = dialogs.empty() ? NULL : dialogs[0];
  int boxes = SeenBoxCount();
  // A result window made earlier in the run stays after a switch to the warning mode.
  ok(boxes == 1 || *result != NULL, "expected a box or a window, got neither");
  return boxes == 1 ? WARNING_MODE : ALWAYS_SHOW_MODE;
}

HWND last_dialog = NULL;

// OK in the dialog with the mode radio button given (IDC_MODE_LOSS or IDC_MODE_ALWAYS).
void ChooseMode(PluginCopy& plugin, int radio) {
  static int chosen;
  chosen = radio;
  ForgetSeenBoxes();
  ScriptNextDialog(
      [](HWND dialog, void*) {
        last_dialog = dialog;
        SendMessageA(GetDlgItem(dialog, chosen), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
      },
      NULL);
  int result = plugin.bkc.OnPlugInSetup(standin.main_window);
  ok(result == 1, "BKC_OnPlugInSetup: expected 1, got %d", result);
}

// After OK: one box over the dialog naming the settings file (or no file, when the module's own
// path is too long to read) when the choice was not written, none when it was.
void CheckNotKeptBox(const PluginCopy& plugin, const char* what, bool expected,
                     bool names_file = true) {
  int boxes = SeenBoxCount();
  const SeenBox* box = SeenBoxAt(0);
  ok(boxes == (expected ? 1 : 0), "%s: expected %d boxes after OK, got %d", what, expected, boxes);
  if (!expected || boxes != 1) return;
  ok(wcscmp(box->wcaption, L"Vostrel plug-in 設定エラー") == 0, "%s: got caption %s", what,
     Utf8FromWide(box->wcaption).c_str());
  ok(box->owner == last_dialog, "%s: expected the dialog %p as owner, got %p", what,
     static_cast<void*>(last_dialog), static_cast<void*>(box->owner));
  // The settings file's path on a line of its own; an empty line when there is none.
  const std::wstring text = L"設定ファイルに書き込めませんでした。\r\n\r\n" +
                            (names_file ? plugin.wini : L"") +
                            L"\r\n\r\n選んだ設定は今回の起動中は有効ですが、Becky! "
                            L"を再起動すると元に戻ります。";
  ok(text == box->wtext, "%s: expected %s, got %s", what, Utf8FromWide(text).c_str(),
     Utf8FromWide(box->wtext).c_str());
}

void RenamedModule() {
  PluginCopy plugin("renamed", L"Duel.dll");
  ok(plugin.ini.size() > 8 && plugin.ini.compare(plugin.ini.size() - 9, 9, "\\Duel.ini") == 0,
     "expected Duel.ini, got %s", plugin.ini.c_str());
  plugin.WriteIni("[Settings]\r\nfPopup=0\r\n");
  if (!plugin.Start()) return;
  HWND result;
  ok(ModeInForce(plugin, &result) == ALWAYS_SHOW_MODE, "Duel.ini was not read at start");
  plugin.bkc.OnExit();
  ok(plugin.IniValue("Window", "width") != "<absent>", "exit did not write to Duel.ini");
  const std::wstring other = plugin.dir + L"\\Vostrel.ini";
  ok(GetFileAttributesW(other.c_str()) == INVALID_FILE_ATTRIBUTES, "a Vostrel.ini was written");
}

struct FileCase {
  const char* what;
  std::string bytes;     // the file before start
  Mode mode;             // read at start
  bool check_rect;       // the window's place follows from the file
  RECT rect;             // then: expected
  const char* survives;  // a key of "Settings" whose value must still read the same at the end
};

std::string Garbage(bool with_nuls) {
  std::string bytes;
  unsigned seed = 12345;
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1103515245u + 12345u;
    unsigned char c = static_cast<unsigned char>(seed >> 16);
    if (!with_nuls) c = static_cast<unsigned char>(0x80 | c);  // no NUL, no line break
    bytes += static_cast<char>(c);
  }
  return bytes;
}

void Files() {
  const std::string always = "[Settings]\r\nfPopup=0\r\n";
  const FileCase cases[] = {
      {"keys in upper case", "[SETTINGS]\r\nFPOPUP=0\r\n", ALWAYS_SHOW_MODE, false, {}, "fPopup"},
      {"garbage before the section", Garbage(false) + "\r\n" + always, ALWAYS_SHOW_MODE, true,
       PlacedRect(0, 0, DefaultSize().cx, DefaultSize().cy), "fPopup"},
      {"garbage with NUL bytes", Garbage(true), WARNING_MODE, false, {}, NULL},
      {"huge width, negative left",
       always + "[Window]\r\nleft=-50\r\ntop=60\r\nwidth=99999999999\r\nheight=30\r\n",
       ALWAYS_SHOW_MODE,
       false,
       {},
       "fPopup"},
      {"empty values",  // read as 0
       always + "[Window]\r\nleft=\r\ntop=\r\nwidth=\r\nheight=40\r\n", ALWAYS_SHOW_MODE, true,
       PlacedRect(0, 0, 0, 40), "fPopup"},
      {"numbers with trailing text", always + "[Window]\r\nleft=12px\r\ntop=+34\r\nwidth=200 \r\n",
       ALWAYS_SHOW_MODE, true, PlacedRect(12, 34, 200, DefaultSize().cy), "fPopup"},
      {"fPopup=-1 counts as on",
       "[Settings]\r\nfPopup=-1\r\nfOnce=0\r\n",
       WARNING_MODE,
       false,
       {},
       "fOnce"},
      {"fPopup empty reads 0", "[Settings]\r\nfPopup=\r\n", ALWAYS_SHOW_MODE, false, {}, NULL},
      {"fPopup text reads 0", "[Settings]\r\nfPopup=off\r\n", ALWAYS_SHOW_MODE, false, {}, NULL},
  };
  for (const FileCase& c : cases) {
    PluginCopy plugin("files");
    plugin.WriteIni(c.bytes);
    std::string survivor = c.survives ? plugin.IniValue("Settings", c.survives) : "";
    if (!plugin.Start()) return;
    HWND result;
    Mode mode = ModeInForce(plugin, &result);
    ok(mode == c.mode, "%s: expected the %s mode", c.what,
       c.mode == WARNING_MODE ? "warning" : "always-show");
    RECT got = {};
    if (result != NULL) GetWindowRect(result, &got);
    if (c.check_rect && result != NULL) {
      ok(EqualRect(&got, &c.rect), "%s: expected %s, got %s", c.what, RectText(c.rect).c_str(),
         RectText(got).c_str());
    }
    if (strcmp(c.what, "huge width, negative left") == 0) {
      ok(got.left == -50 && got.top == 60, "%s: expected -50,60, got %ld,%ld", c.what, got.left,
         got.top);
    }
    plugin.bkc.OnExit();
    if (result != NULL) {
      char expected[32];
      snprintf(expected, sizeof expected, "%ld", got.left);
      std::string left = plugin.IniValue("Window", "left");
      ok(left == expected, "%s: expected left=%s after exit, got %s", c.what, expected,
         left.c_str());
    }
    if (c.survives) {
      std::string now = plugin.IniValue("Settings", c.survives);
      ok(now == survivor, "%s: expected %s=%s to survive, got %s", c.what, c.survives,
         survivor.c_str(), now.c_str());
    }
  }
}

// Files the plug-in cannot write: the change holds in memory, the file stays as it was.
// lock: how the file is kept from the plug-in.
enum Lock { READ_ONLY_ATTRIBUTE, HELD_OPEN_FOR_READING };

void UnwritableFile(Lock lock) {
  const char* what = lock == READ_ONLY_ATTRIBUTE ? "read-only" : "held open";
  PluginCopy plugin("unwritable");
  const std::string bytes = "[Settings]\r\nfPopup=0\r\n";
  plugin.WriteIni(bytes);
  HANDLE held = INVALID_HANDLE_VALUE;
  bool enforced = true;
  if (lock == READ_ONLY_ATTRIBUTE) {
    SetFileAttributesA(plugin.ini.c_str(), FILE_ATTRIBUTE_READONLY);
    // As root under Wine the attribute may not keep a writer out; then only robustness counts.
    HANDLE probe = CreateFileA(plugin.ini.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    enforced = probe == INVALID_HANDLE_VALUE;
    if (!enforced) {
      CloseHandle(probe);
      printf("note: the read-only attribute does not stop writers here\n");
    }
  } else {
    held = CreateFileA(plugin.ini.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0,
                       NULL);
    ok(held != INVALID_HANDLE_VALUE, "cannot hold the settings file open");
  }
  if (!plugin.Start()) return;
  HWND result;
  ok(ModeInForce(plugin, &result) == ALWAYS_SHOW_MODE, "%s: the file was not read", what);
  ChooseMode(plugin, IDC_MODE_LOSS);
  CheckNotKeptBox(plugin, what, enforced);
  ok(ModeInForce(plugin, &result) == WARNING_MODE, "%s: expected the warning mode after OK", what);
  plugin.bkc.OnExit();
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  std::string now;
  plugin.ReadIni(&now);
  if (enforced) {
    ok(now == bytes, "%s: expected the file unchanged, got %s", what, Printable(now).c_str());
  }
}

void Unwritable() {
  UnwritableFile(READ_ONLY_ATTRIBUTE);
  UnwritableFile(HELD_OPEN_FOR_READING);
  PluginCopy plugin("folder");
  CreateDirectoryA(plugin.ini.c_str(), NULL);
  if (!plugin.Start()) return;
  HWND result;
  ok(ModeInForce(plugin, &result) == WARNING_MODE, "folder: expected the defaults");
  ChooseMode(plugin, IDC_MODE_ALWAYS);
  CheckNotKeptBox(plugin, "folder", true);
  ok(ModeInForce(plugin, &result) == ALWAYS_SHOW_MODE,
     "folder: expected the always-show mode after OK although nothing could be written");
  plugin.bkc.OnExit();
  DWORD attributes = GetFileAttributesA(plugin.ini.c_str());
  ok(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY),
     "folder: the folder was replaced");
}

// The longest path the plug-in has given the profile functions: Wine refuses a path of MAX_PATH
// characters itself, so only this tells that the plug-in did not hand one over.
size_t longest_profile_path;

DWORD WINAPI ReadProfileSeen(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR out, DWORD size,
                             LPCWSTR path) {
  longest_profile_path = std::max(longest_profile_path, wcslen(path));
  return GetPrivateProfileStringW(section, key, fallback, out, size, path);
}

BOOL WINAPI WriteProfileSeen(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR path) {
  longest_profile_path = std::max(longest_profile_path, wcslen(path));
  return WritePrivateProfileStringW(section, key, value, path);
}

// Folders named outside code page 932 work; a settings path of MAX_PATH characters or more is
// no path: the defaults are read, OK says the choice is not kept, and nothing is written. A
// module path of 1,024 characters or more (loaded in the \\?\ form) is not even read, and
// the box names no file. The long paths grow from a root of a fixed length, whatever the
// temporary folder's, so that each case has its length on any system.
void Folders() {
  const size_t kRoot = 120;                    // the copy's folder and a padding folder
  PluginCopy probe("paths");                   // every copy's folder is as long as this one
  const size_t copy = probe.wini.size() - 11;  // less "Vostrel.ini"
  ok(copy < kRoot, "the temporary folder is too long for these cases: %s",
     Utf8FromWide(probe.dir).c_str());
  if (copy >= kRoot) return;
  const std::wstring root = std::wstring(kRoot - copy, L'r') + L"\\";
  std::wstring levels;  // four nested folders, 804 characters
  for (wchar_t name = L'f'; name < L'j'; ++name) levels += std::wstring(200, name) + L"\\";
  // The subfolder that makes a settings path of length characters: the root, then the given
  // folders, then a name of es filling up to "\\Vostrel.ini".
  auto deep = [&root, kRoot](const std::wstring& folders, size_t length) {
    return root + folders + std::wstring(length - kRoot - 1 - folders.size() - 12, L'e');
  };
  struct {
    const char* what;
    std::wstring subfolder;
    bool usable;
    bool named = true;  // the box names the settings file
  } cases[] = {
      {"Korean folder", L"\uD55C\uAE00", true},
      {"accented folder", L"Jos\u00E9", true},
      {"path of 259 characters", deep(L"", 259), true},
      {"path of 260 characters", deep(L"", 260), false},
      {"path of 300 characters", deep(L"", 300), false},
      // A dot in the last folder, before the cut a 1,024-character buffer makes: the cut path
      // would still give a settings path.
      {"module path of 1,100 characters", deep(levels + L"cut.", 1100), false, false},
  };
  const std::string stored = "[Settings]\r\nfPopup=0\r\n";
  for (auto& c : cases) {
    PluginCopy plugin("paths", L"Vostrel.dll", c.subfolder);
    plugin.WriteIni(stored);
    if (!plugin.Start()) return;
    const int reads = PatchImports(plugin.module, reinterpret_cast<void*>(GetPrivateProfileStringW),
                                   reinterpret_cast<void*>(ReadProfileSeen));
    const int writes =
        PatchImports(plugin.module, reinterpret_cast<void*>(WritePrivateProfileStringW),
                     reinterpret_cast<void*>(WriteProfileSeen));
    ok(reads > 0 && writes > 0, "%s: expected the profile imports watched, got %d and %d slots",
       c.what, reads, writes);
    longest_profile_path = 0;
    HWND result;
    ok(ModeInForce(plugin, &result) == (c.usable ? ALWAYS_SHOW_MODE : WARNING_MODE),
       "%s: expected the file %s", c.what, c.usable ? "read" : "ignored");
    ChooseMode(plugin, IDC_MODE_ALWAYS);
    CheckNotKeptBox(plugin, c.what, !c.usable, c.named);
    ModeInForce(plugin, &result);  // shows the result window, so that exit saves it
    plugin.bkc.OnExit();
    const size_t path = c.usable ? plugin.wini.size() : 0;
    ok(longest_profile_path == path,
       "%s: expected the profile functions given %u characters, got %u", c.what,
       static_cast<unsigned>(path), static_cast<unsigned>(longest_profile_path));
    std::string now;
    plugin.ReadIni(&now);
    if (c.usable) {
      ok(now.find("fPopup=0") != std::string::npos && now.find("width=") != std::string::npos &&
             now.find('\0') == std::string::npos,
         "%s: expected ANSI text with fPopup and width, got %s", c.what, Printable(now).c_str());
      continue;
    }
    ok(now == stored, "%s: expected the file unchanged, got %s", c.what, Printable(now).c_str());
    std::wstring folder = plugin.wini.substr(0, plugin.wini.rfind(L'\\'));
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    int files = 0;
    if (search != INVALID_HANDLE_VALUE) {
      do files += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
      while (FindNextFileW(search, &found));
      FindClose(search);
    }
    ok(files == 2, "%s: expected only the module and its settings file, got %d files", c.what,
       files);
  }
}

// Two mail clients on one settings file, in a fixed order: the other host (this program again)
// takes the lock and leaves the file half written just before one step of the plug-in's run;
// the plug-in must wait for the lock and work on the finished file. Once done, it must hold no
// lock, nor a handle.
const char kFinishedFile[] =
    "[Settings]\r\nfPopup=0\r\n[Window]\r\nleft=321\r\ntop=123\r\nwidth=250\r\nheight=27\r\n";
const char kTornFile[] = "[Settings]\r\nfPopup=0\r\n[Window]\r\nleft=3";
const DWORD kLockLeftHeld = 3;  // the other host's exit code when it cannot take the lock at once

// The lock's name as the plug-in makes it, or the name of an event beside it.
std::wstring LockName(std::wstring ini, const wchar_t* suffix = L"") {
  CharUpperW(&ini[0]);
  wchar_t name[kSettingsLockNameSize];
  SettingsLockName(ini.c_str(), name);
  return name + std::wstring(suffix);
}

HANDLE waiting;  // set when the plug-in finds the lock taken and waits
// Another mail client's handle on the lock, opened at the plug-in's first wait: the plug-in made
// the lock, unless the other host holds it over the start. It keeps the lock, and its owner, in
// being between the plug-in's uses.
HANDLE keeper;

DWORD WINAPI WaitTellingOtherHost(HANDLE object, DWORD timeout) {
  HANDLE self = GetCurrentProcess();
  if (keeper == NULL) DuplicateHandle(self, object, self, &keeper, 0, FALSE, DUPLICATE_SAME_ACCESS);
  DWORD now = WaitForSingleObject(object, 0);
  if (now != WAIT_TIMEOUT) return now;
  SetEvent(waiting);
  // Longer than the plug-in asks: the other host's write must not race a busy machine.
  return WaitForSingleObject(object, timeout > 30000 ? timeout : 30000);
}

// Points the module's import of WaitForSingleObject at WaitTellingOtherHost.
void HookWait(HMODULE module) {
  const int slots = PatchImports(module, reinterpret_cast<void*>(WaitForSingleObject),
                                 reinterpret_cast<void*>(WaitTellingOtherHost));
  ok(slots > 0, "WaitForSingleObject's import: expected it redirected, got %d slots", slots);
}

// The steps of a run, each of which takes the lock once, in their order: how the plug-in is
// driven into the step, what the other host leaves torn and then finishes, and a check of what
// the plug-in read or wrote; shown is the result window's rectangle, as last seen around it.
struct LockedStep {
  const char* what;
  void (*drive)(PluginCopy& plugin);
  const char* torn;
  const char* finished;
  void (*check)(PluginCopy& plugin, const RECT& shown);
};

const LockedStep kLockedSteps[] = {
    {"start reads the options", [](PluginCopy& plugin) { plugin.bkc.OnStart(); },
     "[Settings]\r\nfOnce=0\r\nfPo", "[Settings]\r\nfOnce=0\r\nfPopup=0\r\n",
     [](PluginCopy& plugin, const RECT&) {
       HWND result;
       ok(ModeInForce(plugin, &result) == ALWAYS_SHOW_MODE,
          "expected start to read fPopup=0 from the finished file, got the warning mode");
     }},
    {"OK writes the options", [](PluginCopy& plugin) { ChooseMode(plugin, IDC_MODE_ALWAYS); },
     "[Settings]\r\nfPopup=1\r\n[Win", "[Settings]\r\nfPopup=1\r\n",
     [](PluginCopy& plugin, const RECT&) {
       std::string popup = plugin.IniValue("Settings", "fPopup");
       ok(popup == "0", "expected OK's fPopup=0 over the finished file, got %s", popup.c_str());
     }},
    {"a message reads the window's place",
     [](PluginCopy& plugin) {
       HWND result;
       ModeInForce(plugin, &result);
     },
     kTornFile, kFinishedFile,
     [](PluginCopy&, const RECT& got) {
       RECT expected = PlacedRect(321, 123, 250, 27);
       ok(EqualRect(&got, &expected), "expected the window at %s, got %s",
          RectText(expected).c_str(), RectText(got).c_str());
     }},
    {"exit writes the window's place", [](PluginCopy& plugin) { plugin.bkc.OnExit(); }, kTornFile,
     kFinishedFile,
     [](PluginCopy& plugin, const RECT& shown) {
       int v[4];
       const char* keys[] = {"left", "top", "width", "height"};
       for (int i = 0; i < 4; ++i) v[i] = atoi(plugin.IniValue("Window", keys[i]).c_str());
       RECT stored = {v[0], v[1], v[0] + v[2], v[1] + v[3]};
       ok(EqualRect(&stored, &shown), "expected exit to store %s over the finished file, got %s",
          RectText(shown).c_str(), RectText(stored).c_str());
     }},
};
const int kLockedStepCount = sizeof kLockedSteps / sizeof kLockedSteps[0];

// The result window's rectangle into shown, if there is a result window.
void SeeResultWindow(RECT* shown) {
  std::vector<HWND> windows = ThreadDialogs();
  if (!windows.empty()) GetWindowRect(windows[0], shown);
}

// A run for each step, in which the other host holds the lock over that step.
void TwoHosts() {
  for (int row = 0; row < kLockedStepCount; ++row) {
    PluginCopy plugin("two_hosts");
    const char* what = kLockedSteps[row].what;
    bool loaded = plugin.Load();
    ok(loaded, "loading %s failed", plugin.dll.c_str());
    if (!loaded) return;
    keeper = NULL;
    HookWait(plugin.module);
    HANDLE held = CreateEventW(NULL, FALSE, FALSE, LockName(plugin.wini, L".held").c_str());
    HANDLE exited = CreateEventW(NULL, FALSE, FALSE, LockName(plugin.wini, L".exited").c_str());
    waiting = CreateEventW(NULL, FALSE, FALSE, LockName(plugin.wini, L".waiting").c_str());
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(NULL, program, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(program) + L"\" other_host \"" + plugin.wdll +
                           L"\" " + std::to_wstring(row);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION other = {};
    for (const LockedStep& step : kLockedSteps) {
      if (&step != &kLockedSteps[row]) {
        step.drive(plugin);
        continue;
      }
      bool started = CreateProcessW(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                                    &other) != 0;
      ok(started, "%s: could not start the other host: %lu", what, GetLastError());
      HANDLE held_or_ended[] = {held, other.hProcess};
      bool torn =
          started && WaitForMultipleObjects(2, held_or_ended, FALSE, 30000) == WAIT_OBJECT_0;
      RECT shown = {};
      SeeResultWindow(&shown);
      step.drive(plugin);
      SeeResultWindow(&shown);
      SetEvent(waiting);  // also when the plug-in did not wait
      // Once the other host lets go, the file is finished.
      if (WaitForSingleObject(keeper, 30000) != WAIT_TIMEOUT) ReleaseMutex(keeper);
      if (torn) step.check(plugin, shown);
    }
    SetEvent(exited);
    DWORD failed = 1;
    WaitForSingleObject(other.hProcess, 30000);
    GetExitCodeProcess(other.hProcess, &failed);
    ok(failed == 0, "%s: the other host failed: %lu (%lu: it found the lock taken)", what, failed,
       kLockLeftHeld);
    for (HANDLE h : {keeper, held, exited, waiting, other.hThread, other.hProcess}) CloseHandle(h);
    HANDLE left = OpenMutexW(SYNCHRONIZE, FALSE, LockName(plugin.wini).c_str());
    ok(left == NULL, "%s: a handle on the lock was left open", what);
    if (left != NULL) CloseHandle(left);
  }
}

// The other host of two_hosts, on the copy named by its second argument, for the step its third
// argument numbers: it takes the lock before that step and after the plug-in's exit, and holds it
// over the step, leaving the file torn until the plug-in waits. Its exit code tells two_hosts how
// it went.
void OtherHost() {
  wchar_t ini[MAX_PATH];
  if (!DeriveIniPath(harness_dll.c_str(), ini, MAX_PATH)) ExitProcess(2);
  const int row = harness_args.size() > 3 ? _wtoi(harness_args[3].c_str()) : -1;
  if (row < 0 || row >= kLockedStepCount) ExitProcess(2);
  auto write = [&ini](const char* bytes) {
    FILE* file = _wfopen(ini, L"wb");
    if (file == NULL) ExitProcess(4);
    fwrite(bytes, 1, strlen(bytes), file);
    fclose(file);
  };
  auto event = [&ini](const wchar_t* suffix) {
    return CreateEventW(NULL, FALSE, FALSE, LockName(ini, suffix).c_str());
  };
  // The plug-in's earlier steps have let the lock go.
  HANDLE lock = CreateMutexW(NULL, FALSE, LockName(ini).c_str());
  if (WaitForSingleObject(lock, 0) != WAIT_OBJECT_0) ExitProcess(kLockLeftHeld);
  write(kLockedSteps[row].torn);
  SetEvent(event(L".held"));
  if (WaitForSingleObject(event(L".waiting"), 30000) != WAIT_OBJECT_0) ExitProcess(5);
  write(kLockedSteps[row].finished);
  ReleaseMutex(lock);
  // So has the rest of its run: a lock its thread kept would stay taken to any other thread.
  if (WaitForSingleObject(event(L".exited"), 30000) != WAIT_OBJECT_0) ExitProcess(5);
  if (WaitForSingleObject(lock, 0) != WAIT_OBJECT_0) ExitProcess(kLockLeftHeld);
  ReleaseMutex(lock);
  CloseHandle(lock);
}

const TestGroup kGroups[] = {
    {"renamed", RenamedModule}, {"two_hosts", TwoHosts},    {"other_host", OtherHost},
    {"files", Files},           {"unwritable", Unwritable}, {"folders", Folders},
};

}  // namespace

int main() { return plugin_test_main(kGroups, sizeof kGroups / sizeof kGroups[0]); }
