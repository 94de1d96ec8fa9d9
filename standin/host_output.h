// What the stand-in host says: one event per line, UTF-8 to a pipe or file, UTF-16 to a console.
#pragma once
#include <windows.h>

#include <string>

// How the program ends; the usage text lists them.
enum ExitCode { EXIT_DONE = 0, EXIT_USAGE = 1, EXIT_INPUT = 2, EXIT_PLUGIN = 3 };

// Window texts and texts for the plug-in come in the ANSI code page (932 in a Japanese session).
std::string Utf8FromAnsi(const std::string& text);
// Paths and arguments come as UTF-16, whatever the code page.
std::string Utf8FromWide(const std::wstring& text);
// Texts for the plug-in (the host's version, an X-Mailer value, the paths a test hands the
// profile functions) are in the ANSI code page, as the mail client's would be.
std::string AnsiFromWide(const std::wstring& text);
// A window's caption or a control's label, read as wide characters.
std::string WindowText(HWND window);

// One line to standard output (or error): UTF-8 bytes to a pipe or file, UTF-16 to a console.
void Say(const std::string& utf8, DWORD which = STD_OUTPUT_HANDLE);
// Says "StandinHost: message" (UTF-8) on standard error; returns code for the caller to end with.
int Fail(ExitCode code, const std::string& message);

// Shows line breaks of a box text as " / ", so that one event stays on one line.
std::string OneLine(const std::string& text);
std::string Quoted(const std::string& text);
