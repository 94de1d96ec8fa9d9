// Lookup of the host's exported functions and the wrappers of the three the plug-in calls.
#include "bkapi.h"

// clang-format off
const char* const kBkApiNames[BkApi::kSlotCount] = {
    /*  0 */ "BKA_GetVersion", "BKA_Command", "BKA_GetWindowHandles", "BKA_RegisterCommand", "BKA_RegisterUICallback",
    /*  5 */ "BKA_GetDataFolder", "BKA_GetTempFolder", "BKA_GetTempFileName", "BKA_GetCurrentMailBox", "BKA_SetCurrentMailBox",
    /* 10 */ "BKA_GetCurrentFolder", "BKA_SetCurrentFolder", "BKA_GetFolderDisplayName", "BKA_SetMessageText", "BKA_GetCurrentMail",
    /* 15 */ "BKA_SetCurrentMail", "BKA_GetNextMail", "BKA_SetSel", "BKA_AppendMessage", "BKA_MoveSelectedMessages",
    /* 20 */ "BKA_GetStatus", "BKA_ComposeMail", "BKA_GetCharSet", "BKA_GetSource", "BKA_SetSource",
    /* 25 */ "BKA_GetHeader", "BKA_GetText", "BKA_SetText", "BKA_GetSpecifiedHeader", "BKA_SetSpecifiedHeader",
    /* 30 */ "BKA_CompGetCharSet", "BKA_CompGetSource", "BKA_CompSetSource", "BKA_CompGetHeader", "BKA_CompGetSpecifiedHeader",
    /* 35 */ "BKA_CompSetSpecifiedHeader", "BKA_CompGetText", "BKA_CompSetText", "BKA_CompAttachFile", "BKA_Alloc",
    /* 40 */ "BKA_ReAlloc", "BKA_Free", "BKA_ISO_2022_JP", "BKA_ISO_2022_KR", "BKA_HZ_GB2312",
    /* 45 */ "BKA_ISO_8859_2", "BKA_EUC_JP", "BKA_UTF_7", "BKA_UTF_8", "BKA_B64Convert",
    /* 50 */ "BKA_QPConvert", "BKA_MIMEHeader", "BKA_SerializeRcpts", "BKA_Connect",
};
// clang-format on

namespace {

enum { kSlotGetVersion = 0, kSlotGetWindowHandles = 2, kSlotGetSpecifiedHeader = 28 };

typedef LPCSTR(WINAPI* GetVersionFn)();
typedef int(WINAPI* GetWindowHandlesFn)(HWND*, HWND*, HWND*, HWND*);
typedef int(WINAPI* GetSpecifiedHeaderFn)(LPCSTR, LPSTR, int);

// GetProcAddress hands out a generic pointer; going through void(*)() says the cast is meant.
template <typename Fn>
Fn As(FARPROC p) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(p));
}

}  // namespace

BkApi bkapi;

BOOL BkApi::Bind() {
  if (module_ != NULL) return TRUE;
  module_ = GetModuleHandleA(NULL);
  if (module_ == NULL) return FALSE;
  for (int i = 0; i < kSlotCount; ++i) {
    slots_[i] = GetProcAddress(module_, kBkApiNames[i]);
    if (slots_[i] == NULL) {
      module_ = NULL;
      return FALSE;
    }
  }
  return TRUE;
}

// The wrappers answer like a host with nothing to say while unbound, rather than jump to null.
LPCSTR BkApi::GetVersion() {
  if (module_ == NULL) return NULL;
  return As<GetVersionFn>(slots_[kSlotGetVersion])();
}

int BkApi::GetWindowHandles(HWND* main, HWND* second, HWND* third, HWND* fourth) {
  if (module_ == NULL) return 0;
  return As<GetWindowHandlesFn>(slots_[kSlotGetWindowHandles])(main, second, third, fourth);
}

int BkApi::GetSpecifiedHeader(LPCSTR name, LPSTR buffer, int size) {
  if (module_ == NULL) return 0;
  return As<GetSpecifiedHeaderFn>(slots_[kSlotGetSpecifiedHeader])(name, buffer, size);
}
