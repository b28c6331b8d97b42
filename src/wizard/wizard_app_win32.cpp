#include "wizard/wizard_app_win32.h"

#include <commctrl.h>
#include <ole2.h>
#include <prsht.h>

#include "resources/pathloom/resource.h"
#include "wizard/default_browser_win32.h"
#include "wizard/pages/field_rules.h"
#include "wizard/pages/wizard_page_win32.h"
#include "wizard/wizard_rules.h"

namespace {

// OLE stays initialised for the program's whole run.
struct OleSession {
  bool ok = SUCCEEDED(OleInitialize(nullptr));
  ~OleSession() {
    if (ok) OleUninitialize();
  }
};

void CentreOnScreen(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The sheet's callbacks take no context of their own.
CWizardApp* runningApp = nullptr;
WNDPROC sheetProc = nullptr;

// The help key pressed on the wizard's own buttons reaches the sheet, not a page. Subclassed by
// hand: older common controls export SetWindowSubclass by ordinal only.
LRESULT CALLBACK SheetHelpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HELP) {
    if (runningApp) runningApp->ShowHelp();
    return TRUE;
  }
  return CallWindowProcA(sheetProc, window, message, wParam, lParam);
}

int CALLBACK SheetCallback(HWND window, UINT message, LPARAM) {
  if (message == PSCB_INITIALIZED) {
    if (runningApp) runningApp->SetWizard(window);
    sheetProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetHelpProc)));
    CentreOnScreen(window);
  }
  return 0;
}

}  // namespace

int CWizardApp::MessageBoxText(const std::string& text, UINT style) {
  return MessageBoxA(wizard, text.c_str(), StringText(IDS_APP_TITLE), style);
}

int CWizardApp::MessageBoxId(UINT id, UINT style) { return MessageBoxText(StringText(int(id)), style); }

void CWizardApp::ShowFileError(const std::string& path) {
  MessageBoxText("A read or write error occurred on the file " + path + ".", MB_ICONEXCLAMATION);
}

int CWizardApp::ClampEditValue(const FieldRange& range, HWND edit) {
  ClampedField field = ClampFieldText(ControlText(edit), range.lowest, range.highest);
  if (!field.correctedText.empty()) {
    // Setting the text is itself a change of the field; that nested check finds it in range.
    SetWindowTextA(edit, field.correctedText.c_str());
    SendMessageA(edit, EM_SETSEL, field.correctedText.size(), field.correctedText.size());
    MessageBoxId(static_cast<UINT>(range.messageId));
  }
  return field.value;
}

std::string CWizardApp::BrowserCommand() const { return DefaultBrowserCommand(); }

void CWizardApp::ShowHelp() {
  std::string browser = BrowserCommand();
  if (browser.empty()) {
    MessageBoxId(IDS_NO_BROWSER);
    return;
  }
  if (WinExec(HelpCommandLine(browser, startDirectory).c_str(), SW_SHOWNORMAL) <= 31) MessageBoxId(IDS_BROWSER_FAILED);
}

int CWizardApp::Run(HINSTANCE hInstance, const char* commandLine) {
  instance = hInstance;
  runningApp = this;
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

  HPROPSHEETPAGE pages[] = {startPage.CreatePage(instance), treePage.CreatePage(instance),
                            chartOptionsPage.CreatePage(instance), finishPage.CreatePage(instance)};
  std::string title = StringText(IDS_APP_TITLE);
  PROPSHEETHEADERA sheet = {};
  sheet.dwSize = sizeof sheet;
  sheet.dwFlags = PSH_WIZARD | PSH_HASHELP | PSH_USECALLBACK;
  sheet.hInstance = instance;
  sheet.pszCaption = title.c_str();
  sheet.nPages = 4;
  sheet.nStartPage = 0;
  sheet.phpage = pages;
  sheet.pfnCallback = SheetCallback;
  PropertySheetA(&sheet);
  wizard = nullptr;
  runningApp = nullptr;
  return 0;
}
