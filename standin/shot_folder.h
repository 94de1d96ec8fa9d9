// The run's pictures: numbered PNG files in one folder, and those of boxes not yet reported.
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "screenshot.h"

struct Shots {
  std::wstring folder;  // empty: no pictures
  int count = 0;
  std::map<HWND, std::string> of_box;  // pictures taken of boxes (UTF-8 paths), not yet reported
  PictureSaver saver;

  // Saves the window as NN-what.png in the folder; its path in UTF-8, or empty when none was saved.
  std::string Take(HWND window, const char* what);
};
