// The open and save dialogs for sitemap files (".smp"), and the save dialog of the broken-links
// report (".html") in the same style.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

// The full path the user chose, or nothing on Cancel. A save dialog asks before overwriting.
// Neither changes the current directory, against which relative names are taken.
std::optional<std::string> AskSitemapFile(HWND owner, bool save);
// Where to save the broken-links report, asked as a sitemap file's name is.
std::optional<std::string> AskBrokenLinksFile(HWND owner);
