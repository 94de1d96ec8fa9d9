// Exports of the stand-in host executable: three BKA_ functions that answer, the rest stubs.
#include "host_api.h"

#include <string.h>

StandinHost standin = {STANDIN_DEFAULT_VERSION, NULL, false, false, NULL, 0, 0, 0};

#define BKA_EXPORT extern "C" __declspec(dllexport)

BKA_EXPORT LPCSTR WINAPI BKA_GetVersion() {
  ++standin.version_requests;
  return standin.version;
}

BKA_EXPORT int WINAPI BKA_GetWindowHandles(HWND* main, HWND* second, HWND* third, HWND* fourth) {
  if (standin.fail_window_handles) return 0;
  if (main) *main = standin.main_window;
  if (second) *second = NULL;
  if (third) *third = NULL;
  if (fourth) *fourth = NULL;
  return 1;
}

BKA_EXPORT int WINAPI BKA_GetSpecifiedHeader(LPCSTR name, LPSTR buffer, int size) {
  ++standin.header_requests;
  standin.last_header_size = size;
  if (buffer == NULL || size <= 0) return 0;
  const char* value = (name != NULL && lstrcmpiA(name, "X-Mailer") == 0) ? standin.xmailer : NULL;
  if (value == NULL) value = "";
  size_t length = strlen(value);
  if (standin.fill_without_nul) {
    // A careless host: every byte it is offered, repeating the value, and no terminator.
    for (int i = 0; i < size; ++i) buffer[i] = length ? value[i % length] : 'x';
    return size;
  }
  if (length > static_cast<size_t>(size - 1)) length = size - 1;
  memcpy(buffer, value, length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

// The host functions the plug-in looks up but never calls.
#define BKA_STUB(name) \
  BKA_EXPORT int WINAPI name() { return 0; }
BKA_STUB(BKA_Command)
BKA_STUB(BKA_RegisterCommand)
BKA_STUB(BKA_RegisterUICallback)
BKA_STUB(BKA_GetDataFolder)
BKA_STUB(BKA_GetTempFolder)
BKA_STUB(BKA_GetTempFileName)
BKA_STUB(BKA_GetCurrentMailBox)
BKA_STUB(BKA_SetCurrentMailBox)
BKA_STUB(BKA_GetCurrentFolder)
BKA_STUB(BKA_SetCurrentFolder)
BKA_STUB(BKA_GetFolderDisplayName)
BKA_STUB(BKA_SetMessageText)
BKA_STUB(BKA_GetCurrentMail)
BKA_STUB(BKA_SetCurrentMail)
BKA_STUB(BKA_GetNextMail)
BKA_STUB(BKA_SetSel)
BKA_STUB(BKA_AppendMessage)
BKA_STUB(BKA_MoveSelectedMessages)
BKA_STUB(BKA_GetStatus)
BKA_STUB(BKA_ComposeMail)
BKA_STUB(BKA_GetCharSet)
BKA_STUB(BKA_GetSource)
BKA_STUB(BKA_SetSource)
BKA_STUB(BKA_GetHeader)
BKA_STUB(BKA_GetText)
BKA_STUB(BKA_SetText)
BKA_STUB(BKA_SetSpecifiedHeader)
BKA_STUB(BKA_CompGetCharSet)
BKA_STUB(BKA_CompGetSource)
BKA_STUB(BKA_CompSetSource)
BKA_STUB(BKA_CompGetHeader)
BKA_STUB(BKA_CompGetSpecifiedHeader)
BKA_STUB(BKA_CompSetSpecifiedHeader)
BKA_STUB(BKA_CompGetText)
BKA_STUB(BKA_CompSetText)
BKA_STUB(BKA_CompAttachFile)
BKA_STUB(BKA_Alloc)
BKA_STUB(BKA_ReAlloc)
BKA_STUB(BKA_Free)
BKA_STUB(BKA_ISO_2022_JP)
BKA_STUB(BKA_ISO_2022_KR)
BKA_STUB(BKA_HZ_GB2312)
BKA_STUB(BKA_ISO_8859_2)
BKA_STUB(BKA_EUC_JP)
BKA_STUB(BKA_UTF_7)
BKA_STUB(BKA_UTF_8)
BKA_STUB(BKA_B64Convert)
BKA_STUB(BKA_QPConvert)
BKA_STUB(BKA_MIMEHeader)
BKA_STUB(BKA_SerializeRcpts)
#ifndef STANDIN_WITHOUT_CONNECT
BKA_STUB(BKA_Connect)
#endif

HWND CreateStandinMainWindow(const char* title) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(NULL);
  wc.hCursor = LoadCursor(NULL, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "StandinHostMain";
  RegisterClassA(&wc);  // fails harmlessly when already registered
  standin.main_window = CreateWindowA(wc.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      200, 150, 480, 320, NULL, NULL, wc.hInstance, NULL);
  return standin.main_window;
}
