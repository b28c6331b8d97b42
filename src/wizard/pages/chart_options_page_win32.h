// The chart options page: what the finish page produces, and how.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "chart/chart_options.h"
#include "wizard/pages/page_shell.h"
#include "wizard/pages/picture_win32.h"
#include "wizard/pages/wizard_flags.h"

class CChartOptionsDialog {
public:
  CChartOptionsDialog(PageShell& shell, ChartOptions& options, WizardFlags& flags)
      : shell(shell), options(options), flags(flags) {}
  HPROPSHEETPAGE CreatePage(HINSTANCE instance);

private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  BOOL OnInitDialog();
  INT_PTR OnNotify(const NMHDR& header);
  void OnCommand(int id, int code);
  void OnGenerateFlowchartClicked();
  void OnSaveSitemapClicked();
  void OnBrowse();
  void OnPictureClick(int x, int y);
  void OnPaint();

  void ShowFields();
  bool StoreFields();

  PageShell& shell;
  ChartOptions& options;
  WizardFlags& flags;
  HWND window = nullptr;
  TransparentPictures pictures;
};
