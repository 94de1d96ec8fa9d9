// Formats a text and shows it in a message box that has no owner window.
#include "show_message.h"

#include <stdarg.h>

#include "../text/buffer_sizes.h"

int ShowMessage(LPCSTR caption, UINT type, LPCSTR format, ...) {
  // wvsprintfA never writes more than 1024 bytes, the size of this buffer.
  static_assert(kTextBufferSize == 1024, "wvsprintfA's own limit");
  char text[kTextBufferSize];
  va_list args;
  va_start(args, format);
  wvsprintfA(text, format, args);
  va_end(args);
  PinModule();
  return MessageBoxA(NULL, text, caption, type);
}

void PinModule() {
  HMODULE self;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                     reinterpret_cast<LPCWSTR>(&PinModule), &self);
}
