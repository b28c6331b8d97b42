// What every wizard page shares: its creation from a dialog template and the way its static
// dialog procedure finds the page object again.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <string>

// A wizard page with a Help button whose dialog procedure receives `page` at WM_INITDIALOG.
HPROPSHEETPAGE CreateWizardPage(HINSTANCE instance, int dialog, DLGPROC procedure, void* page);

// The page object of a page window: stored at WM_INITDIALOG, null for the few messages before it.
template <class Page>
Page* PageOf(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG)
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
  return reinterpret_cast<Page*>(GetWindowLongPtrA(window, DWLP_USER));
}

// Answers a notification from a dialog procedure: the result goes through DWLP_MSGRESULT.
INT_PTR NotifyResult(HWND window, LONG_PTR result);

// Whether a check box or radio button of the page is checked.
inline bool IsChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

// The text of a control (of any length).
std::string ControlText(HWND control);
