// Retractor: runs the uninstall manifests named on its command line, then ends with 0.
#include <windows.h>
#include <commctrl.h>

#include "retractor/platform_win32.h"
#include "retractor/program_manager_win32.h"
#include "retractor/uninstaller_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  RegistryWin32 registry;
  FileSystemWin32 files;
  LibrariesWin32 libraries;
  WindowsWin32 windows;
  ProgramManagerWin32 progman(instance);
  UserInterfaceWin32 ui(instance);
  Platform platform{registry, files, libraries, windows, progman, ui};
  UninstallerApp app(platform);
  return app.Run(commandLine ? commandLine : "");
}
