// A private copy of the built plug-in for one test group: its own temporary folder (the
// settings file is written beside the module), its exports and its settings file; and the web
// pages it asked the shell to open. The test executable itself is the host.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "../../res/resource.h"
#include "../../src/host/web_addresses.h"
#include "../../standin/box_watch.h"
#include "../../standin/host_api.h"
#include "../../standin/host_output.h"
#include "../../standin/message_file.h"
#include "../../standin/message_pump.h"
#include "../../standin/screen_facts.h"
#include "../harness/export_table.h"
#include "../harness/harness.h"

struct PluginExports {
  int(WINAPI* OnStart)();
  int(WINAPI* OnExit)();
  int(WINAPI* OnMenuInit)(LPARAM, LPARAM, LPARAM);
  int(WINAPI* OnOpenFolder)(LPARAM);
  int(WINAPI* OnOpenMail)(LPARAM);
  int(WINAPI* OnEveryMinute)();
  int(WINAPI* OnOpenCompose)(LPARAM, LPARAM);
  int(WINAPI* OnOutgoing)(LPARAM, LPARAM);
  int(WINAPI* OnKeyDispatch)(LPARAM, LPARAM, LPARAM);
  int(WINAPI* OnRetrieve)(LPARAM, LPARAM);
  int(WINAPI* OnSend)(LPARAM);
  int(WINAPI* OnFinishRetrieve)(LPARAM);
  int(WINAPI* OnPlugInSetup)(HWND);
  int(WINAPI* OnPlugInInfo)(void*);
  int(WINAPI* OnDragDrop)(LPARAM, LPARAM, LPARAM, LPARAM);
};

class PluginCopy {
 public:
  // Makes a fresh folder named after tag and copies the built module into it as dll_name, or
  // into its subfolder (which may be named in any script, or nested deep) when one is given.
  // Each copy has a folder of its own: a module pinned by its box stays mapped at its path.
  explicit PluginCopy(const char* tag, const wchar_t* dll_name = L"Vostrel.dll",
                      const std::wstring& subfolder = std::wstring());
  ~PluginCopy();  // unloads the module and removes the folder with all it holds

  bool Load();    // LoadLibrary and look up the exports; false if the load was refused
  void Unload();  // FreeLibrary: the next Load starts with fresh module state
  // Load, then BKC_OnStart; the settings file (if any) must be in place before.
  bool Start();

  void WriteIni(const std::string& bytes) const;
  bool ReadIni(std::string* bytes) const;  // false when there is no such file
  // A value through the profile functions, "<absent>" when the file or key is missing.
  std::string IniValue(const char* section, const char* key) const;

  std::wstring dir, wdll, wini;
  std::string dll, ini;  // in the ANSI code page: '?' for what it lacks
  HMODULE module = NULL;
  bool recorded = false;  // the module's imports of ShellExecuteA go to the recorder
  PluginExports bkc = {};
  bool exports_complete = false;
};

// The web pages the plug-in asked the shell to open since the latest copy was made.
extern std::vector<std::string> opened_pages;

// Points every slot of the module's import address table that holds from at to: how many it
// changed, or -1 when the system would not make one writable.
int PatchImports(HMODULE module, void* from, void* to);

// The plug-in's dialogs (class #32770) that are top-level windows of this thread.
std::vector<HWND> ThreadDialogs();
// Top-level windows of this thread of any class.
int ThreadWindowCount();
// "left,top widthxheight", for failure messages.
std::string RectText(const RECT& r);
// Shows bytes readably in a failure message.
std::string Printable(const std::string& bytes);

// The ANSI code page and the screen's DPI the run is named for: VOSTREL_CODE_PAGE and
// VOSTREL_DPI, else what the system has.
unsigned ExpectedCodePage();
int ExpectedDpi();

// The size the plug-in asks for its result window when none is stored, at ExpectedDpi().
SIZE DefaultSize();
// Where a window with a caption and a sizing border ends up when placed at left, top with the
// given size: the system makes it no smaller than its least tracking size, which differs from
// one system and DPI to another.
RECT PlacedRect(int left, int top, int width, int height);

// Plays the host for the test groups: the first argument names the group, the second is the
// built Vostrel.dll. Checks first that the run has the code page and DPI it is named for.
int plugin_test_main(const TestGroup* groups, int count);
