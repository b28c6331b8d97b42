#include "wizard/pages/wizard_page_win32.h"

HPROPSHEETPAGE CreateWizardPage(HINSTANCE instance, int dialog, DLGPROC procedure, void* page) {
  PROPSHEETPAGEA sheetPage = {};
  sheetPage.dwSize = sizeof sheetPage;
  sheetPage.dwFlags = PSP_HASHELP;
  sheetPage.hInstance = instance;
  sheetPage.pszTemplate = MAKEINTRESOURCEA(dialog);
  sheetPage.pfnDlgProc = procedure;
  sheetPage.lParam = reinterpret_cast<LPARAM>(page);
  return CreatePropertySheetPageA(&sheetPage);
}

INT_PTR NotifyResult(HWND window, LONG_PTR result) {
  SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
  return TRUE;
}

std::string ControlText(HWND control) {
  int length = GetWindowTextLengthA(control);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), length + 1)));
  return text;
}
