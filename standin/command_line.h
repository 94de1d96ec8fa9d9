// The stand-in host's command line: its options, and the steps to play in the order given.
#pragma once
#include <string>
#include <vector>

#include "host_api.h"
#include "message_file.h"

struct Step {
  bool setup;          // true: open the settings dialog; false: open the message
  std::string script;  // the dialog's script
  MailMessage message;
};

// Paths stay UTF-16, as given; texts handed to the plug-in are in the ANSI code page.
struct Options {
  std::string host_version = STANDIN_DEFAULT_VERSION;
  std::wstring plugin;
  std::vector<Step> steps;
  bool info = false;
  int attended = -1;  // -1: decided by standard input
  std::wstring shots;
  int wait_ms = 300;
  bool timing = false;
};

// Returns -1 when the command line is complete, or the exit status to end with (after the usage
// text, or a complaint on standard error).
int ParseCommandLine(int argc, wchar_t** argv, Options* options);
