// The open and save dialogs for sitemap files (".smp").
#pragma once
#include <windows.h>

#include <optional>
#include <string>

// The full path the user chose, or nothing on Cancel. A save dialog asks before overwriting.
// Neither changes the current directory, against which relative names are taken.
std::optional<std::string> AskSitemapFile(HWND owner, bool save);
