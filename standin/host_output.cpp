// Output of the stand-in host: UTF-8 on a pipe or file, wide characters on a console.
#include "host_output.h"

#include <stdio.h>

namespace {

std::string Utf8FromWide(const wchar_t* text, int length) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, length, NULL, 0, NULL, NULL);
  if (size <= 0) return std::string();
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], size, NULL, NULL);
  if (length < 0 && !out.empty()) out.pop_back();  // the converted NUL
  return out;
}

}  // namespace

std::string Utf8FromAnsi(const std::string& text) {
  if (text.empty()) return text;
  int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
  if (size <= 0) return text;
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
  return Utf8FromWide(wide.data(), size);
}

std::string Utf8FromWide(const std::wstring& text) {
  return text.empty() ? std::string() : Utf8FromWide(text.data(), static_cast<int>(text.size()));
}

std::string AnsiFromWide(const std::wstring& text) {
  if (text.empty()) return std::string();
  int length = static_cast<int>(text.size());
  int size = WideCharToMultiByte(CP_ACP, 0, text.data(), length, NULL, 0, NULL, NULL);
  if (size <= 0) return std::string();
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), length, &out[0], size, NULL, NULL);
  return out;
}

std::string WindowText(HWND window) {
  wchar_t text[512];
  int n = GetWindowTextW(window, text, 512);
  return n > 0 ? Utf8FromWide(text, n) : std::string();
}

void Say(const std::string& utf8, DWORD which) {
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

int Fail(ExitCode code, const std::string& message) {
  fflush(stdout);
  Say("StandinHost: " + message, STD_ERROR_HANDLE);
  return code;
}

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

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
