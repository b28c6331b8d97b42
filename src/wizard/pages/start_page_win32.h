// The start page: the URL to read, its depth and limits, or a sitemap file to import.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "wizard/pages/page_shell.h"
#include "wizard/pages/start_settings.h"
#include "wizard/pages/wizard_flags.h"

class CStartDialog {
public:
  CStartDialog(PageShell& shell, StartSettings& settings, WizardFlags& flags)
      : shell(shell), settings(settings), flags(flags) {}
  HPROPSHEETPAGE CreatePage(HINSTANCE instance);

private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  BOOL OnInitDialog();
  INT_PTR OnNotify(const NMHDR& header);
  void OnCommand(int id, int code);
  void OnUrlChanged();
  void OnLimitPagesClicked();
  void OnImport();
  void OnPaint();

  void ShowFields();
  bool StoreFields();
  void ShowWizardButtons();

  PageShell& shell;
  StartSettings& settings;
  WizardFlags& flags;
  HWND window = nullptr;
  bool filling = false;  // the controls are being filled from the fields
};
