// The chart options page: what the finish page produces, and how.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "chart/chart_options.h"

class CChartOptionsDialog {
public:
  HPROPSHEETPAGE CreatePage(HINSTANCE instance);

  ChartOptions options;

private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnNotify(HWND window, const NMHDR& header);
};
