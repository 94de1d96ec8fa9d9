// Message boxes without an owner window, or over one, and the pin that outlives them.
#include "show_message.h"

#include <stdarg.h>

#include "../text/buffer_sizes.h"

namespace {

const UINT kJapaneseCodePage = 932;
// The program's captions are short; the texts fit a message box text's buffer.
const int kCaptionChars = 128;

// Converts one of the program's code page 932 texts, which fit out; one that did not would come
// out empty rather than cut.
void Widen(LPCSTR text, LPWSTR out, int out_chars) {
  if (MultiByteToWideChar(kJapaneseCodePage, 0, text, -1, out, out_chars) == 0) out[0] = L'\0';
}

}  // namespace

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

int ShowCp932Message(HWND owner, LPCSTR caption, UINT type, LPCSTR text, LPCWSTR insert) {
  WCHAR wide_caption[kCaptionChars], wide_text[kTextBufferSize], filled[kTextBufferSize];
  Widen(caption, wide_caption, kCaptionChars);
  Widen(text, wide_text, kTextBufferSize);
  // wsprintfW never writes more than 1024 characters, the size of filled.
  if (insert != NULL) wsprintfW(filled, wide_text, insert);
  return MessageBoxW(owner, insert != NULL ? filled : wide_text, wide_caption, type);
}

void PinModule() {
  HMODULE self;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                     reinterpret_cast<LPCWSTR>(&PinModule), &self);
}
