// Stands in for the browser in the test prefix: appends each address it is asked to open to
// the file named by VOSTREL_URL_LOG, one per line.
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv) {
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("VOSTREL_URL_LOG", path, sizeof path);
  if (n == 0 || n >= sizeof path) return 1;
  FILE* log = fopen(path, "ab");
  if (log == NULL) return 1;
  for (int i = 1; i < argc; ++i) fprintf(log, "%s\n", argv[i]);
  fclose(log);
  return 0;
}
