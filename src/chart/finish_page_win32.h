// The finish page: runs the chosen outputs. An empty page until the chart run lands.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

class CFinishDialog {
public:
  HPROPSHEETPAGE CreatePage(HINSTANCE instance);

private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnNotify(HWND window, const NMHDR& header);
};
