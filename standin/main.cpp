// StandinHost.exe: plays the mail client for a plug-in DLL. It loads the plug-in, starts it,
// opens the given messages one after another, may run its settings dialog, and tells on
// standard output what a user would have seen: boxes, the result window, pages opened.
#include <windows.h>
#include <tlhelp32.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "box_watch.h"
#include "host_api.h"
#include "message_file.h"
#include "screenshot.h"

namespace {

const char kUsage[] =
    "usage: StandinHost.exe [options] PLUGIN.dll [MESSAGE.eml | FOLDER]...\n"
    "Loads a Becky! plug-in into a stand-in host and opens the messages, in order.\n"
    "A FOLDER stands for all its *.eml files, by name.\n"
    "  --host-version V   the host's version (default 2.75.02)\n"
    "  --mailer VALUE     open a message whose X-Mailer is VALUE (may repeat; kept in\n"
    "                     order with the files)\n"
    "  --no-mailer        open a message that has no X-Mailer field\n"
    "  --setup[=SCRIPT]   open the plug-in's settings dialog at this point. Unattended,\n"
    "                     SCRIPT says what to do in it, comma-separated: always, warning\n"
    "                     (click that mode's radio button), ok, cancel (default: cancel)\n"
    "  --info             print the plug-in's information record\n"
    "  --unattended       close every box and dialog after it showed (the default when\n"
    "                     standard input is not a console)\n"
    "  --attended         leave boxes and dialogs for a person to close\n"
    "  --shots DIR        save each box, the result window after each message and the\n"
    "                     settings dialog as PNG files in DIR\n"
    "  --wait MS          how long to let windows paint after each message (default 300)\n"
    "  --help             this text\n"
    "Exit status: 0 done, 1 wrong usage, 2 a message file is missing or not a message,\n"
    "3 the plug-in is missing, refused to load or lacks the BKC_ functions.\n";

enum ExitCode { EXIT_DONE = 0, EXIT_USAGE = 1, EXIT_INPUT = 2, EXIT_PLUGIN = 3 };

typedef int(WINAPI* NoArgs)();
typedef int(WINAPI* OneArg)(LPARAM);

struct Step {
  bool setup;          // true: open the settings dialog; false: open the message
  std::string script;  // the dialog's script
  MailMessage message;
};

struct Options {
  std::string host_version = "2.75.02";
  std::string plugin;
  std::vector<Step> steps;
  bool info = false;
  int attended = -1;  // -1: decided by standard input
  std::string shots;
  int wait_ms = 300;
};

// ---- output: UTF-8 on a pipe or file, wide characters on a console -------------------------

std::string Utf8FromWide(const wchar_t* text, int length = -1) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, length, NULL, 0, NULL, NULL);
  if (size <= 0) return std::string();
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], size, NULL, NULL);
  if (length < 0 && !out.empty()) out.pop_back();  // the converted NUL
  return out;
}

// Window texts and file names come in the ANSI code page (932 in a Japanese session).
std::string Utf8FromAnsi(const std::string& text) {
  if (text.empty()) return text;
  int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
  if (size <= 0) return text;
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
  return Utf8FromWide(wide.data(), size);
}

// One line to standard output (or error): UTF-8 bytes to a pipe or file, UTF-16 to a console.
void Say(const std::string& utf8, DWORD which = STD_OUTPUT_HANDLE) {
  std::string line = utf8 + "\n";
  HANDLE out = GetStdHandle(which);
  DWORD mode;
  if (GetConsoleMode(out, &mode)) {
    int size = MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), NULL, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) {
      MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), &wide[0], size);
    }
    DWORD written;
    WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, NULL);
  } else {
    FILE* stream = which == STD_ERROR_HANDLE ? stderr : stdout;
    fwrite(line.data(), 1, line.size(), stream);
    fflush(stream);
  }
}

// Error texts name files and arguments, which come in the ANSI code page.
int Fail(ExitCode code, const std::string& message) {
  fflush(stdout);
  Say("StandinHost: " + Utf8FromAnsi(message), STD_ERROR_HANDLE);
  return code;
}

// Shows line breaks of a box text as " / ", so that one event stays on one line.
std::string OneLine(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    if (text[i] == '\n') {
      out += " / ";
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

// ---- messages ------------------------------------------------------------------------------

bool ReadWholeFile(const std::string& path, std::string* text) {
  FILE* file = fopen(path.c_str(), "rb");
  if (file == NULL) return false;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) text->append(buffer, n);
  fclose(file);
  return true;
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool EndsWithEml(const std::string& name) {
  return name.size() > 4 && lstrcmpiA(name.c_str() + name.size() - 4, ".eml") == 0;
}

// Adds the message in path, or every .eml message of the folder path; an error text on failure.
std::string AddMessages(const std::string& path, std::vector<Step>* steps) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return "no such file or folder: " + path;
  std::vector<std::string> files;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*.eml").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && EndsWithEml(found.cFileName)) {
          files.push_back(path + "\\" + found.cFileName);
        }
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    if (files.empty()) return "no .eml messages in folder: " + path;
    std::sort(files.begin(), files.end());
  } else {
    files.push_back(path);
  }
  for (const std::string& file : files) {
    std::string text;
    if (!ReadWholeFile(file, &text)) return "cannot read: " + file;
    Step step;
    step.setup = false;
    if (ParseMessage(text, &step.message) != MESSAGE_OK) {
      return "not a mail message (no header block): " + file;
    }
    step.message.label = BaseName(file);
    steps->push_back(step);
  }
  return std::string();
}

bool ValidScript(const std::string& script) {
  size_t pos = 0;
  while (pos <= script.size()) {
    size_t comma = script.find(',', pos);
    std::string word =
        script.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
    if (word != "ok" && word != "cancel" && word != "always" && word != "warning") return false;
    if (comma == std::string::npos) break;
    pos = comma + 1;
  }
  return true;
}

// Returns -1 when the command line is complete, or the exit status to end with.
int ParseCommandLine(int argc, char** argv, Options* options) {
  int inline_count = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](const char* name) -> const char* {
      if (i + 1 >= argc) {
        Fail(EXIT_USAGE, std::string(name) + " needs a value");
        return NULL;
      }
      return argv[++i];
    };
    if (arg == "--help" || arg == "-h" || arg == "/?") {
      Say(std::string(kUsage, sizeof kUsage - 2));  // Say ends the line itself
      return EXIT_DONE;
    } else if (arg == "--host-version") {
      const char* v = value("--host-version");
      if (v == NULL) return EXIT_USAGE;
      options->host_version = v;
    } else if (arg == "--mailer" || arg == "--no-mailer") {
      Step step;
      step.setup = false;
      step.message.has_xmailer = arg == "--mailer";
      if (step.message.has_xmailer) {
        const char* v = value("--mailer");
        if (v == NULL) return EXIT_USAGE;
        step.message.xmailer = v;
      }
      step.message.label = "(inline " + std::to_string(++inline_count) + ")";
      options->steps.push_back(step);
    } else if (arg == "--setup" || arg.compare(0, 8, "--setup=") == 0) {
      Step step;
      step.setup = true;
      step.script = arg.size() > 8 ? arg.substr(8) : "cancel";
      if (!ValidScript(step.script)) {
        return Fail(EXIT_USAGE, "unknown settings dialog script: " + step.script);
      }
      options->steps.push_back(step);
    } else if (arg == "--info") {
      options->info = true;
    } else if (arg == "--unattended") {
      options->attended = 0;
    } else if (arg == "--attended") {
      options->attended = 1;
    } else if (arg == "--shots") {
      const char* v = value("--shots");
      if (v == NULL) return EXIT_USAGE;
      options->shots = v;
    } else if (arg == "--wait") {
      const char* v = value("--wait");
      if (v == NULL) return EXIT_USAGE;
      options->wait_ms = atoi(v);
      if (options->wait_ms < 0 || options->wait_ms > 60000) {
        return Fail(EXIT_USAGE, "--wait takes 0 to 60000 milliseconds");
      }
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      return Fail(EXIT_USAGE, "unknown option " + arg + " (see --help)");
    } else if (options->plugin.empty()) {
      options->plugin = arg;
    } else {
      std::string error = AddMessages(arg, &options->steps);
      if (!error.empty()) return Fail(EXIT_INPUT, error);
    }
  }
  if (options->plugin.empty()) return Fail(EXIT_USAGE, "no plug-in given (see --help)");
  return -1;
}

// ---- the message loop, helper processes and the page log ----------------------------------

void Pump(int milliseconds) {
  DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    DWORD now = GetTickCount();
    if (static_cast<int>(end - now) <= 0) return;
    MsgWaitForMultipleObjects(0, NULL, FALSE, end - now, QS_ALLINPUT);
  }
}

// Processes this one started, such as the browser a plug-in opened (Wine's own helpers aside).
std::set<DWORD> ChildProcesses() {
  std::set<DWORD> children;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return children;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ParentProcessID != GetCurrentProcessId()) continue;
    if (lstrcmpiA(entry.szExeFile, "explorer.exe") == 0) continue;
    if (lstrcmpiA(entry.szExeFile, "conhost.exe") == 0) continue;
    children.insert(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return children;
}

// Lets the processes started since `before` finish (a few seconds at most), serving windows.
void WaitForNewChildren(const std::set<DWORD>& before) {
  DWORD deadline = GetTickCount() + 8000;
  for (DWORD pid : ChildProcesses()) {
    if (before.count(pid)) continue;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == NULL) continue;
    for (;;) {
      DWORD left = deadline - GetTickCount();
      if (static_cast<int>(left) <= 0) break;
      DWORD r = MsgWaitForMultipleObjects(1, &process, FALSE, left, QS_ALLINPUT);
      if (r != WAIT_OBJECT_0 + 1) break;
      Pump(0);
    }
    CloseHandle(process);
  }
}

class PageLog {
 public:
  PageLog() {
    char folder[MAX_PATH], file[MAX_PATH];
    DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder || !GetTempFileNameA(folder, "url", 0, file)) return;
    path_ = file;
    SetEnvironmentVariableA("VOSTREL_URL_LOG", file);  // read by the browser stand-in
  }
  ~PageLog() {
    if (!path_.empty()) DeleteFileA(path_.c_str());
  }
  // The addresses logged since the last call.
  std::vector<std::string> NewPages() {
    std::vector<std::string> pages;
    std::string text;
    if (path_.empty() || !ReadWholeFile(path_, &text) || text.size() <= read_) return pages;
    size_t pos = read_;
    size_t end;
    while ((end = text.find('\n', pos)) != std::string::npos) {
      std::string line = text.substr(pos, end - pos);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) pages.push_back(line);
      pos = end + 1;
    }
    read_ = pos;
    return pages;
  }

 private:
  std::string path_;
  size_t read_ = 0;
};

// ---- what the user sees -------------------------------------------------------------------

struct Shots {
  std::string folder;  // empty: no pictures
  int count = 0;
  std::map<HWND, std::string> of_box;  // pictures taken of boxes, not yet reported

  std::string Take(HWND window, const char* what) {
    if (folder.empty()) return std::string();
    char name[64];
    snprintf(name, sizeof name, "%02d-%s.png", count + 1, what);
    bool unix_style =
        folder.find('/') != std::string::npos && folder.find('\\') == std::string::npos;
    std::string path = folder + (unix_style ? "/" : "\\") + name;
    if (!SaveWindowShot(window, path)) return std::string();
    ++count;
    return path;
  }
};

Shots shots;

HWND FindResultWindow(HWND owner);

void ShotOfBox(HWND box, const SeenBox*, void*) {
  // The plug-in's result window may get activated too; it is pictured as the result instead.
  if (box == FindResultWindow(standin.main_window)) return;
  shots.of_box[box] = shots.Take(box, "box");
}

struct ResultSearch {
  HWND owner, found;
};

BOOL CALLBACK IsResultWindow(HWND window, LPARAM param) {
  ResultSearch* search = reinterpret_cast<ResultSearch*>(param);
  char name[16];
  if (GetWindow(window, GW_OWNER) == search->owner && GetClassNameA(window, name, sizeof name) &&
      strcmp(name, "#32770") == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The plug-in's own window: a dialog owned by the host's main window.
HWND FindResultWindow(HWND owner) {
  ResultSearch search = {owner, NULL};
  EnumThreadWindows(GetCurrentThreadId(), IsResultWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string WindowText(HWND window) {
  wchar_t text[512];
  int n = GetWindowTextW(window, text, 512);
  return n > 0 ? Utf8FromWide(text, n) : std::string();
}

class Reporter {
 public:
  Reporter(HWND main_window, PageLog* pages) : main_(main_window), pages_(pages) {}

  // Everything that showed since the last report; the result window after a message even when
  // it did not change, otherwise only when it did.
  void Report(bool after_message) {
    if (result_ == NULL) result_ = FindResultWindow(main_);
    for (int i = reported_boxes_; i < SeenBoxCount(); ++i) {
      const SeenBox* box = SeenBoxAt(i);
      if (box->window != NULL && box->window == result_) continue;  // activated, not a box
      std::string line = "  box " + Quoted(Utf8FromAnsi(box->caption));
      if (box->text[0] != '\0') line += ": " + OneLine(Utf8FromAnsi(box->text));
      line += box->owner == NULL ? "  (no owner)" : "  (owned)";
      Say(line);
      auto shot = shots.of_box.find(box->window);
      if (shot != shots.of_box.end() && !shot->second.empty()) Say("  shot " + shot->second);
      ++shown_;
    }
    reported_boxes_ = SeenBoxCount();
    shots.of_box.clear();
    for (const std::string& page : pages_->NewPages()) {
      Say("  page opened: " + page);
      ++shown_;
    }
    if (result_ != NULL && IsWindow(result_)) {
      bool visible = IsWindowVisible(result_) != 0;
      std::string caption = WindowText(result_);
      bool changed = visible != last_visible_ || caption != last_caption_;
      if ((after_message && visible) || changed) {
        RECT r;
        GetWindowRect(result_, &r);
        char place[96];
        snprintf(place, sizeof place, " at %ld,%ld size %ldx%ld", r.left, r.top, r.right - r.left,
                 r.bottom - r.top);
        Say("  result window " + Quoted(caption) +
            (visible ? " shown" + std::string(place) : " hidden"));
        last_visible_ = visible;
        last_caption_ = caption;
        ++shown_;
      }
      if (visible && (after_message || changed)) {
        std::string shot = shots.Take(result_, "result");
        if (!shot.empty()) Say("  shot " + shot);
      }
    }
  }
  // Whether anything showed since the last call.
  bool AnythingShown() {
    bool any = shown_ > 0;
    shown_ = 0;
    return any;
  }

 private:
  HWND main_;
  PageLog* pages_;
  HWND result_ = NULL;
  int reported_boxes_ = 0;
  int shown_ = 0;
  bool last_visible_ = false;
  std::string last_caption_;
};

// ---- the settings dialog, driven by a script ----------------------------------------------

struct DialogRun {
  std::vector<std::string> words;
  size_t next = 0;
  int pause_ms = 60;
  std::vector<std::string> lines;  // reported once the dialog has closed
  HWND dialog = NULL;
};

DialogRun dialog_run;

// The dialog's radio buttons and check boxes, as a user would read them.
std::string DescribeControls(HWND dialog) {
  std::string text;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != NULL;
       child = GetWindow(child, GW_HWNDNEXT)) {
    char name[16];
    if (!GetClassNameA(child, name, sizeof name) || lstrcmpiA(name, "Button") != 0) continue;
    LONG type = GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
    bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    bool check = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                 type == BS_AUTO3STATE;
    if (!radio && !check) continue;
    bool on = SendMessageA(child, BM_GETCHECK, 0, 0) != BST_UNCHECKED;
    text += radio ? (on ? " (o) " : " ( ) ") : (on ? " [x] " : " [ ] ");
    text += WindowText(child);
    if (!IsWindowEnabled(child)) text += " (greyed)";
    text += ";";
  }
  return text;
}

void NoteDialog(HWND dialog, const char* when) {
  dialog_run.lines.push_back("  dialog " + Quoted(WindowText(dialog)) + " " + when + ":" +
                             DescribeControls(dialog));
  std::string shot = shots.Take(dialog, "setup");
  if (!shot.empty()) dialog_run.lines.push_back("  shot " + shot);
}

void CALLBACK DialogStep(HWND, UINT, UINT_PTR timer, DWORD);

void CALLBACK LookAfterClick(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(NULL, timer);
  if (!IsWindow(dialog_run.dialog)) return;
  NoteDialog(dialog_run.dialog, "after the click");
  SetTimer(NULL, 0, 10, DialogStep);
}

void CALLBACK LookFirst(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(NULL, timer);
  if (!IsWindow(dialog_run.dialog)) return;
  NoteDialog(dialog_run.dialog, "shows");
  SetTimer(NULL, 0, 10, DialogStep);
}

void CALLBACK DialogStep(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(NULL, timer);
  HWND dialog = dialog_run.dialog;
  if (!IsWindow(dialog)) return;
  if (dialog_run.next >= dialog_run.words.size()) {
    // The script ran out without closing: a user would have pressed Cancel.
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  const std::string& word = dialog_run.words[dialog_run.next++];
  int id = word == "ok" ? IDOK : word == "cancel" ? IDCANCEL : word == "always" ? 1004 : 1003;
  HWND control = GetDlgItem(dialog, id);
  dialog_run.lines.push_back("  click " + (control ? Quoted(WindowText(control)) : word));
  if (control != NULL && IsWindowEnabled(control)) {
    SendMessageA(control, BM_CLICK, 0, 0);
  } else {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
  }
  if (id == IDOK || id == IDCANCEL) return;
  // Let the change paint, then look again.
  SetTimer(NULL, 0, static_cast<UINT>(dialog_run.pause_ms), LookAfterClick);
}

void StartDialogScript(HWND dialog, void*) {
  dialog_run.dialog = dialog;
  // Give the dialog time to paint before it is looked at.
  SetTimer(NULL, 0, static_cast<UINT>(dialog_run.pause_ms), LookFirst);
}

std::vector<std::string> SplitWords(const std::string& script) {
  std::vector<std::string> words;
  size_t pos = 0;
  for (;;) {
    size_t comma = script.find(',', pos);
    words.push_back(
        script.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
    if (comma == std::string::npos) return words;
    pos = comma + 1;
  }
}

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
std::string Field(const char* record, size_t offset, size_t width) {
  const char* start = record + offset;
  size_t n = 0;
  while (n < width && start[n] != '\0') ++n;
  return Utf8FromAnsi(std::string(start, n));
}

bool close_requested = false;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    close_requested = true;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool StdinIsConsole() {
  DWORD mode;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  int status = ParseCommandLine(argc, argv, &options);
  if (status >= 0) return status;
  bool attended = options.attended >= 0 ? options.attended == 1 : StdinIsConsole();

  DWORD attributes = GetFileAttributesA(options.plugin.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Fail(EXIT_PLUGIN, "no such plug-in file: " + options.plugin);
  }
  if (!options.shots.empty()) {
    CreateDirectoryA(options.shots.c_str(), NULL);
    DWORD a = GetFileAttributesA(options.shots.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY)) {
      return Fail(EXIT_USAGE, "cannot make the pictures folder: " + options.shots);
    }
    shots.folder = options.shots;
  }

  standin.version = options.host_version.c_str();
  std::string title = "Becky! " + options.host_version + " (stand-in host)";
  HWND main_window = CreateStandinMainWindow(title.c_str());
  Pump(100);
  PageLog pages;
  Reporter reporter(main_window, &pages);

  // Boxes are watched from before the load: a plug-in may refuse to load with a box.
  WatchBoxes();
  int box_delay = attended ? 500 : (shots.folder.empty() ? 0 : options.wait_ms + 200);
  SetBoxHandling(box_delay, !attended, shots.folder.empty() ? NULL : ShotOfBox, NULL);
  dialog_run.pause_ms = shots.folder.empty() ? 60 : options.wait_ms + 200;

  Say("host " + Utf8FromAnsi(title) + ", plug-in " + Utf8FromAnsi(options.plugin) +
      (attended ? " (attended)" : " (unattended)"));
  HMODULE plugin = LoadLibraryA(options.plugin.c_str());
  if (plugin == NULL) {
    DWORD error = GetLastError();
    reporter.Report(false);
    return Fail(EXIT_PLUGIN, "the plug-in did not load (error " + std::to_string(error) +
                                 "): " + options.plugin);
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
    return Fail(EXIT_PLUGIN, "not a Becky! plug-in (it lacks" + missing + "): " + options.plugin);
  }

  if (options.info) {
    char record[496];
    memset(record, 0, sizeof record);
    on_info(reinterpret_cast<LPARAM>(record));
    Say("info name " + Quoted(Field(record, 0, 80)) + ", vendor " + Quoted(Field(record, 80, 80)) +
        ", version " + Quoted(Field(record, 160, 80)));
    Say("info description " + Quoted(Field(record, 240, 256)));
  }

  Say("start");
  on_start();
  Pump(options.wait_ms);
  reporter.Report(false);
  reporter.AnythingShown();

  int number = 0;
  for (const Step& step : options.steps) {
    if (step.setup) {
      Say("setup (" + step.script + ")");
      dialog_run = DialogRun();
      dialog_run.pause_ms = shots.folder.empty() ? 60 : options.wait_ms + 200;
      dialog_run.words = SplitWords(step.script);
      if (!attended) ScriptNextDialog(StartDialogScript, NULL);
      int result = on_setup(reinterpret_cast<LPARAM>(main_window));
      for (const std::string& line : dialog_run.lines) Say(line);
      Say("  returned " + std::to_string(result));
      Pump(options.wait_ms);
      reporter.Report(false);
      reporter.AnythingShown();
      continue;
    }
    const MailMessage& m = step.message;
    Say("message " + std::to_string(++number) + " " + Utf8FromAnsi(m.label) +
        "  X-Mailer: " + (m.has_xmailer ? Quoted(Utf8FromAnsi(m.xmailer)) : std::string("(none)")));
    standin.xmailer = m.has_xmailer ? m.xmailer.c_str() : NULL;
    std::set<DWORD> children = ChildProcesses();
    on_open_mail(reinterpret_cast<LPARAM>(m.label.c_str()));
    Pump(options.wait_ms);
    WaitForNewChildren(children);
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
  return EXIT_DONE;
}
