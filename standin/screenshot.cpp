// Screen capture through GDI: the window's rectangle is copied from the screen into a DIB, which
// GDI+ saves as PNG.
#include "screenshot.h"

#include <gdiplus.h>

#include <vector>

namespace {

using namespace Gdiplus;

// GDI+'s own PNG encoder, looked up by its MIME type.
bool PngEncoder(CLSID* clsid) {
  UINT count = 0, size = 0;
  if (DllExports::GdipGetImageEncodersSize(&count, &size) != Ok || size == 0) return false;
  std::vector<BYTE> buffer(size);
  ImageCodecInfo* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
  if (DllExports::GdipGetImageEncoders(count, size, codecs) != Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (lstrcmpiW(codecs[i].MimeType, L"image/png") == 0) {
      *clsid = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

bool SavePng(HBITMAP bitmap, const CLSID& png, const std::wstring& path) {
  GpBitmap* image = NULL;
  if (DllExports::GdipCreateBitmapFromHBITMAP(bitmap, NULL, &image) != Ok) return false;
  bool saved = DllExports::GdipSaveImageToFile(image, path.c_str(), &png, NULL) == Ok;
  DllExports::GdipDisposeImage(image);
  return saved;
}

}  // namespace

PictureSaver::~PictureSaver() {
  if (started_) GdiplusShutdown(token_);
}

bool PictureSaver::Start() {
  if (started_) return ready_;
  GdiplusStartupInput input;
  started_ = GdiplusStartup(&token_, &input, NULL) == Ok;
  ready_ = started_ && PngEncoder(&png_);
  return ready_;
}

bool PictureSaver::Save(HWND window, const std::wstring& path) {
  RECT rect;
  if (!IsWindow(window) || !GetWindowRect(window, &rect)) return false;
  int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
  if (rect.left < 0) rect.left = 0;
  if (rect.top < 0) rect.top = 0;
  if (rect.right > screen_w) rect.right = screen_w;
  if (rect.bottom > screen_h) rect.bottom = screen_h;
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0 || !ready_) return false;

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
  bool saved = copied && SavePng(bitmap, png_, path);
  if (bitmap != NULL) DeleteObject(bitmap);
  if (memory != NULL) DeleteDC(memory);
  ReleaseDC(NULL, screen);
  return saved;
}
