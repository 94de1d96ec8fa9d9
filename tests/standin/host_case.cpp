// One case of the stand-in host's command line: prepares a folder with a fresh copy of the
// plug-in, runs the host from that folder and checks its exit status and transcript (--reject RE
// is --count 0 RE).
//   host_case --work DIR --pages LOGGER [--dll DLL] [--ini TEXT] [--copy FILE PATH]... --status N
//             [--expect RE | --reject RE | --count N RE]... -- COMMAND ARGS...
// --copy puts FILE at PATH inside the folder; an option it does not know is a usage error (2); in
// COMMAND ARGS, @PLUGIN@ stands for the copied plug-in and @WORK@ for the folder. The host opens
// pages through the shell, which must hand them to LOGGER, the browser stand-in: with any other
// http or https handler the case skips, as a real browser could start.
#include <windows.h>
#include <shlwapi.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "../../standin/host_output.h"
#include "../harness/harness.h"

namespace fs = std::filesystem;

namespace {

std::wstring FullPath(const wchar_t* path) {
  wchar_t full[MAX_PATH * 4], exe[MAX_PATH * 4];
  DWORD n = MAX_PATH * 4;
  // A scheme (no path) stands for the program that opens its addresses, as the shell finds it.
  if (!wcschr(path, L'\\') && !wcschr(path, L'/')) {
    if (AssocQueryStringW(0, ASSOCSTR_EXECUTABLE, path, L"open", exe, &n) != S_OK) return L"";
    path = exe;
  }
  n = GetFullPathNameW(path, MAX_PATH * 4, full, NULL);
  return n > 0 && n < MAX_PATH * 4 ? full : path;
}

std::wstring Replaced(std::wstring text, const wchar_t* from, const std::wstring& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::wstring::npos; at += to.size()) {
    text.replace(at, wcslen(from), to);
  }
  return text;
}

// Runs COMMAND in FOLDER, its output and errors into one transcript; the exit status. The output
// goes through a file beside the folder: the host's children (the browser stand-in, Wine's helpers
// started on demand) inherit it and may outlive the host, which would hold a pipe open.
DWORD Run(std::wstring command, const std::wstring& folder, std::string* transcript) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
  std::wstring file = folder + L".out";
  HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  STARTUPINFOW start = {};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdOutput = start.hStdError = out;
  PROCESS_INFORMATION process;
  DWORD status = 0xFFFFFFFF;
  BOOL started =
      out != INVALID_HANDLE_VALUE && CreateProcessW(NULL, &command[0], NULL, NULL, TRUE, 0, NULL,
                                                    folder.c_str(), &start, &process);
  DWORD error = GetLastError();
  ok(started, "could not start %s: error %lu", Utf8FromWide(command).c_str(), error);
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  if (started && WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &status);
  }
  std::ifstream read(fs::path(file), std::ios::binary);
  transcript->assign(std::istreambuf_iterator<char>(read), std::istreambuf_iterator<char>());
  return status;
}

}  // namespace

int main() {
  setvbuf(stdout, NULL, _IONBF, 0);
  const std::vector<std::wstring>& argv = harness_args;
  const int argc = static_cast<int>(argv.size());
  std::wstring work, dll, ini, pages, command;
  std::vector<std::vector<std::wstring>> copies, checks;  // (FILE, PATH), (kind, count, RE)
  DWORD want_status = 0;
  int i = 1;
  for (; i < argc && argv[i] != L"--"; ++i) {
    std::wstring option = argv[i];
    int n = option == L"--copy" || option == L"--count" ? 2 : 1;
    if (i + n >= argc) break;
    std::vector<std::wstring> values(argv.begin() + i + 1, argv.begin() + i + 1 + n);
    i += n;
    if (option == L"--work") {
      work = FullPath(values[0].c_str());
    } else if (option == L"--pages") {
      pages = FullPath(values[0].c_str());
    } else if (option == L"--dll") {
      dll = values[0];
    } else if (option == L"--ini") {
      ini = values[0];
    } else if (option == L"--status") {
      want_status = wcstoul(values[0].c_str(), NULL, 10);
    } else if (option == L"--copy") {
      copies.push_back(values);
    } else if (option == L"--expect" || option == L"--reject" || option == L"--count") {
      checks.push_back({option, n == 2 ? values[0] : L"0", values.back()});
    } else {
      printf("host_case: unknown option %s\n", Utf8FromWide(option).c_str());
      return 2;
    }
  }
  if (work.empty() || pages.empty() || i + 1 >= argc) {
    printf("usage: host_case --work DIR --pages LOGGER [options] -- COMMAND ARGS...\n");
    return 2;
  }
  for (const wchar_t* scheme : {L"http", L"https"}) {
    if (_wcsicmp(FullPath(scheme).c_str(), pages.c_str()) == 0) continue;
    skip("%s addresses open with %s, not the browser stand-in %s: a real browser could start",
         Utf8FromWide(scheme).c_str(), Utf8FromWide(FullPath(scheme)).c_str(),
         Utf8FromWide(pages).c_str());
    return harness_summary(true);
  }

  std::error_code error;
  fs::remove_all(work, error);
  fs::create_directories(fs::path(work) / L"empty");
  if (!dll.empty()) fs::copy_file(dll, fs::path(work) / L"Vostrel.dll");
  for (const auto& copy : copies) {
    fs::create_directories((fs::path(work) / copy[1]).parent_path());
    fs::copy_file(copy[0], fs::path(work) / copy[1]);
  }
  // --ini's text holds \r\n as the CMake file writes it.
  ini = Replaced(Replaced(ini, L"\\r", L"\r"), L"\\n", L"\n");
  // Byte for byte (binary): a text-mode stream would write each \n as \r\n.
  if (!ini.empty())
    std::ofstream(fs::path(work) / L"Vostrel.ini", std::ios::binary) << Utf8FromWide(ini);
  std::ofstream(fs::path(work) / L"not-a-message.eml", std::ios::binary)
      << "Dear Taro,\r\nthis is only a body, without any header.\r\n";
  while (++i < argc) {
    std::wstring arg =
        Replaced(Replaced(argv[i], L"@PLUGIN@", work + L"\\Vostrel.dll"), L"@WORK@", work);
    bool bare = !arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos;
    command += (command.empty() ? L"" : L" ") + (bare ? arg : L"\"" + arg + L"\"");
  }

  std::string transcript, line;
  DWORD status = Run(command, work, &transcript);
  fwrite(transcript.data(), 1, transcript.size(), stdout);
  ok(status == want_status, "exit status: expected %lu, got %lu", want_status, status);
  for (const auto& check : checks) {
    std::string pattern = Utf8FromWide(check[2]);
    std::regex re(pattern);
    std::istringstream lines(transcript);
    int got = 0, want = _wtoi(check[1].c_str());
    while (std::getline(lines, line)) got += std::regex_search(line.substr(0, line.find('\r')), re);
    if (check[0] == L"--expect")
      ok(got > 0, "expected a line matching /%s/, got none", pattern.c_str());
    if (check[0] != L"--expect")
      ok(got == want, "expected %d lines matching /%s/, got %d", want, pattern.c_str(), got);
  }
  return harness_summary(false);
}
