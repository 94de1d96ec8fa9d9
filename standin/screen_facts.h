// What the system tells a host program about the screen, which differs from one Windows, Wine
// and DPI to another: the host reports it, the tests expect from it.
#pragma once
#include <windows.h>

// The screen's dots per inch as this process is told them.
int ScreenDpi();
// Whether this program's manifest declares it DPI-aware (dpi_aware.manifest); a program that
// does not is told 96 dots per inch on any screen by Windows and Wine 10.
bool DeclaredDpiAware();
// The least size a window with a caption and a sizing border can have (its least tracking size).
SIZE LeastWindowSize();
