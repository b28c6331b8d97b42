#include <windows.h>

#include "wizard/wizard_app_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  return TheApp().Run(instance, commandLine);
}
