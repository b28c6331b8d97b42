#include "wizard/pages/finish_page_win32.h"

#include "resources/pathloom/bitmap_ids.h"
#include "resources/pathloom/resource.h"
#include "wizard/pages/picture_win32.h"
#include "wizard/pages/wizard_page_win32.h"

namespace {

constexpr int kStatusWidth = 130;
constexpr int kStatusHeight = 50;
constexpr int kStatusCount = 8;

}  // namespace

HPROPSHEETPAGE CFinishDialog::CreatePage(HINSTANCE instance) {
  return CreateWizardPage(instance, IDD_FINISH_PAGE, DialogProc, this);
}

INT_PTR CALLBACK CFinishDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = PageOf<CFinishDialog>(window, message, lParam);
  if (!self) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      self->OnInitDialog(window);
      return TRUE;
    case WM_NOTIFY:
      return self->OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_PAINT:
      self->OnPaint();
      return TRUE;
    case WM_SHOWWINDOW:
      // Painted as soon as it is seen: the run starts from that paint.
      if (wParam) InvalidateRect(window, nullptr, TRUE);
      return FALSE;
  }
  return FALSE;
}

void CFinishDialog::OnInitDialog(HWND window) {
  page = window;
  progress = GetDlgItem(window, IDC_PROGRESS);
  // Without the strip the statuses draw nothing; the run itself does not depend on them.
  statusImages.reset(ImageList_Create(kStatusWidth, kStatusHeight, ILC_COLOR24 | ILC_MASK, kStatusCount, 0));
  GdiOwner<HBITMAP> strip(
      static_cast<HBITMAP>(LoadImageA(shell.Instance(), MAKEINTRESOURCEA(IDB_STATUS), IMAGE_BITMAP, 0, 0, 0)));
  if (statusImages && strip) ImageList_AddMasked(statusImages.get(), strip.get(), RGB(255, 255, 255));
}

INT_PTR CFinishDialog::OnNotify(const NMHDR& header) {
  switch (header.code) {
    case PSN_SETACTIVE:
      lastStatusImage = -1;
      PropSheet_SetWizButtons(GetParent(page), PSWIZB_BACK | PSWIZB_DISABLEDFINISH);
      // The run starts at the first paint; until it ends, the page must not read as ended.
      EnableClosingText(false);
      runPending = true;
      return NotifyResult(page, 0);
    case PSN_WIZBACK:
      PropSheet_SetWizButtons(GetParent(page), PSWIZB_BACK | PSWIZB_NEXT);
      return NotifyResult(page, 0);
    case PSN_WIZFINISH:
      return NotifyResult(page, FALSE);
    case PSN_HELP:
      shell.ShowHelp();
      return TRUE;
  }
  return FALSE;
}

void CFinishDialog::OnPaint() {
  PAINTSTRUCT paint;
  BeginPaint(page, &paint);
  EndPaint(page, &paint);
  // The pictures go into the frames, so the frames paint themselves first.
  RedrawWindow(page, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  ShowStatus(kFrameLoading, 1, false);
  ShowStatus(kFrameChart, 3, false);
  ShowStatus(kFrameSitemap, 5, false);
  ShowStatus(kFrameDone, 7, false);
  if (lastStatusImage != -1) ShowStatus(lastStatusFrame, lastStatusImage, true);
  WindowDc frame(GetDlgItem(page, IDC_FINISH_PICTURE));
  if (frame.get()) DrawPicture(frame.get(), 0, 0, shell.Instance(), IDB_FINISH_24, IDB_FINISH_8);
  if (runPending) {
    runPending = false;
    RunOutputs();
  }
}

void CFinishDialog::RunOutputs() {
  ::RunOutputs(*this, host, shell, {tree, tree.TopOfChart(), options, shell.StartDirectory()});
}

void CFinishDialog::ShowStatus(int frame, int image, bool remember) {
  WindowDc dc(GetDlgItem(page, frame));
  if (dc.get() && statusImages && image < ImageList_GetImageCount(statusImages.get()))
    ImageList_Draw(statusImages.get(), image, dc.get(), 0, 0, ILD_TRANSPARENT);
  if (remember) {
    lastStatusImage = image;
    lastStatusFrame = frame;
  }
}

void CFinishDialog::EnableClosingText(bool enable) { EnableWindow(GetDlgItem(page, IDC_FINISH_TEXT), enable); }

void CFinishDialog::ShowWaitCursor() { savedCursor = SetCursor(LoadCursor(nullptr, IDC_WAIT)); }

void CFinishDialog::RestoreCursor() { SetCursor(savedCursor); }

void CFinishDialog::StartProgress(std::uint16_t highest) {
  SendMessageA(progress, PBM_SETRANGE32, 0, highest);
  SendMessageA(progress, PBM_SETPOS, 0, 0);
}

void CFinishDialog::StepProgress() { SendMessageA(progress, PBM_DELTAPOS, 1, 0); }

void CFinishDialog::RaiseWizard() {
  HWND wizard = GetParent(page);
  SetForegroundWindow(wizard);
  RedrawWindow(wizard, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// The page comes to the top inside the wizard; the flowchart application's window, raised by
// the chart's end, stays in front for the user to look at.
void CFinishDialog::RaisePage() { BringWindowToTop(page); }

void CFinishDialog::ShowFinishButtons() { PropSheet_SetWizButtons(GetParent(page), PSWIZB_BACK | PSWIZB_FINISH); }

