#include "wizard/wizard_app_win32.h"

#include <commctrl.h>
#include <ole2.h>
#include <prsht.h>

#include "resource.h"
#include "wizard/wizard_rules.h"

namespace {

struct PageInfo {
  int dialog;
  DWORD buttons;  // wizard buttons while the page is active
};

const PageInfo kPages[] = {
    {IDD_START_PAGE, PSWIZB_NEXT},
    {IDD_TREE_PAGE, PSWIZB_BACK | PSWIZB_NEXT},
    {IDD_CHART_OPTIONS_PAGE, PSWIZB_BACK | PSWIZB_NEXT},
    {IDD_FINISH_PAGE, PSWIZB_BACK | PSWIZB_FINISH},
};

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* sheetPage = reinterpret_cast<PROPSHEETPAGEA*>(lParam);
      SetWindowLongPtrA(page, DWLP_USER, sheetPage->lParam);
      TheApp().wizard = GetParent(page);
      return TRUE;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->code == PSN_SETACTIVE) {
        auto index = static_cast<size_t>(GetWindowLongPtrA(page, DWLP_USER));
        PropSheet_SetWizButtons(GetParent(page), kPages[index].buttons);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      break;
    }
  }
  return FALSE;
}

// OLE stays initialised for the program's whole run.
struct OleSession {
  bool ok = SUCCEEDED(OleInitialize(nullptr));
  ~OleSession() {
    if (ok) OleUninitialize();
  }
};

}  // namespace

CWizardApp& TheApp() {
  static CWizardApp app;
  return app;
}

std::string CWizardApp::LoadText(UINT id) const {
  char buffer[1024];
  int length = LoadStringA(instance, id, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? length : 0);
}

int CWizardApp::MessageBoxId(UINT id, UINT style) {
  return MessageBoxA(wizard, LoadText(id).c_str(), LoadText(IDS_APP_TITLE).c_str(), style);
}

int CWizardApp::Run(HINSTANCE hInstance, const char* commandLine) {
  instance = hInstance;
  OleSession ole;
  if (!ole.ok) {
    MessageBoxId(IDS_OLE_INIT_FAILED);
    return 0;
  }
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  // We offer no OLE objects of our own: started as a server, there is nothing to do.
  if (IsOleServerCommandLine(commandLine ? commandLine : "")) return 0;

  char current[MAX_PATH + 1] = "";
  GetCurrentDirectoryA(sizeof current, current);
  startDirectory = StartDirectoryFrom(current);

  PROPSHEETPAGEA pages[4] = {};
  for (size_t i = 0; i < 4; ++i) {
    pages[i].dwSize = sizeof(PROPSHEETPAGEA);
    pages[i].hInstance = instance;
    pages[i].pszTemplate = MAKEINTRESOURCEA(kPages[i].dialog);
    pages[i].pfnDlgProc = PageProc;
    pages[i].lParam = static_cast<LPARAM>(i);
  }
  std::string title = LoadText(IDS_APP_TITLE);
  PROPSHEETHEADERA sheet = {};
  sheet.dwSize = sizeof sheet;
  sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_HASHELP;
  sheet.hInstance = instance;
  sheet.pszCaption = title.c_str();
  sheet.nPages = 4;
  sheet.nStartPage = 0;
  sheet.ppsp = pages;
  PropertySheetA(&sheet);
  return 0;
}
