// A message box without an owner, its text formatted into a bounded buffer.
#pragma once
#include <windows.h>

int ShowMessage(LPCSTR caption, UINT type, LPCSTR format, ...)
    __attribute__((format(printf, 3, 4)));
