// A running application for the "A" check: one top-level window of a given class and title.
//   retractor_app_window CLASS TITLE...
#include <windows.h>

#include <string>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  std::string line = commandLine;
  std::size_t space = line.find(' ');
  std::string className = line.substr(0, space);
  std::string title = space == std::string::npos ? std::string() : line.substr(space + 1);
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = className.c_str();
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassA(&windowClass);
  CreateWindowA(className.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 120,
                              nullptr, nullptr, instance, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
