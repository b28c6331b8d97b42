// Retractor: runs the uninstall manifests named on its command line, then ends with 0.
#include <windows.h>
#include <commctrl.h>

#include "uninstaller/platform_win32.h"
#include "uninstaller/progman_client_win32.h"
#include "uninstaller/uninstaller_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  retractor::RegistryWin32 registry;
  retractor::FileSystemWin32 files;
  retractor::LibrariesWin32 libraries;
  retractor::WindowsWin32 windows;
  retractor::ProgmanClient progman(instance);
  retractor::UserInterfaceWin32 ui(instance);
  retractor::Platform platform{registry, files, libraries, windows, progman, ui};
  retractor::UninstallerApp app(platform);
  return app.Run(commandLine ? commandLine : "");
}
