#include "sitetree/tree_page_win32.h"

#include "resource.h"
#include "wizard/wizard_app_win32.h"
#include "wizard/wizard_page_win32.h"

HPROPSHEETPAGE CTreeDialog::CreatePage(HINSTANCE instance) {
  return CreateWizardPage(instance, IDD_TREE_PAGE, DialogProc, this);
}

INT_PTR CALLBACK CTreeDialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
  auto* page = PageOf<CTreeDialog>(window, message, lParam);
  if (page && message == WM_NOTIFY) return page->OnNotify(window, *reinterpret_cast<NMHDR*>(lParam));
  return message == WM_INITDIALOG;
}

INT_PTR CTreeDialog::OnNotify(HWND window, const NMHDR& header) {
  switch (header.code) {
    case PSN_SETACTIVE:
      PropSheet_SetWizButtons(GetParent(window), PSWIZB_BACK | PSWIZB_NEXT);
      return NotifyResult(window, 0);
    case PSN_WIZBACK:
      TheApp().rebuildTree = false;
      return NotifyResult(window, 0);
    case PSN_WIZNEXT:
      TheApp().rebuildTree = true;
      return NotifyResult(window, 0);
    case PSN_HELP:
      TheApp().ShowHelp();
      return TRUE;
  }
  return FALSE;
}
