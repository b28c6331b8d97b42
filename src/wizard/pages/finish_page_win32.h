// The finish page: runs the chosen outputs when it is first painted after each activation.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "chart/chart_host_win32.h"
#include "common/owners_win32.h"
#include "wizard/pages/finish_page_rules.h"
#include "wizard/pages/page_shell.h"

class CFinishDialog : private FinishView {
public:
  CFinishDialog(PageShell& shell, const SiteTree& tree, ChartOptions& options)
      : shell(shell), tree(tree), options(options), host([&shell] { return shell.BrowserCommand(); }) {}
  HPROPSHEETPAGE CreatePage(HINSTANCE instance);

private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog(HWND window);
  INT_PTR OnNotify(const NMHDR& header);
  void OnPaint();
  void RunOutputs();

  // FinishView and ChartProgress
  void ShowStatus(int frame, int image, bool remember) override;
  void EnableClosingText(bool enable) override;
  void ShowWaitCursor() override;
  void RestoreCursor() override;
  void StartProgress(std::uint16_t highest) override;
  void StepProgress() override;
  void RaiseWizard() override;
  void RaisePage() override;
  void ShowFinishButtons() override;

  PageShell& shell;
  const SiteTree& tree;
  ChartOptions& options;
  HWND page = nullptr;
  HWND progress = nullptr;
  int lastStatusImage = -1;
  int lastStatusFrame = 0;
  ImageListOwner statusImages;  // bitmap 162's strip, white transparent
  bool runPending = false;
  HCURSOR savedCursor = nullptr;
  ChartHostWin32 host;
};
