// Saves what a window shows on the screen, frame and caption included, as a PNG file.
#pragma once
#include <windows.h>

#include <string>

// Copies the window's screen rectangle (clipped to the screen); false when nothing was written.
bool SaveWindowShot(HWND window, const std::string& path);
