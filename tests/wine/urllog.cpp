// Stands in for the browser in the test prefix: appends each address it is asked to open to
// the file named by VOSTREL_URL_LOG, one per line.
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv) {
  wchar_t path[MAX_PATH];  // the temporary folder in it may be named in any script
  DWORD n = GetEnvironmentVariableW(L"VOSTREL_URL_LOG", path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  FILE* log = _wfopen(path, L"ab");
  if (log == NULL) return 1;
  for (int i = 1; i < argc; ++i) fprintf(log, "%s\n", argv[i]);
  fclose(log);
  return 0;
}
