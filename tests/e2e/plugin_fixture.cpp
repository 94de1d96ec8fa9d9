// Private plug-in copies, window lookups and the host's main for the plug-in tests.
#include "plugin_fixture.h"

#include <stdio.h>
#include <stdlib.h>

namespace {

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = dir + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(dir.c_str());
}

// Windows takes a path of MAX_PATH characters or more only in its \\?\ form (a full path).
std::wstring LongForm(const std::wstring& path) {
  return path.size() < MAX_PATH ? path : L"\\\\?\\" + path;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The log of the latest copy made.
std::string page_log;

// Stands in for ShellExecuteA in the plug-in's imports, so that no page reaches a user's
// browser: logs what the open verb (or none, which means it) would hand the browser.
HINSTANCE WINAPI RecordPage(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT) {
  FILE* log = verb == NULL || lstrcmpiA(verb, "open") == 0 ? fopen(page_log.c_str(), "ab") : NULL;
  if (log == NULL) return reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
  fprintf(log, "%s\n", file);
  fclose(log);
  return reinterpret_cast<HINSTANCE>(33);  // above 32: done
}

// Points the first of count import slots that holds from at to (the loader leaves them
// read-only), and returns it; NULL when none holds from.
void** Redirect(void** slots, size_t count, void* from, void* to) {
  for (size_t i = 0; i < count; ++i) {
    if (slots[i] != from) continue;
    DWORD was;
    VirtualProtect(slots + i, sizeof *slots, PAGE_READWRITE, &was);
    slots[i] = to;
    VirtualProtect(slots + i, sizeof *slots, was, &was);
    return slots + i;
  }
  return NULL;
}

}  // namespace

std::wstring WideFromAnsi(const std::string& ansi) {
  wchar_t text[MAX_PATH];
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, text, MAX_PATH);
  return n > 0 ? text : L"";
}

PluginCopy::PluginCopy(const char* tag, const char* dll_name, const std::wstring& subfolder) {
  static int copies = 0;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  char name[MAX_PATH];
  // Of one length for a tag in one run, so that a test can make a path of an exact length.
  snprintf(name, sizeof name, "%svostrel_%s_%08lX_%04d", temp, tag, GetCurrentProcessId(),
           ++copies);
  dir = name;
  RemoveTree(L"\\\\?\\" + WideFromAnsi(dir));
  CreateDirectoryA(dir.c_str(), NULL);
  std::wstring folder = WideFromAnsi(dir);
  for (size_t at = 0; at < subfolder.size();) {  // each level of a nested subfolder in turn
    size_t end = subfolder.find(L'\\', at);
    if (end == std::wstring::npos) end = subfolder.size();
    folder += L"\\" + subfolder.substr(at, end - at);
    CreateDirectoryW(LongForm(folder).c_str(), NULL);
    at = end + 1;
  }
  wdll = folder + L"\\" + WideFromAnsi(dll_name);
  wini = wdll.substr(0, wdll.rfind(L'.')) + L".ini";
  dll = AnsiFromWide(wdll);
  ini = AnsiFromWide(wini);
  url_log = dir + "\\urls.log";
  ok(CopyFileW(WideFromAnsi(harness_dll).c_str(), LongForm(wdll).c_str(), FALSE) != 0,
     "copying %s to %s failed: %lu", harness_dll.c_str(), dll.c_str(), GetLastError());
  page_log = url_log;
}

PluginCopy::~PluginCopy() {
  Unload();
  RemoveTree(L"\\\\?\\" + WideFromAnsi(dir));  // what it holds may be nested beyond MAX_PATH
}

bool PluginCopy::Load() {
  Unload();
  module = LoadLibraryW(LongForm(wdll).c_str());
  if (module == NULL) return false;
  void** slots = reinterpret_cast<void**>(&bkc);
  exports_complete = true;
  for (int i = 0; i < kExportCount; ++i) {
    slots[i] = reinterpret_cast<void*>(GetProcAddress(module, kExportTable[i].name));
    exports_complete = exports_complete && slots[i] != NULL;
  }
  // Every page the plug-in asks for goes to the recorder: without one it does not run.
  BYTE* base = reinterpret_cast<BYTE*>(module);
  const IMAGE_DATA_DIRECTORY& iat = reinterpret_cast<IMAGE_NT_HEADERS*>(
                                        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew)
                                        ->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
  shell_slot =
      Redirect(reinterpret_cast<void**>(base + iat.VirtualAddress), iat.Size / sizeof(void*),
               reinterpret_cast<void*>(ShellExecuteA), reinterpret_cast<void*>(RecordPage));
  if (shell_slot == NULL) {
    skip("%s imports no ShellExecuteA to record its pages by", dll.c_str());
    Unload();
    return false;
  }
  return exports_complete;
}

void PluginCopy::Unload() {
  // A module the host let go itself may be unmapped; one kept by its box keeps the recorder.
  if (module != NULL && shell_slot != NULL)
    Redirect(shell_slot, 1, reinterpret_cast<void*>(RecordPage),
             reinterpret_cast<void*>(ShellExecuteA));
  shell_slot = NULL;
  if (module != NULL) FreeLibrary(module);
  module = NULL;
  bkc = PluginExports();
  exports_complete = false;
}

bool PluginCopy::Start() {
  bool loaded = Load();
  ok(loaded, "loading %s failed (error %lu)", dll.c_str(), GetLastError());
  if (!loaded) return false;
  int result = bkc.OnStart();
  ok(result == 0, "BKC_OnStart: expected 0, got %d", result);
  return true;
}

void PluginCopy::WriteIni(const std::string& bytes) const {
  SetFileAttributesW(LongForm(wini).c_str(), FILE_ATTRIBUTE_NORMAL);
  FILE* file = _wfopen(LongForm(wini).c_str(), L"wb");
  ok(file != NULL, "cannot write %s", ini.c_str());
  if (file == NULL) return;
  fwrite(bytes.data(), 1, bytes.size(), file);
  fclose(file);
}

bool PluginCopy::ReadIni(std::string* bytes) const {
  bytes->clear();
  return ReadAndClose(_wfopen(LongForm(wini).c_str(), L"rb"), bytes);
}

std::string PluginCopy::IniValue(const char* section, const char* key) const {
  char value[256];
  GetPrivateProfileStringA(section, key, "<absent>", value, sizeof value, ini.c_str());
  return value;
}

std::vector<std::string> PluginCopy::Urls() const {
  std::vector<std::string> lines;
  FILE* file = fopen(url_log.c_str(), "rb");
  if (file == NULL) return lines;
  char line[1024];
  while (fgets(line, sizeof line, file) != NULL) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    lines.push_back(text);
  }
  fclose(file);
  return lines;
}

std::vector<HWND> ThreadDialogs() {
  std::vector<HWND> dialogs;
  for (HWND window : ThreadWindows()) {
    char name[16];
    if (GetClassNameA(window, name, sizeof name) > 0 && strcmp(name, "#32770") == 0) {
      dialogs.push_back(window);
    }
  }
  return dialogs;
}

int ThreadWindowCount() { return static_cast<int>(ThreadWindows().size()); }

std::string RectText(const RECT& r) {
  char text[96];
  snprintf(text, sizeof text, "%ld,%ld %ldx%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return text;
}

std::string Printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

unsigned ExpectedCodePage() {
  const char* named = getenv("VOSTREL_CODE_PAGE");
  return named != NULL ? static_cast<unsigned>(atoi(named)) : GetACP();
}

int ExpectedDpi() {
  const char* named = getenv("VOSTREL_DPI");
  return named != NULL ? atoi(named) : ScreenDpi();
}

SIZE DefaultSize() {
  // 250x27 at 96 dots per inch, to the nearest pixel as the system rounds it, at any DPI.
  return {MulDiv(250, ExpectedDpi(), 96), MulDiv(27, ExpectedDpi(), 96)};
}

RECT PlacedRect(int left, int top, int width, int height) {
  const SIZE least = LeastWindowSize();
  return {left, top, left + (width > least.cx ? width : least.cx),
          top + (height > least.cy ? height : least.cy)};
}

int plugin_test_main(int argc, char** argv, const TestGroup* groups, int count) {
  // A host that is not DPI-aware would be told 96 on any screen. A run named for a code page or
  // a DPI proves nothing in another: it runs only where the system has it.
  if (GetACP() != ExpectedCodePage() || ScreenDpi() != ExpectedDpi()) {
    skip("needs code page %u at %d dpi, the system has %u at %d", ExpectedCodePage(), ExpectedDpi(),
         GetACP(), ScreenDpi());
    return harness_summary(true);
  }
  ok(DeclaredDpiAware(), "the host's manifest does not declare it DPI-aware");
  ok(IsValidCodePage(932), "code page 932, that of the plug-in's texts, is not installed");
  HDC screen = GetDC(NULL);  // the plug-in scales both ways by the DPI down the screen
  ok(GetDeviceCaps(screen, LOGPIXELSX) == ScreenDpi(), "the DPI across is not %d", ScreenDpi());
  ReleaseDC(NULL, screen);
  CreateStandinMainWindow("Becky! stand-in");
  Pump(0);
  WatchBoxes();
  return harness_dll_main(argc, argv, groups, count);
}
