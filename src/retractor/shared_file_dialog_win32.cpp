#include "retractor/shared_file_dialog_win32.h"

#include "resources/retractor/resource.h"

namespace {

struct SharedQuestion {
  const std::string* text;
  const std::string* caption;
};

INT_PTR CALLBACK SharedFileProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      auto* question = reinterpret_cast<const SharedQuestion*>(lParam);
      SetWindowTextA(dialog, question->caption->c_str());
      SetDlgItemTextA(dialog, IDC_SHARED_TEXT, question->text->c_str());
      SendDlgItemMessageA(dialog, IDC_SHARED_ICON, STM_SETICON,
                          reinterpret_cast<WPARAM>(LoadIconA(nullptr, MAKEINTRESOURCEA(32514))), 0);
      SetFocus(GetDlgItem(dialog, IDYES));
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDYES:
        case IDNO:
        case IDC_YES_TO_ALL:
        case IDCANCEL:  // Escape and the close box
          EndDialog(dialog, LOWORD(wParam));
          return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

int ShowSharedFileDialog(HINSTANCE instance, const std::string& text, const std::string& caption) {
  SharedQuestion question{&text, &caption};
  INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SHARED_FILE), nullptr, SharedFileProc,
                                   reinterpret_cast<LPARAM>(&question));
  return result <= 0 ? IDCANCEL : static_cast<int>(result);
}
