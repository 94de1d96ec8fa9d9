// Names the run's pictures by their order, with a separator that suits how the folder was given.
// The names are ASCII; the folder may be named in any script.
#include "shot_folder.h"

#include <stdio.h>

#include "host_output.h"

std::string Shots::Take(HWND window, const char* what) {
  if (folder.empty()) return std::string();
  char name[64];
  int length = snprintf(name, sizeof name, "%02d-%s.png", count + 1, what);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof name) return std::string();
  bool unix_style =
      folder.find(L'/') != std::wstring::npos && folder.find(L'\\') == std::wstring::npos;
  std::wstring path = folder + (unix_style ? L"/" : L"\\") + std::wstring(name, name + length);
  if (!saver.Save(window, path)) return std::string();
  ++count;
  return Utf8FromWide(path);
}
