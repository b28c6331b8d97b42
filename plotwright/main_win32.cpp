// Plotwright.exe: registers or removes the automation server, or runs it with its window.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "plotwright/numbered_text_win32.h"
#include "plotwright/resource.h"
#include "plotwright/server_win32.h"
#include "plotwright/view_win32.h"

namespace {

bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

class ComApartment {
public:
  ComApartment() : initResult(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(initResult)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  HRESULT result() const { return initResult; }

private:
  HRESULT initResult;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  ServerState& server = Server();
  server.options = ParseCommandLine(commandLine);
  const ServerOptions& options = server.options;
  // Registration is silent, as installers expect; failures go to the error output.
  if (options.regServer || options.unregServer) {
    ComApartment com;
    std::string error;
    bool ok = options.regServer ? RegisterServer(options, &error) : UnregisterServer(&error);
    if (!ok) std::fprintf(stderr, "Plotwright: %s\n", error.c_str());
    return ok ? 0 : 1;
  }
  if (!options.errors.empty() && !options.embedding) {
    std::string format = LoadText(IDS_BAD_SWITCH);
    char text[2048];
    std::snprintf(text, sizeof text, format.c_str(), options.errors.front().c_str());
    MessageBoxA(nullptr, text, "Plotwright", MB_OK | MB_ICONEXCLAMATION);
    return 2;
  }

  ComApartment com;
  if (FAILED(com.result())) return 1;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  if (!options.journal.empty()) server.journal = std::make_unique<JournalFile>(options.journal);
  server.lastActivity = GetTickCount();

  // One window for the life of the process, also when it ends: the COM apartment goes after it.
  static PlotView view;
  server.observer = &view;
  // Started for a client, the window comes up without taking the focus from it.
  if (!view.Create(instance, options.embedding ? SW_SHOWNOACTIVATE : show)) return 1;
  server.mainWindow = view.window();

  HRESULT offered = OfferClassObject();
  if (FAILED(offered)) {
    char text[256];
    std::snprintf(text, sizeof text, LoadText(IDS_NO_CLASS).c_str(), static_cast<unsigned long>(offered));
    MessageBoxA(view.window(), text, "Plotwright", MB_OK | MB_ICONEXCLAMATION);
  }

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsInput(msg.message)) server.lastActivity = GetTickCount();
    if (!TranslateAcceleratorA(view.window(), view.accelerators(), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  WithdrawClassObject();
  return 0;
}
