/* Sends skin change requests to the downloader's application window from another
   process, as a skin tool would, and checks each answer: 1 for a request the
   program takes, 0 for the ones it must leave alone. Exit status 0 when all
   answers are as expected. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define REQUEST_SIZE 30646

static int send_request(HWND w, WPARAM param, DWORD magic, DWORD size, LRESULT* answer) {
  unsigned char* block = calloc(1, REQUEST_SIZE);
  DWORD_PTR result = 0;
  COPYDATASTRUCT cds;
  LRESULT ok;
  if (!block) return 0;
  memcpy(block, &magic, 4);
  strcpy((char*)block + 4, "NoSuchSkin");
  strcpy((char*)block + 132, "c:\\NoSkins");
  cds.dwData = 0;
  cds.cbData = size;
  cds.lpData = block;
  ok = SendMessageTimeoutW(w, WM_COPYDATA, param, (LPARAM)&cds, SMTO_ABORTIFHUNG, 10000, &result);
  free(block);
  *answer = (LRESULT)result;
  return ok != 0;
}

int main(void) {
  static const struct {
    WPARAM param;
    DWORD magic, size;
    LRESULT want;
    const char* what;
  } cases[] = {
      {7, 0xA400, REQUEST_SIZE, 1, "request"},
      {8, 0xA400, REQUEST_SIZE, 0, "other parameter"},
      {7, 0xA401, REQUEST_SIZE, 0, "other magic"},
      {7, 0xA400, 200, 1, "short block"},
      {7, 0xA400, 2, 0, "block without its magic"},
  };
  HWND w = NULL;
  int i, failed = 0;
  for (i = 0; i < 100 && !w; ++i) {
    w = FindWindowW(L"VorlixApplication", NULL);
    if (!w) Sleep(100);
  }
  if (!w) {
    printf("skin request: no application window\n");
    return 1;
  }
  for (i = 0; i < (int)(sizeof cases / sizeof cases[0]); ++i) {
    LRESULT answer = -1;
    if (!send_request(w, cases[i].param, cases[i].magic, cases[i].size, &answer)) {
      printf("skin request: %s: not delivered\n", cases[i].what);
      failed = 1;
    } else if (answer != cases[i].want) {
      printf("skin request: %s: answered %ld, want %ld\n", cases[i].what, (long)answer,
             (long)cases[i].want);
      failed = 1;
    }
  }
  if (!failed) printf("skin request: all answers as expected\n");
  return failed;
}
