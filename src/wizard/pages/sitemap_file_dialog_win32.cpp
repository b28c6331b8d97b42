#include "wizard/pages/sitemap_file_dialog_win32.h"

#include <commdlg.h>

std::optional<std::string> AskSitemapFile(HWND owner, bool save) {
  // "Sitemap file (*.smp) |*.smp||" with its bars as the dialog's separators.
  static const char filter[] = "Sitemap file (*.smp) \0*.smp\0";
  char path[MAX_PATH] = "";
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrDefExt = "smp";
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (save ? OFN_OVERWRITEPROMPT : 0);
  BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (!chosen) return std::nullopt;
  return std::string(path);
}
