// A stand-in browser: writes its whole command line to the file named like itself plus ".txt".
// A windows program, as a browser is: a console program started from a window would first have
// a console made for it.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH + 4] = "";
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  lstrcpyA(path + length, ".txt");
  FILE* file = fopen(path, "wb");
  if (!file) return 1;
  fputs(GetCommandLineA(), file);
  fclose(file);
  return 0;
}
