// Saves what a window shows on the screen, frame and caption included, as a PNG file.
#pragma once
#include <windows.h>

#include <string>

// GDI+ and its PNG encoder, started once by Start and shut down with this object.
class PictureSaver {
 public:
  PictureSaver() = default;
  PictureSaver(const PictureSaver&) = delete;
  PictureSaver& operator=(const PictureSaver&) = delete;
  ~PictureSaver();

  // Starts GDI+, which must not happen under the loader lock: before the plug-in is loaded, since
  // the first picture may be of a box that its DllMain shows. False when GDI+ or the encoder is
  // missing; no picture is saved then.
  bool Start();
  // Copies the window's screen rectangle (clipped to the screen); false when nothing was written.
  bool Save(HWND window, const std::wstring& path);

 private:
  ULONG_PTR token_ = 0;
  bool started_ = false, ready_ = false;
  CLSID png_ = {};
};
