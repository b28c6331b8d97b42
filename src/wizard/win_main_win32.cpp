#include <windows.h>

#include "wizard/wizard_app_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  static CWizardApp app;
  return app.Run(instance, commandLine);
}
