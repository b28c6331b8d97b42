#include "chart/finish_page_win32.h"

#include "resource.h"
#include "wizard/wizard_app_win32.h"
#include "wizard/wizard_page_win32.h"

HPROPSHEETPAGE CFinishDialog::CreatePage(HINSTANCE instance) {
  return CreateWizardPage(instance, IDD_FINISH_PAGE, DialogProc, this);
}

INT_PTR CALLBACK CFinishDialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
  auto* page = PageOf<CFinishDialog>(window, message, lParam);
  if (page && message == WM_NOTIFY) return page->OnNotify(window, *reinterpret_cast<NMHDR*>(lParam));
  return message == WM_INITDIALOG;
}

INT_PTR CFinishDialog::OnNotify(HWND window, const NMHDR& header) {
  switch (header.code) {
    case PSN_SETACTIVE:
      PropSheet_SetWizButtons(GetParent(window), PSWIZB_BACK | PSWIZB_FINISH);
      return NotifyResult(window, 0);
    case PSN_HELP:
      TheApp().ShowHelp();
      return TRUE;
  }
  return FALSE;
}
