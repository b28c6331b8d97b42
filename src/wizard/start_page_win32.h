// The start page: the URL to read, its depth and limits, or a sitemap file to import.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "wizard/start_settings.h"

class CStartDialog {
public:
  HPROPSHEETPAGE CreatePage(HINSTANCE instance);

  StartSettings settings;

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

  HWND window = nullptr;
  bool filling = false;  // the controls are being filled from the fields
};
