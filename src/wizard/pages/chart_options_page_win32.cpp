#include "wizard/pages/chart_options_page_win32.h"

#include <windowsx.h>

#include <string>

#include "resources/pathloom/resource.h"
#include "wizard/pages/chart_options_page_rules.h"
#include "wizard/pages/field_rules.h"
#include "wizard/pages/sitemap_file_dialog_win32.h"
#include "wizard/pages/wizard_page_win32.h"

namespace {

const UINT kOrientationPictures[] = {IDB_ORIENT_HORIZONTAL, IDB_ORIENT_VERTICAL, IDB_ORIENT_ORG_CHART};
const int kPictureFrames[] = {IDC_HORIZONTAL_PICTURE, IDC_VERTICAL_PICTURE, IDC_ORG_CHART_PICTURE};
const int kOrientationButtons[] = {IDC_HORIZONTAL, IDC_VERTICAL, IDC_ORG_CHART};
// The colour group counts in the order of its buttons on the page.
const int kColorButtons[] = {IDC_COLOR_DOMAINS, IDC_COLOR_DUPLICATES, IDC_COLOR_DEPTH, IDC_COLOR_NONE};
// What "Generate Flowchart" switches, in this order; it stays enabled itself.
const int kFlowchartControls[] = {IDC_HORIZONTAL_SPACING, IDC_VERTICAL_SPACING, IDC_HORIZONTAL, IDC_VERTICAL,
                                  IDC_ORG_CHART, IDC_COLOR_DOMAINS, IDC_COLOR_DUPLICATES, IDC_COLOR_DEPTH,
                                  IDC_COLOR_NONE, IDC_CHART_DUPLICATE_CHILDREN};

template <size_t N>
int CheckedIndex(HWND window, const int (&buttons)[N], int none) {
  for (size_t i = 0; i < N; ++i)
    if (IsChecked(window, buttons[i])) return static_cast<int>(i);
  return none;
}

template <size_t N>
void CheckIndex(HWND window, const int (&buttons)[N], int index) {
  for (size_t i = 0; i < N; ++i)
    CheckDlgButton(window, buttons[i], static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

HPROPSHEETPAGE CChartOptionsDialog::CreatePage(HINSTANCE instance) {
  return CreateWizardPage(instance, IDD_CHART_OPTIONS_PAGE, DialogProc, this);
}

INT_PTR CALLBACK CChartOptionsDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* page = PageOf<CChartOptionsDialog>(window, message, lParam);
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
    case WM_LBUTTONUP:
      page->OnPictureClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
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

BOOL CChartOptionsDialog::OnInitDialog() {
  ShowFields();
  EnableWindow(GetDlgItem(window, IDC_SITEMAP_FILE), FALSE);
  EnableWindow(GetDlgItem(window, IDC_BROWSE), FALSE);
  for (int i = 0; i < 3; ++i) {
    pictures.Add(shell.Instance(), kOrientationPictures[i], 50, 50);
    // Dialog units follow the font; the click areas are fixed pixels, so the frames go to them.
    SetWindowPos(GetDlgItem(window, kPictureFrames[i]), nullptr, kOrientationAreas[i].left, kOrientationAreas[i].top,
                 50, 50, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return TRUE;
}

INT_PTR CChartOptionsDialog::OnNotify(const NMHDR& header) {
  switch (header.code) {
    case PSN_SETACTIVE:
      ShowFields();
      PropSheet_SetWizButtons(GetParent(window), PSWIZB_BACK | PSWIZB_NEXT);
      return NotifyResult(window, 0);
    case PSN_KILLACTIVE:
      return NotifyResult(window, StoreFields() ? FALSE : TRUE);
    case PSN_WIZBACK:
      flags.ChartOptionsBack();
      return NotifyResult(window, 0);
    case PSN_WIZNEXT:
      if (!StoreFields()) return NotifyResult(window, -1);
      flags.ChartOptionsNext();
      // The finish page runs at once and sets its own buttons when it is done.
      PropSheet_SetWizButtons(GetParent(window), 0);
      return NotifyResult(window, 0);
    case PSN_HELP:
      shell.ShowHelp();
      return TRUE;
  }
  return FALSE;
}

void CChartOptionsDialog::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_GENERATE_FLOWCHART:
      OnGenerateFlowchartClicked();
      break;
    case IDC_SAVE_SITEMAP:
      OnSaveSitemapClicked();
      break;
    case IDC_BROWSE:
      OnBrowse();
      break;
  }
}

// A click reads its own check box only: a spacing that fails to store must not leave the
// controls switched against the box's new state.
void CChartOptionsDialog::OnGenerateFlowchartClicked() {
  options.generateFlowchart = IsChecked(window, IDC_GENERATE_FLOWCHART);
  for (int id : kFlowchartControls) EnableWindow(GetDlgItem(window, id), options.generateFlowchart);
}

void CChartOptionsDialog::OnSaveSitemapClicked() {
  options.saveSitemap = IsChecked(window, IDC_SAVE_SITEMAP);
  EnableWindow(GetDlgItem(window, IDC_SITEMAP_FILE), options.saveSitemap);
  EnableWindow(GetDlgItem(window, IDC_BROWSE), options.saveSitemap);
}

void CChartOptionsDialog::OnBrowse() {
  std::optional<std::string> path = AskSitemapFile(shell.Wizard(), true);
  if (!path) return;
  options.sitemapFileName = *path;
  SetDlgItemTextA(window, IDC_SITEMAP_FILE, path->c_str());
}

void CChartOptionsDialog::OnPictureClick(int x, int y) {
  std::optional<int> orientation = OrientationAt(x, y);
  if (!orientation) return;
  options.orientation = *orientation;
  CheckIndex(window, kOrientationButtons, *orientation);
}

void CChartOptionsDialog::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  for (int i = 0; i < 3; ++i) {
    POINT at = ControlOrigin(GetDlgItem(window, kPictureFrames[i]));
    pictures.Draw(i, dc, at.x, at.y);
  }
  EndPaint(window, &paint);
}

void CChartOptionsDialog::ShowFields() {
  CheckIndex(window, kColorButtons, options.colorMode);
  CheckIndex(window, kOrientationButtons, options.orientation);
  CheckDlgButton(window, IDC_CHART_DUPLICATE_CHILDREN, options.chartDuplicateChildren ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextA(window, IDC_HORIZONTAL_SPACING, FormatNumberField(options.horizontalSpacing).c_str());
  SetDlgItemTextA(window, IDC_VERTICAL_SPACING, FormatNumberField(options.verticalSpacing).c_str());
  CheckDlgButton(window, IDC_GENERATE_FLOWCHART, options.generateFlowchart ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(window, IDC_SAVE_SITEMAP, options.saveSitemap ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextA(window, IDC_SITEMAP_FILE, options.sitemapFileName.c_str());
}

bool CChartOptionsDialog::StoreFields() {
  ChartOptionsFields fields;
  fields.colorMode = CheckedIndex(window, kColorButtons, options.colorMode);
  fields.orientation = CheckedIndex(window, kOrientationButtons, options.orientation);
  fields.chartDuplicateChildren = IsChecked(window, IDC_CHART_DUPLICATE_CHILDREN);
  fields.horizontalSpacing = ControlText(GetDlgItem(window, IDC_HORIZONTAL_SPACING));
  fields.verticalSpacing = ControlText(GetDlgItem(window, IDC_VERTICAL_SPACING));
  fields.generateFlowchart = IsChecked(window, IDC_GENERATE_FLOWCHART);
  fields.saveSitemap = IsChecked(window, IDC_SAVE_SITEMAP);
  fields.sitemapFileName = ControlText(GetDlgItem(window, IDC_SITEMAP_FILE));
  ChartOptionsStore store = StoreChartOptions(fields, options);
  if (store.field == ChartOptionsStore::Field::None) return true;
  if (store.outOfRange)
    shell.MessageBoxId(IDS_SPACING_RANGE);
  else
    shell.MessageBoxText(kEnterNumber);
  HWND field = GetDlgItem(window, store.field == ChartOptionsStore::Field::HorizontalSpacing ? IDC_HORIZONTAL_SPACING
                                                                                              : IDC_VERTICAL_SPACING);
  SetFocus(field);
  SendMessageA(field, EM_SETSEL, 0, -1);
  return false;
}
