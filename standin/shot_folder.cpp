// Names the run's pictures by their order, with a separator that suits how the folder was given.
#include "shot_folder.h"

#include <stdio.h>

#include "screenshot.h"

std::string Shots::Take(HWND window, const char* what) {
  if (folder.empty()) return std::string();
  char name[64];
  snprintf(name, sizeof name, "%02d-%s.png", count + 1, what);
  bool unix_style = folder.find('/') != std::string::npos && folder.find('\\') == std::string::npos;
  std::string path = folder + (unix_style ? "/" : "\\") + name;
  if (!SaveWindowShot(window, path)) return std::string();
  ++count;
  return path;
}
