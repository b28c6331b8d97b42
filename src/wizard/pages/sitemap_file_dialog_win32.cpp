#include "wizard/pages/sitemap_file_dialog_win32.h"

#include <commdlg.h>

namespace {

std::optional<std::string> AskFile(HWND owner, bool save, const char* filter, const char* extension) {
  char path[MAX_PATH] = "";
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrDefExt = extension;
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (save ? OFN_OVERWRITEPROMPT : 0);
  BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (!chosen) return std::nullopt;
  return std::string(path);
}

}  // namespace

std::optional<std::string> AskSitemapFile(HWND owner, bool save) {
  // "Sitemap file (*.smp) |*.smp||" with its bars as the dialog's separators.
  return AskFile(owner, save, "Sitemap file (*.smp) \0*.smp\0", "smp");
}

std::optional<std::string> AskBrokenLinksFile(HWND owner) {
  return AskFile(owner, true, "Web page (*.html) \0*.html\0", "html");
}
