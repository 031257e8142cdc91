// Stands in for the browser in the test prefix: registered as the opener of https addresses, it writes what it was
// asked to open, and the show command it was given, to the file named by its first argument.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  STARTUPINFOA si = {sizeof si};
  GetStartupInfoA(&si);
  const int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1;
  FILE* f = std::fopen(argv[1], "ab");
  if (!f) return 1;
  std::fprintf(f, "%s|%d\n", argv[2], show);
  std::fclose(f);
  return 0;
}
