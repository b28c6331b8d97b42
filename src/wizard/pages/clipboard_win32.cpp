#include "wizard/pages/clipboard_win32.h"

#include <cstring>

void CopyToClipboard(HWND owner, const std::string& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!memory) return;
  if (void* bytes = GlobalLock(memory)) {
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (OpenClipboard(owner)) {
      EmptyClipboard();
      if (SetClipboardData(CF_TEXT, memory)) memory = nullptr;  // the clipboard owns it now
      CloseClipboard();
    }
  }
  if (memory) GlobalFree(memory);
}

