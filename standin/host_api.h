// The stand-in host's side of the plug-in contract: the 54 BKA_ functions its executable
// exports, answered from what the program using it sets here.
#pragma once
#include <windows.h>

// The host's version unless told otherwise.
#define STANDIN_DEFAULT_VERSION "2.75.02"

struct StandinHost {
  const char* version;       // BKA_GetVersion's answer; null plays a broken host
  const char* xmailer;       // X-Mailer of the current message; null: the message has none
  bool fill_without_nul;     // BKA_GetSpecifiedHeader fills every byte offered, no NUL
  bool fail_window_handles;  // BKA_GetWindowHandles reports failure
  HWND main_window;          // handed out as the host's main window
  int header_requests;       // BKA_GetSpecifiedHeader calls so far
  int last_header_size;      // the size the plug-in offered last
  int version_requests;      // BKA_GetVersion calls so far
};

extern StandinHost standin;

// Creates the host's (visible, empty) main window and stores it in standin.main_window.
HWND CreateStandinMainWindow(const char* title);
