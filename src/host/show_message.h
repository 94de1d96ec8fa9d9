// Message boxes of the plug-in, and what keeps the module mapped while one is up.
#pragma once
#include <windows.h>

// A box without an owner, its text formatted into a bounded buffer.
int ShowMessage(LPCSTR caption, UINT type, LPCSTR format, ...)
    __attribute__((format(printf, 3, 4)));

// Keeps this module loaded until the process ends. A box's own message loop lets the host go on
// working, up to exiting and unloading the plug-in, and the box must have code to return to.
void PinModule();
