#include "wizard/start_page_win32.h"

#include "resource.h"
#include "wizard/wizard_app_win32.h"
#include "wizard/wizard_page_win32.h"

HPROPSHEETPAGE CStartDialog::CreatePage(HINSTANCE instance) {
  return CreateWizardPage(instance, IDD_START_PAGE, DialogProc, this);
}

INT_PTR CALLBACK CStartDialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
  auto* page = PageOf<CStartDialog>(window, message, lParam);
  if (page && message == WM_NOTIFY) return page->OnNotify(window, *reinterpret_cast<NMHDR*>(lParam));
  return message == WM_INITDIALOG;
}

INT_PTR CStartDialog::OnNotify(HWND window, const NMHDR& header) {
  switch (header.code) {
    case PSN_SETACTIVE:
      PropSheet_SetWizButtons(GetParent(window), PSWIZB_NEXT);
      return NotifyResult(window, 0);
    case PSN_HELP:
      TheApp().ShowHelp();
      return TRUE;
  }
  return FALSE;
}
