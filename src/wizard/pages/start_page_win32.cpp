#include "wizard/pages/start_page_win32.h"

#include <string>

#include "resources/pathloom/resource.h"
#include "wizard/pages/field_rules.h"
#include "wizard/pages/picture_win32.h"
#include "wizard/pages/sitemap_file_dialog_win32.h"
#include "wizard/pages/start_page_rules.h"
#include "wizard/pages/wizard_page_win32.h"

HPROPSHEETPAGE CStartDialog::CreatePage(HINSTANCE instance) {
  return CreateWizardPage(instance, IDD_START_PAGE, DialogProc, this);
}

INT_PTR CALLBACK CStartDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* page = PageOf<CStartDialog>(window, message, lParam);
  if (!page) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      page->window = window;
      return page->OnInitDialog();
    case WM_NOTIFY:
      return page->OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
      page->OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_PAINT:
      page->OnPaint();
      return TRUE;
    case WM_HELP:
      page->shell.ShowHelp();
      return TRUE;
  }
  return FALSE;
}

BOOL CStartDialog::OnInitDialog() {
  ShowFields();
  EnableWindow(GetDlgItem(window, IDC_PAGE_LIMIT), FALSE);
  SetFocus(GetDlgItem(window, IDC_START_URL));
  return FALSE;
}

INT_PTR CStartDialog::OnNotify(const NMHDR& header) {
  switch (header.code) {
    case PSN_SETACTIVE:
      ShowFields();
      ShowWizardButtons();
      return NotifyResult(window, 0);
    case PSN_KILLACTIVE:
      // Every way off the page stores the fields; a field that fails keeps the page.
      return NotifyResult(window, StoreFields() ? FALSE : TRUE);
    case PSN_WIZNEXT:
      flags.StartNext();
      return NotifyResult(window, 0);
    case PSN_HELP:
      shell.ShowHelp();
      return TRUE;
  }
  return FALSE;
}

void CStartDialog::OnCommand(int id, int code) {
  if (filling) return;
  switch (id) {
    case IDC_START_URL:
      if (code == EN_CHANGE) OnUrlChanged();
      break;
    case IDC_DEPTH:
      if (code == EN_CHANGE) settings.depth = shell.ClampEditValue(kDepthRange, GetDlgItem(window, id));
      break;
    case IDC_PAGE_LIMIT:
      if (code == EN_CHANGE)
        settings.pageLimit = shell.ClampEditValue(kPageLimitRange, GetDlgItem(window, id));
      break;
    case IDC_LIMIT_PAGES:
      if (code == BN_CLICKED) OnLimitPagesClicked();
      break;
    case IDC_IMPORT:
      if (code == BN_CLICKED) OnImport();
      break;
  }
}

// Only the URL is read here: storing every field as the user types would raise the other
// fields' messages on each keystroke and take the focus away from the URL.
void CStartDialog::OnUrlChanged() {
  settings.startUrl = ControlText(GetDlgItem(window, IDC_START_URL));
  ShowWizardButtons();
}

void CStartDialog::OnLimitPagesClicked() {
  settings.limitPages = IsChecked(window, IDC_LIMIT_PAGES);
  EnableWindow(GetDlgItem(window, IDC_PAGE_LIMIT), settings.limitPages);
}

void CStartDialog::OnImport() {
  std::optional<std::string> path = AskSitemapFile(shell.Wizard(), false);
  if (!path) return;
  settings.importPath = *path;
  HANDLE file = CreateFileA(path->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    shell.MessageBoxId(IDS_CANNOT_OPEN_FILE);
    return;
  }
  CloseHandle(file);
  flags.StartImport();
  // Leaving stores the fields; if that fails the page stays with the import still pending.
  PropSheet_SetCurSel(shell.Wizard(), nullptr, 1);
}

void CStartDialog::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  POINT at = ControlOrigin(GetDlgItem(window, IDC_START_PICTURE));
  DrawPicture(dc, at.x, at.y, shell.Instance(), IDB_START_24, IDB_START_8);
  EndPaint(window, &paint);
}

void CStartDialog::ShowFields() {
  filling = true;
  SetDlgItemTextA(window, IDC_START_URL, settings.startUrl.c_str());
  CheckDlgButton(window, IDC_STAY_IN_DOMAIN, settings.stayInDomain ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(window, IDC_LINKS_ONCE, settings.linksOnce ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextA(window, IDC_PAGE_LIMIT, std::to_string(settings.pageLimit).c_str());
  CheckDlgButton(window, IDC_LIMIT_PAGES, settings.limitPages ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextA(window, IDC_DEPTH, std::to_string(settings.depth).c_str());
  filling = false;
}

bool CStartDialog::StoreFields() {
  StartPageFields fields;
  fields.startUrl = ControlText(GetDlgItem(window, IDC_START_URL));
  fields.stayInDomain = IsChecked(window, IDC_STAY_IN_DOMAIN);
  fields.linksOnce = IsChecked(window, IDC_LINKS_ONCE);
  fields.pageLimit = ControlText(GetDlgItem(window, IDC_PAGE_LIMIT));
  fields.limitPages = IsChecked(window, IDC_LIMIT_PAGES);
  fields.depth = ControlText(GetDlgItem(window, IDC_DEPTH));
  StartField failed = StoreStartFields(fields, settings);
  if (failed == StartField::None) return true;
  HWND field = GetDlgItem(window, failed == StartField::Depth ? IDC_DEPTH : IDC_PAGE_LIMIT);
  shell.MessageBoxText(kEnterInteger);
  SetFocus(field);
  SendMessageA(field, EM_SETSEL, 0, -1);
  return false;
}

void CStartDialog::ShowWizardButtons() {
  PropSheet_SetWizButtons(GetParent(window), StartNextEnabled(settings) ? PSWIZB_NEXT : 0);
}
