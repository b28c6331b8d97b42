#include "wizard/pages/broken_links_file_win32.h"

#include <cstdio>
#include <fstream>

#include "crawler/broken_links_page.h"
#include "resources/pathloom/resource.h"
#include "wizard/pages/sitemap_file_dialog_win32.h"

namespace {

enum class Written { Whole, CannotCreate, Failed };

// Through a temporary file beside it, which takes the file's name only once it is whole: a
// failed write leaves the file as it was, and no part of the new one.
template <typename Write>
Written WriteWhole(const std::string& path, Write write) {
  const size_t slash = path.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  char temporary[MAX_PATH];
  if (!GetTempFileNameA(folder.c_str(), "plm", 0, temporary)) return Written::CannotCreate;
  bool whole = false;
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file.is_open()) {
      DeleteFileA(temporary);
      return Written::CannotCreate;
    }
    whole = write(file);
    file.close();
    whole = whole && !file.fail();
  }
  if (!whole) {
    DeleteFileA(temporary);
    return Written::Failed;
  }
  if (!MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary);
    return Written::CannotCreate;
  }
  return Written::Whole;
}

std::string LocalTimeText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute);
  return text;
}

}  // namespace

void SaveBrokenLinks(PageShell& shell, const SiteTree& tree,
                     const std::unordered_map<std::string, KeptReading>& kept) {
  std::optional<std::string> path = AskBrokenLinksFile(shell.Wizard());
  if (!path) return;
  const BrokenLinks found = FindBrokenLinks(tree, kept);
  const std::string time = LocalTimeText();
  // The same messages as a sitemap file that cannot be written.
  switch (WriteWhole(*path, [&](std::ostream& out) { return WriteBrokenLinksPage(found, time, out); })) {
    case Written::Whole: break;
    case Written::CannotCreate: shell.MessageBoxId(IDS_CANNOT_OPEN_FILE); break;
    case Written::Failed: shell.ShowFileError(*path); break;
  }
}
