// Command-line parsing for the stand-in host; message files are read and checked here, up front.
#include "command_line.h"

#include <windows.h>

#include <stdlib.h>

#include <algorithm>

#include "host_output.h"

namespace {

const char kUsage[] =
    "usage: StandinHost.exe [options] PLUGIN.dll [MESSAGE.eml | FOLDER]...\n"
    "Loads a Becky! plug-in into a stand-in host and opens the messages, in order.\n"
    "A FOLDER stands for all its *.eml files, by name.\n"
    "  --host-version V   the host's version (default " STANDIN_DEFAULT_VERSION
    ")\n"
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
    "  --timing           at the end, tell on standard error how long the plug-in took\n"
    "                     over all messages\n"
    "  --help             this text\n"
    "Exit status: 0 done, 1 wrong usage, 2 a message file is missing or not a message,\n"
    "3 the plug-in is missing, refused to load or lacks the BKC_ functions.\n";

std::wstring BaseName(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool EndsWithEml(const std::wstring& name) {
  return name.size() > 4 && lstrcmpiW(name.c_str() + name.size() - 4, L".eml") == 0;
}

// Adds the message in path, or every .eml message of the folder path; an error text on failure.
std::string AddMessages(const std::wstring& path, std::vector<Step>* steps) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return "no such file or folder: " + Utf8FromWide(path);
  }
  std::vector<std::wstring> files;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*.eml").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && EndsWithEml(found.cFileName)) {
          files.push_back(path + L"\\" + found.cFileName);
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    if (files.empty()) return "no .eml messages in folder: " + Utf8FromWide(path);
    std::sort(files.begin(), files.end());
  } else {
    files.push_back(path);
  }
  for (const std::wstring& file : files) {
    std::string text;
    if (!ReadAndClose(_wfopen(file.c_str(), L"rb"), &text)) {
      return "cannot read: " + Utf8FromWide(file);
    }
    Step step;
    step.setup = false;
    if (ParseMessage(text, &step.message) != MESSAGE_OK) {
      return "not a mail message (no header block): " + Utf8FromWide(file);
    }
    step.message.label = Utf8FromWide(BaseName(file));
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

}  // namespace

int ParseCommandLine(int argc, wchar_t** argv, Options* options) {
  int inline_count = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = Utf8FromWide(argv[i]);
    auto value = [&](const char* name) -> const wchar_t* {
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
      const wchar_t* v = value("--host-version");
      if (v == NULL) return EXIT_USAGE;
      options->host_version = AnsiFromWide(v);
    } else if (arg == "--mailer" || arg == "--no-mailer") {
      Step step;
      step.setup = false;
      step.message.has_xmailer = arg == "--mailer";
      if (step.message.has_xmailer) {
        const wchar_t* v = value("--mailer");
        if (v == NULL) return EXIT_USAGE;
        step.message.xmailer = AnsiFromWide(v);
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
    } else if (arg == "--timing") {
      options->timing = true;
    } else if (arg == "--shots") {
      const wchar_t* v = value("--shots");
      if (v == NULL) return EXIT_USAGE;
      options->shots = v;
    } else if (arg == "--wait") {
      const wchar_t* v = value("--wait");
      if (v == NULL) return EXIT_USAGE;
      options->wait_ms = _wtoi(v);
      if (options->wait_ms < 0 || options->wait_ms > 60000) {
        return Fail(EXIT_USAGE, "--wait takes 0 to 60000 milliseconds");
      }
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      return Fail(EXIT_USAGE, "unknown option " + arg + " (see --help)");
    } else if (options->plugin.empty()) {
      options->plugin = argv[i];
    } else {
      std::string error = AddMessages(argv[i], &options->steps);
      if (!error.empty()) return Fail(EXIT_INPUT, error);
    }
  }
  if (options->plugin.empty()) return Fail(EXIT_USAGE, "no plug-in given (see --help)");
  return -1;
}
