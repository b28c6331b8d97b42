#include "wizard/chart_options_page_win32.h"

#include "resource.h"
#include "wizard/wizard_app_win32.h"
#include "wizard/wizard_page_win32.h"

HPROPSHEETPAGE CChartOptionsDialog::CreatePage(HINSTANCE instance) {
  return CreateWizardPage(instance, IDD_CHART_OPTIONS_PAGE, DialogProc, this);
}

INT_PTR CALLBACK CChartOptionsDialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
  auto* page = PageOf<CChartOptionsDialog>(window, message, lParam);
  if (page && message == WM_NOTIFY) return page->OnNotify(window, *reinterpret_cast<NMHDR*>(lParam));
  return message == WM_INITDIALOG;
}

INT_PTR CChartOptionsDialog::OnNotify(HWND window, const NMHDR& header) {
  switch (header.code) {
    case PSN_SETACTIVE:
      PropSheet_SetWizButtons(GetParent(window), PSWIZB_BACK | PSWIZB_NEXT);
      return NotifyResult(window, 0);
    case PSN_HELP:
      TheApp().ShowHelp();
      return TRUE;
  }
  return FALSE;
}
