// Screen capture through GDI: the window's rectangle is copied from the screen into a DIB.
#include "screenshot.h"

#include <vector>

#include "png_file.h"

bool SaveWindowShot(HWND window, const std::string& path) {
  RECT rect;
  if (!IsWindow(window) || !GetWindowRect(window, &rect)) return false;
  int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
  if (rect.left < 0) rect.left = 0;
  if (rect.top < 0) rect.top = 0;
  if (rect.right > screen_w) rect.right = screen_w;
  if (rect.bottom > screen_h) rect.bottom = screen_h;
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = NULL;
  HDC screen = GetDC(NULL);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
  bool copied = false;
  if (memory != NULL && bitmap != NULL && bits != NULL) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, old);
  }
  std::vector<uint8_t> rgb;
  if (copied) {
    const uint8_t* pixels = static_cast<const uint8_t*>(bits);
    rgb.resize(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) {
      rgb[i * 3] = pixels[i * 4 + 2];  // the DIB holds blue, green, red, unused
      rgb[i * 3 + 1] = pixels[i * 4 + 1];
      rgb[i * 3 + 2] = pixels[i * 4];
    }
  }
  if (bitmap != NULL) DeleteObject(bitmap);
  if (memory != NULL) DeleteDC(memory);
  ReleaseDC(NULL, screen);
  return copied && WriteFileBytes(path, EncodePng(width, height, rgb));
}
