// The screen as a host program is told it.
#include "screen_facts.h"

int ScreenDpi() {
  HDC screen = GetDC(NULL);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(NULL, screen);
  return dpi;
}

bool DeclaredDpiAware() {
  // The process's activation context holds the manifest as the system read it.
  wchar_t value[16] = L"";
  SIZE_T length = 0;
  return QueryActCtxSettingsW(0, NULL, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                              L"dpiAware", value, sizeof value / sizeof *value, &length) &&
         lstrcmpiW(value, L"true") == 0;
}

SIZE LeastWindowSize() {
  return {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
}
