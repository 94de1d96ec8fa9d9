// StandinHost.exe: plays the mail client for a plug-in DLL. It loads the plug-in, starts it,
// opens the given messages one after another, may run its settings dialog, and tells on
// standard output what a user would have seen: boxes, the result window, pages opened.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "../src/entry/plugin_info.h"
#include "box_watch.h"
#include "command_line.h"
#include "dialog_script.h"
#include "host_api.h"
#include "host_output.h"
#include "message_pump.h"
#include "page_log.h"
#include "reporter.h"
#include "screen_facts.h"
#include "shot_folder.h"

namespace {

typedef int(WINAPI* NoArgs)();
typedef int(WINAPI* OneArg)(LPARAM);

// Looks an export up; FARPROC's own type says nothing of the arguments, hence the detour.
template <typename Function>
Function Export(HMODULE module, const char* name) {
  FARPROC found = GetProcAddress(module, name);
  Function function;
  static_assert(sizeof function == sizeof found, "function pointers of one size");
  memcpy(&function, &found, sizeof function);
  return function;
}

// Copies a fixed-width field of the information record, which need not hold a NUL.
template <size_t N>
std::string Field(const char (&field)[N]) {
  size_t n = 0;
  while (n < N && field[n] != '\0') ++n;
  return Utf8FromAnsi(std::string(field, n));
}

bool close_requested = false;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    close_requested = true;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The path made full against the current folder; empty when it cannot be.
std::wstring FullPath(const std::wstring& path) {
  DWORD size = GetFullPathNameW(path.c_str(), 0, NULL, NULL);
  if (size == 0) return std::wstring();
  std::wstring full(size, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), size, &full[0], NULL);
  if (length == 0 || length >= size) return std::wstring();
  full.resize(length);
  return full;
}

bool StdinIsConsole() {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  int status = ParseCommandLine(argc, argv, &options);
  if (status >= 0) return status;
  bool attended = options.attended >= 0 ? options.attended == 1 : StdinIsConsole();
  Shots shots;

  // Windows looks for a relative name in the program's folder first: the plug-in is named by
  // its full path, so that the file checked is the file loaded.
  std::wstring plugin_path = FullPath(options.plugin);
  std::string plugin_name = Utf8FromWide(plugin_path.empty() ? options.plugin : plugin_path);
  DWORD attributes = GetFileAttributesW(plugin_path.c_str());
  if (plugin_path.empty() || attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Fail(EXIT_PLUGIN, "no such plug-in file: " + plugin_name);
  }
  if (!options.shots.empty()) {
    CreateDirectoryW(options.shots.c_str(), NULL);
    DWORD a = GetFileAttributesW(options.shots.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) {
      return Fail(EXIT_USAGE, "cannot make the pictures folder: " + Utf8FromWide(options.shots));
    }
    shots.folder = options.shots;
    shots.saver.Start();  // a failure shows as pictures missing from the report
  }

  standin.version = options.host_version.c_str();
  std::string title = "Becky! " + options.host_version + " (stand-in host)";
  // Before the first window: Wine's helpers that it may start join the job from the outset.
  ChildWatch children;
  HWND main_window = CreateStandinMainWindow(title.c_str());
  Pump(100);
  PageLog pages;
  Reporter reporter(main_window, &pages, &shots);

  // Boxes are watched from before the load: a plug-in may refuse to load with a box.
  WatchBoxes();
  int box_delay = attended ? 500 : (shots.folder.empty() ? 0 : options.wait_ms + 200);
  SetBoxHandling(box_delay, !attended, shots.folder.empty() ? NULL : ShotOfBox, &shots);
  int dialog_pause = shots.folder.empty() ? 60 : options.wait_ms + 200;

  Say("host " + Utf8FromAnsi(title) + ", plug-in " + plugin_name +
      (attended ? " (attended)" : " (unattended)"));
  // What the result window's place and size depend on, since they differ among systems.
  const SIZE least = LeastWindowSize();
  Say("screen " + std::to_string(ScreenDpi()) + " dpi" +
      (DeclaredDpiAware() ? " (host DPI-aware)" : " (host not DPI-aware)") + ", windows at least " +
      std::to_string(least.cx) + "x" + std::to_string(least.cy));
  // The plug-in's own folder is searched for the DLLs it loads in turn.
  HMODULE plugin = LoadLibraryExW(plugin_path.c_str(), NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (plugin == NULL) {
    DWORD error = GetLastError();
    reporter.Report(false);
    return Fail(EXIT_PLUGIN,
                "the plug-in did not load (error " + std::to_string(error) + "): " + plugin_name);
  }
  NoArgs on_start = Export<NoArgs>(plugin, "BKC_OnStart");
  NoArgs on_exit = Export<NoArgs>(plugin, "BKC_OnExit");
  OneArg on_open_mail = Export<OneArg>(plugin, "BKC_OnOpenMail");
  OneArg on_setup = Export<OneArg>(plugin, "BKC_OnPlugInSetup");
  OneArg on_info = Export<OneArg>(plugin, "BKC_OnPlugInInfo");
  std::string missing;
  if (on_start == NULL) missing += " BKC_OnStart";
  if (on_exit == NULL) missing += " BKC_OnExit";
  if (on_open_mail == NULL) missing += " BKC_OnOpenMail";
  if (on_info == NULL) missing += " BKC_OnPlugInInfo";
  bool wants_setup = std::any_of(options.steps.begin(), options.steps.end(),
                                 [](const Step& s) { return s.setup; });
  if (on_setup == NULL && wants_setup) missing += " BKC_OnPlugInSetup";
  if (!missing.empty()) {
    FreeLibrary(plugin);
    return Fail(EXIT_PLUGIN, "not a Becky! plug-in (it lacks" + missing + "): " + plugin_name);
  }

  if (options.info) {
    PluginInfo record;
    memset(&record, 0, sizeof record);
    on_info(reinterpret_cast<LPARAM>(&record));
    Say("info name " + Quoted(Field(record.name)) + ", vendor " + Quoted(Field(record.vendor)) +
        ", version " + Quoted(Field(record.version)));
    Say("info description " + Quoted(Field(record.description)));
  }

  Say("start");
  on_start();
  Pump(options.wait_ms);
  reporter.Report(false);
  reporter.AnythingShown();

  int number = 0;
  // Time spent inside BKC_OnOpenMail, to tell the plug-in's share from the host's.
  LARGE_INTEGER called, returned;
  LONGLONG in_plugin = 0;
  for (const Step& step : options.steps) {
    if (step.setup) {
      Say("setup (" + step.script + ")");
      PrepareDialogScript(step.script, dialog_pause, &shots, !attended);
      int result = on_setup(reinterpret_cast<LPARAM>(main_window));
      for (const std::string& line : DialogScriptLines()) Say(line);
      Say("  returned " + std::to_string(result));
      Pump(options.wait_ms);
      reporter.Report(false);
      reporter.AnythingShown();
      continue;
    }
    const MailMessage& m = step.message;
    Say("message " + std::to_string(++number) + " " + m.label +
        "  X-Mailer: " + (m.has_xmailer ? Quoted(Utf8FromAnsi(m.xmailer)) : std::string("(none)")));
    standin.xmailer = m.has_xmailer ? m.xmailer.c_str() : NULL;
    children.Mark();
    QueryPerformanceCounter(&called);
    on_open_mail(reinterpret_cast<LPARAM>(m.label.c_str()));
    QueryPerformanceCounter(&returned);
    in_plugin += returned.QuadPart - called.QuadPart;
    Pump(options.wait_ms);
    children.WaitForNew();
    reporter.Report(true);
    if (!reporter.AnythingShown()) Say("  nothing shown");
  }

  if (attended && IsWindow(main_window)) {
    // A person may want to look at the result window before the host ends; as in the real
    // host, closing the main window ends the plug-in first, and only then the window.
    Say("close the host window to end");
    SetWindowLongPtrA(main_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MainWindowProc));
    while (!close_requested && IsWindow(main_window)) Pump(100);
  }
  Say("exit");
  on_exit();
  standin.xmailer = NULL;
  Pump(100);
  reporter.Report(false);
  FreeLibrary(plugin);
  StopWatchingBoxes();
  if (IsWindow(main_window)) DestroyWindow(main_window);
  Say("done");
  if (options.timing) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    char line[128];
    snprintf(line, sizeof line, "timing: %d messages, %.3f ms inside BKC_OnOpenMail", number,
             static_cast<double>(in_plugin) * 1000.0 / static_cast<double>(frequency.QuadPart));
    Say(line, STD_ERROR_HANDLE);
  }
  return EXIT_DONE;
}
