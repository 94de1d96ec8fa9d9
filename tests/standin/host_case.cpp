// One case of the stand-in host's command line: prepares a folder with a fresh copy of the
// plug-in, runs the host from that folder and checks its exit status and transcript.
//   host_case --work DIR --pages LOGGER [--dll DLL] [--ini TEXT] [--copy FILE PATH]... --status N
//             [--expect RE | --reject RE | --count N RE]... -- COMMAND ARGS...
// --copy puts FILE at PATH inside the folder. In COMMAND ARGS, @PLUGIN@ stands for the copied
// plug-in and @WORK@ for the folder. The host opens pages through the shell, which must hand
// them to LOGGER (the browser stand-in): with any other http or https handler the case skips,
// as it could start a real browser.
#include <windows.h>
#include <shlwapi.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <vector>

#include "harness.h"

namespace fs = std::filesystem;

namespace {

std::string Utf8(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, NULL, 0, NULL, NULL);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], size, NULL, NULL);
  return out;
}

std::wstring FullPath(const std::wstring& path) {
  wchar_t full[MAX_PATH * 4];
  DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, NULL);
  return n > 0 && n < MAX_PATH * 4 ? full : path;
}

// The program that opens SCHEME addresses, as the shell finds it (a user's choice included).
std::wstring Handler(const wchar_t* scheme) {
  wchar_t exe[MAX_PATH * 4];
  DWORD n = MAX_PATH * 4;
  return AssocQueryStringW(0, ASSOCSTR_EXECUTABLE, scheme, L"open", exe, &n) == S_OK ? exe : L"";
}

// As the Windows C runtime splits a command line back into its arguments.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  size_t slashes = 0;
  for (wchar_t c : arg) {
    if (c == L'"') out.append(slashes + 1, L'\\');
    slashes = c == L'\\' ? slashes + 1 : 0;
    out += c;
  }
  return out.append(slashes, L'\\') + L"\"";
}

std::wstring Replaced(std::wstring text, const std::wstring& from, const std::wstring& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::wstring::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Runs COMMAND in FOLDER, its output and errors into one transcript; the exit status.
DWORD Run(const std::wstring& command, const std::wstring& folder, std::string* transcript) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
  HANDLE read_end, write_end;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return 0xFFFFFFFF;
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW start = {};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = INVALID_HANDLE_VALUE;
  start.hStdOutput = start.hStdError = write_end;
  PROCESS_INFORMATION process;
  std::wstring line = command;
  BOOL started =
      CreateProcessW(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, folder.c_str(), &start, &process);
  CloseHandle(write_end);
  char buffer[4096];
  DWORD got;
  while (started && ReadFile(read_end, buffer, sizeof buffer, &got, NULL) && got > 0) {
    transcript->append(buffer, got);
  }
  CloseHandle(read_end);
  ok(started, "could not start %s: error %lu", Utf8(command).c_str(), GetLastError());
  if (!started) return 0xFFFFFFFF;
  DWORD status = 0xFFFFFFFF;
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}

struct Check {
  std::wstring kind;
  int count;
  std::string pattern;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  setvbuf(stdout, NULL, _IONBF, 0);
  std::wstring work, dll, ini, pages;
  DWORD want_status = 0;
  std::vector<std::pair<std::wstring, std::wstring>> copies;
  std::vector<Check> checks;
  int i = 1;
  for (; i < argc && wcscmp(argv[i], L"--") != 0; ++i) {
    std::wstring option = argv[i];
    bool counted = option == L"--count";
    if (i + 1 + counted >= argc) break;
    if (option == L"--work") work = FullPath(argv[++i]);
    if (option == L"--pages") pages = argv[++i];
    if (option == L"--dll") dll = argv[++i];
    if (option == L"--ini") ini = argv[++i];
    if (option == L"--status") want_status = wcstoul(argv[++i], NULL, 10);
    if (option == L"--copy") copies.emplace_back(argv[i + 1], argv[i + 2]), i += 2;
    if (option == L"--expect" || option == L"--reject" || counted) {
      int count = counted ? _wtoi(argv[++i]) : 0;
      checks.push_back({option, count, Utf8(argv[++i])});
    }
  }
  if (work.empty() || pages.empty() || i + 1 >= argc) {
    printf("usage: host_case --work DIR --pages LOGGER [options] -- COMMAND ARGS...\n");
    return 2;
  }
  for (const wchar_t* scheme : {L"http", L"https"}) {
    std::wstring handler = Handler(scheme);
    if (_wcsicmp(FullPath(handler).c_str(), FullPath(pages).c_str()) == 0) continue;
    skip("%s addresses open with %s, not the browser stand-in %s: a real browser could start",
         Utf8(scheme).c_str(), handler.empty() ? "nothing" : Utf8(handler).c_str(),
         Utf8(pages).c_str());
    return harness_summary(true);
  }

  std::error_code error;
  fs::remove_all(work, error);
  fs::create_directories(fs::path(work) / L"empty");
  if (!dll.empty()) fs::copy_file(dll, fs::path(work) / L"Vostrel.dll");
  for (const auto& copy : copies) {
    fs::path to = fs::path(work) / copy.second;
    fs::create_directories(to.parent_path());
    fs::copy_file(copy.first, to);
  }
  // --ini's text holds \r\n as written in the CMake file.
  if (!ini.empty())
    std::ofstream(fs::path(work) / L"Vostrel.ini")
        << Utf8(Replaced(Replaced(ini, L"\\r", L"\r"), L"\\n", L"\n"));
  std::ofstream(fs::path(work) / L"not-a-message.eml")
      << "Dear Taro,\r\nthis is only a body, without any header.\r\n";

  std::wstring command;
  for (++i; i < argc; ++i) {
    std::wstring arg =
        Replaced(Replaced(argv[i], L"@PLUGIN@", work + L"\\Vostrel.dll"), L"@WORK@", work);
    command += (command.empty() ? L"" : L" ") + Quoted(arg);
  }
  std::string transcript;
  DWORD status = Run(command, work, &transcript);
  fwrite(transcript.data(), 1, transcript.size(), stdout);
  ok(status == want_status, "exit status: expected %lu, got %lu", want_status, status);
  std::vector<std::string> lines;
  for (size_t at = 0, end; at < transcript.size(); at = end + 1) {
    end = transcript.find('\n', at);
    if (end == std::string::npos) end = transcript.size();
    std::string line = transcript.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  for (const Check& check : checks) {
    std::regex re(check.pattern);
    int got = 0;
    for (const std::string& line : lines) got += std::regex_search(line, re);
    const char* pattern = check.pattern.c_str();
    if (check.kind == L"--expect") ok(got > 0, "expected a line matching /%s/, got none", pattern);
    if (check.kind == L"--reject")
      ok(got == 0, "expected no line matching /%s/, got %d", pattern, got);
    if (check.kind == L"--count")
      ok(got == check.count, "expected %d lines matching /%s/, got %d", check.count, pattern, got);
  }
  return harness_summary(false);
}
