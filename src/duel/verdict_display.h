// What the user sees of a duel: the warning box or the result window.
#pragma once
#include <windows.h>

#include "version_scan.h"

void ShowVerdict(Verdict verdict, const char* token);
INT_PTR CALLBACK ResultDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
