#include "chart/chart_host_win32.h"

#include <windows.h>

#include "chart/dispatch_win32.h"

DispatchPtr ChartHostWin32::CreateApplication(const std::string& progId) { return CreateAutomationObject(progId); }

void ChartHostWin32::RaiseWindow(std::int32_t window) {
  // The handle arrives as the application's 32-bit property value.
  HWND handle = reinterpret_cast<HWND>(static_cast<INT_PTR>(window));
  if (IsWindow(handle)) SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void ChartHostWin32::EndProcess(int exitCode) { ExitProcess(UINT(exitCode)); }
