// The clipboard, as plain text.
#pragma once
#include <windows.h>

#include <string>

// The clipboard's contents replaced by one plain text.
void CopyToClipboard(HWND owner, const std::string& text);
