#include "retractor/progress_window_win32.h"

#include <commctrl.h>

#include "resources/retractor/resource.h"

namespace {

// No message loop runs during a manifest, so every change is painted at once.
class ProgressWindowWin32 : public ProgressWindow {
public:
  explicit ProgressWindowWin32(HWND window) : dialog(window) {}
  ~ProgressWindowWin32() override {
    if (dialog) DestroyWindow(dialog);
  }
  void ShowText(const std::string& text) override {
    Flush();
    SetDlgItemTextA(dialog, IDC_PROGRESS_TEXT, text.c_str());
    UpdateWindow(GetDlgItem(dialog, IDC_PROGRESS_TEXT));
  }
  void SetStep(int step) override { SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETSTEP, step, 0); }
  // Under Wine each step of the bar costs a server round trip (a millisecond or two, as
  // much as a command), so steps are handed to the bar in batches at most every 50 ms.
  void Step() override {
    ++pendingSteps;
    if (GetTickCount() - lastPaint >= kPaintInterval) Flush();
  }
  // Batched steps are shown before the text changes and when the window comes back to the top.
  void BringToTop() override {
    Flush();
    BringWindowToTop(dialog);
  }

private:
  void Flush() {
    if (pendingSteps > 0) {
      HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
      SendMessageA(bar, WM_SETREDRAW, FALSE, 0);
      for (; pendingSteps > 0; --pendingSteps) SendMessageA(bar, PBM_STEPIT, 0, 0);
      SendMessageA(bar, WM_SETREDRAW, TRUE, 0);
      RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    lastPaint = GetTickCount();
  }

  static constexpr DWORD kPaintInterval = 50;
  HWND dialog;
  DWORD lastPaint = GetTickCount();
  int pendingSteps = 0;
};

// A window without a message loop of its own still has its messages answered by the
// dialog manager; nothing to handle here.
INT_PTR CALLBACK ProgressProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

std::unique_ptr<ProgressWindow> OpenProgressWindow(HINSTANCE instance, const std::string& caption) {
  HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, ProgressProc, 0);
  if (!dialog) return nullptr;
  SetWindowTextA(dialog, caption.c_str());
  SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
  UpdateWindow(dialog);
  return std::make_unique<ProgressWindowWin32>(dialog);
}
