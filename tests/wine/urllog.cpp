// Stands in for the browser in the test prefix: appends each address it is asked to open to
// the file named by VOSTREL_URL_LOG, one per line.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
  wchar_t path[MAX_PATH];  // the temporary folder in it may be named in any script
  DWORD n = GetEnvironmentVariableW(L"VOSTREL_URL_LOG", path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  // Pages opened close together start several of these at once, and an append is a write at
  // the end as some process last saw it: Wine does not make one write on an append-only handle
  // one atomic append, as Windows does. So every log of the session takes turns under one lock,
  // which the system still hands on when a holder dies.
  HANDLE turn = CreateMutexW(NULL, FALSE, L"VostrelUrlLog");
  if (turn == NULL) return 1;
  WaitForSingleObject(turn, INFINITE);
  HANDLE log = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  std::string lines;
  for (int i = 1; i < argc; ++i) lines += std::string(argv[i]) + "\n";
  DWORD written = 0;
  bool whole = log != INVALID_HANDLE_VALUE &&
               WriteFile(log, lines.data(), static_cast<DWORD>(lines.size()), &written, NULL) &&
               written == lines.size();
  if (log != INVALID_HANDLE_VALUE) CloseHandle(log);
  ReleaseMutex(turn);
  CloseHandle(turn);
  return whole ? 0 : 1;
}
