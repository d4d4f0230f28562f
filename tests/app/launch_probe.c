/* Stands in for the installer in the Windows whole-program test: when started,
   it writes "<its own path>.launched" so the test can see that the downloaded
   file was opened. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(void) {
  char path[MAX_PATH + 16];
  DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  strcpy(path + n, ".launched");
  FILE* f = fopen(path, "wb");
  if (!f) return 1;
  fputs("launched\n", f);
  return fclose(f) == 0 ? 0 : 1;
}
