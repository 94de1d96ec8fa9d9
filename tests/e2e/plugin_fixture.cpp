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

// Stands in for ShellExecuteA in the plug-in's imports, so that no page reaches a user's browser.
// The shell opens a web address for the open verb, or for none, which means it; any other verb
// is a fault wherever it comes.
HINSTANCE WINAPI RecordPage(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT) {
  const bool opens = verb == NULL || *verb == '\0' || lstrcmpiA(verb, "open") == 0;
  ok(opens, "the shell was asked to %s %s", opens ? "" : verb, file == NULL ? "(null)" : file);
  if (opens) opened_pages.push_back(file == NULL ? "" : file);
  return reinterpret_cast<HINSTANCE>(opens ? 33 : SE_ERR_NOASSOC);  // above 32: done
}

}  // namespace

std::vector<std::string> opened_pages;

int PatchImports(HMODULE module, void* from, void* to) {
  BYTE* base = reinterpret_cast<BYTE*>(module);
  LONG header = reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew;
  const IMAGE_DATA_DIRECTORY& table = reinterpret_cast<IMAGE_NT_HEADERS*>(base + header)
                                          ->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
  void** slots = reinterpret_cast<void**>(base + table.VirtualAddress);
  int changed = 0;
  for (DWORD i = 0; i < table.Size / sizeof *slots; ++i) {
    if (slots[i] != from) continue;
    DWORD was;  // the loader leaves the table read-only
    if (!VirtualProtect(slots + i, sizeof *slots, PAGE_READWRITE, &was)) return -1;
    slots[i] = to;
    if (!VirtualProtect(slots + i, sizeof *slots, was, &was)) return -1;
    ++changed;
  }
  return changed;
}

PluginCopy::PluginCopy(const char* tag, const wchar_t* dll_name, const std::wstring& subfolder) {
  static int copies = 0;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  char name[MAX_PATH];
  // Of one length for a tag in one run, so that a test can make a path of an exact length.
  snprintf(name, sizeof name, "vostrel_%s_%08lX_%04d", tag, GetCurrentProcessId(), ++copies);
  dir = temp + std::wstring(name, name + strlen(name));
  RemoveTree(L"\\\\?\\" + dir);
  CreateDirectoryW(dir.c_str(), NULL);
  std::wstring folder = dir;
  for (size_t at = 0; at < subfolder.size();) {  // each level of a nested subfolder in turn
    size_t end = subfolder.find(L'\\', at);
    if (end == std::wstring::npos) end = subfolder.size();
    folder += L"\\" + subfolder.substr(at, end - at);
    CreateDirectoryW(LongForm(folder).c_str(), NULL);
    at = end + 1;
  }
  wdll = folder + L"\\" + dll_name;
  wini = wdll.substr(0, wdll.rfind(L'.')) + L".ini";
  dll = AnsiFromWide(wdll);
  ini = AnsiFromWide(wini);
  BOOL copied = CopyFileW(harness_dll.c_str(), LongForm(wdll).c_str(), FALSE);
  DWORD error = GetLastError();
  ok(copied, "copying %s to %s failed: %lu", Utf8FromWide(harness_dll).c_str(),
     Utf8FromWide(wdll).c_str(), error);
  opened_pages.clear();
}

PluginCopy::~PluginCopy() {
  Unload();
  RemoveTree(L"\\\\?\\" + dir);  // what it holds may be nested beyond MAX_PATH
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
  const int slots_recorded = PatchImports(module, reinterpret_cast<void*>(ShellExecuteA),
                                          reinterpret_cast<void*>(RecordPage));
  recorded = slots_recorded > 0;
  if (slots_recorded < 0) ok(false, "%s: its imports could not be made writable", dll.c_str());
  if (slots_recorded == 0) skip("%s imports no ShellExecuteA to record its pages by", dll.c_str());
  if (!recorded) Unload();
  return recorded && exports_complete;
}

void PluginCopy::Unload() {
  // A module the host let go itself may be unmapped; one kept by its box keeps the recorder.
  if (module != NULL && recorded)
    PatchImports(module, reinterpret_cast<void*>(RecordPage),
                 reinterpret_cast<void*>(ShellExecuteA));
  recorded = false;
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

int plugin_test_main(const TestGroup* groups, int count) {
  // A host that is not DPI-aware would be told 96 on any screen. A run named for a code page or
  // a DPI proves nothing in another: it runs only where the system has it.
  if (GetACP() != ExpectedCodePage() || ScreenDpi() != ExpectedDpi()) {
    skip("needs code page %u at %d dpi, the system has %u at %d", ExpectedCodePage(), ExpectedDpi(),
         GetACP(), ScreenDpi());
    return harness_summary(true);
  }
  // Declared, and honoured: else the system tells the host, and the plug-in, 96 at any DPI.
  ok(DeclaredDpiAware(), "the host's manifest does not declare it DPI-aware");
  ok(IsProcessDPIAware(), "the system did not make the host DPI-aware");
  CreateStandinMainWindow("Becky! stand-in");
  Pump(0);
  WatchBoxes();
  return harness_dll_main(groups, count);
}
