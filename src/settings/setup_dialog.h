// The modal settings dialog that chooses the mode and the warning options.
#pragma once
#include <windows.h>

INT_PTR CALLBACK SetupDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InitSetupDialog(HWND window);
BOOL SaveSetupDialog(HWND window);
