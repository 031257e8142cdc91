// Stands in for the browser in the test prefix: appends the address it was
// asked to open, one per line, to opened_urls.txt beside itself.
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int show) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  char* slash = strrchr(path, '\\');
  if (slash) strcpy(slash + 1, "opened_urls.txt");
  if (FILE* f = fopen(path, "ab")) {
    // The show command tells whether the page was asked for maximised.
    fprintf(f, "%s|%d\n", cmdLine, show);
    fclose(f);
  }
  return 0;
}
