// The run's pictures: numbered PNG files in one folder, and those of boxes not yet reported.
#pragma once
#include <windows.h>

#include <map>
#include <string>

struct Shots {
  std::string folder;  // empty: no pictures
  int count = 0;
  std::map<HWND, std::string> of_box;  // pictures taken of boxes, not yet reported

  // Saves the window as NN-what.png in the folder; its path, or empty when none was saved.
  std::string Take(HWND window, const char* what);
};
