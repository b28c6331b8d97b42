#include "retractor/platform_win32.h"

namespace {

BOOL CALLBACK VisitTitle(HWND window, LPARAM param) {
  auto& visit = *reinterpret_cast<const std::function<bool(const std::string&)>*>(param);
  char title[MAX_PATH] = "";
  GetWindowTextA(window, title, sizeof title);
  return visit(title) ? TRUE : FALSE;
}

}  // namespace

OsVersion WindowsWin32::GetVersion() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  OsVersion version;
  if (GetVersionExA(&info)) {
    version.major = info.dwMajorVersion;
    version.platformId = info.dwPlatformId;
  }
  return version;
}

bool WindowsWin32::FindWindowOfClass(const std::string& className, std::string* title) {
  HWND window = FindWindowA(className.c_str(), nullptr);
  if (!window) return false;
  char text[MAX_PATH] = "";
  GetWindowTextA(window, text, sizeof text);
  *title = text;
  return true;
}

void WindowsWin32::EnumWindowTitles(const std::function<bool(const std::string&)>& visit) {
  EnumWindows(VisitTitle, reinterpret_cast<LPARAM>(&visit));
}

void WindowsWin32::BroadcastFontChange() { SendMessageA(HWND_BROADCAST, WM_FONTCHANGE, 0, 0); }
