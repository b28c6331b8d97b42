#include "wizard/pages/clipboard_win32.h"

#include <cstring>

#include "common/owners_win32.h"

void CopyToClipboard(HWND owner, const std::string& text) {
  MemoryOwner memory(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
  if (!memory) return;
  if (void* bytes = GlobalLock(memory.get())) {
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(memory.get());
    if (OpenClipboard(owner)) {
      EmptyClipboard();
      if (SetClipboardData(CF_TEXT, memory.get())) memory.release();  // the clipboard owns it now
      CloseClipboard();
    }
  }
}

