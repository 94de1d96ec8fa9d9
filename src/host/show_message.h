// Message boxes of the plug-in, and what keeps the module mapped while one is up.
#pragma once
#include <windows.h>

// A box without an owner, its text formatted into a bounded buffer. The text is shown as the
// system reads its bytes: for texts that come from the mail.
int ShowMessage(LPCSTR caption, UINT type, LPCSTR format, ...)
    __attribute__((format(printf, 3, 4)));

// A box with the program's own caption and text, stored in code page 932 and shown as UTF-16,
// so that they read the same under any ANSI code page. When insert is not null, text holds one
// "%s" that stands for it. Unlike ShowMessage it does not pin the module: a caller whose box
// lets the host go on working pins it first.
int ShowCp932Message(HWND owner, LPCSTR caption, UINT type, LPCSTR text, LPCWSTR insert);

// Keeps this module loaded until the process ends. A box's own message loop lets the host go on
// working, up to exiting and unloading the plug-in, and the box must have code to return to.
void PinModule();
