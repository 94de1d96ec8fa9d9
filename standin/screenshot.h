// Saves what a window shows on the screen, frame and caption included, as a PNG file.
#pragma once
#include <windows.h>

#include <string>

// GDI+ and its PNG encoder, started at the first picture and shut down with this object.
class PictureSaver {
 public:
  PictureSaver() = default;
  PictureSaver(const PictureSaver&) = delete;
  PictureSaver& operator=(const PictureSaver&) = delete;
  ~PictureSaver();

  // Copies the window's screen rectangle (clipped to the screen); false when nothing was written.
  bool Save(HWND window, const std::wstring& path);

 private:
  bool Start();
  ULONG_PTR token_ = 0;
  bool started_ = false, failed_ = false;
  CLSID png_ = {};
};
