#include "retractor/platform_win32.h"

#include "retractor/progress_window_win32.h"
#include "retractor/shared_file_dialog_win32.h"

std::string UserInterfaceWin32::LoadText(int id) {
  char buffer[1024];
  int length = LoadStringA(instance, id, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? length : 0);
}

int UserInterfaceWin32::ShowMessage(const std::string& text, const std::string& caption, unsigned flags) {
  return MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
}

int UserInterfaceWin32::AskSharedFile(const std::string& text, const std::string& caption) {
  return ShowSharedFileDialog(instance, text, caption);
}

std::unique_ptr<ProgressWindow> UserInterfaceWin32::OpenProgress(const std::string& caption) {
  return OpenProgressWindow(instance, caption);
}
