// Saving the shown document as SVG: by the menu's Save As, and by itself into the drawings
// folder when a run ends normally, under a name of its own.
#include "plotwright/view_win32.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>

#include "plotwright/numbered_text_win32.h"
#include "plotwright/resource.h"
#include "plotwright/svg_writer.h"

namespace {

std::string DefaultFolder() {
  char documents[MAX_PATH] = "";
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, documents)) || !documents[0])
    GetTempPathA(MAX_PATH, documents);
  std::string folder = documents;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + "Plotwright Drawings";
}

// Creates the folder and any missing folder above it.
bool MakeFolder(const std::string& folder) {
  for (std::size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
    CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
  DWORD attributes = GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// The folder given on the command line, else one in the user's documents.
void PlotView::ChooseFolder() {
  folder = Server().options.svgFolder.empty() ? DefaultFolder() : Server().options.svgFolder;
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
}

// A run ended normally: what it cost here and where its drawing went are noted in the journal.
void PlotView::SaveRunDrawing(const Session& session) {
  double perMs = double(TicksPerSecond()) / 1000.0;
  char cost[160];
  std::snprintf(cost, sizeof cost, "# cost %d calls answered in %.1f ms, %d repaints in %.1f ms",
                session.callsAnswered(), double(session.answerTicks()) / perMs, paints, double(paintTicks) / perMs);
  JournalNote(cost);
  std::string path = NextDrawingPath();
  bool saved = MakeFolder(folder) && SaveTo(path);
  JournalNote((saved ? "# svg " : "# svg-failed ") + path);
  statusText = saved ? FormatText(IDS_SAVED, path) : FormatText(IDS_SAVE_FAILED, path);
}

void PlotView::OnSaveAs() {
  if (!ShownDocument()) {
    std::string text = LoadText(IDS_NOTHING_TO_SAVE);
    MessageBoxA(frame, text.c_str(), "Plotwright", MB_OK | MB_ICONINFORMATION);
    return;
  }
  std::string filter = LoadText(IDS_SVG_FILTER);
  std::replace(filter.begin(), filter.end(), '|', '\0');
  char file[MAX_PATH] = "";
  std::snprintf(file, sizeof file, "document%d.svg", ShownDocument()->number);
  MakeFolder(folder);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = frame;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = folder.c_str();
  ofn.lpstrDefExt = "svg";
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetSaveFileNameA(&ofn)) return;
  if (SaveTo(file)) {
    JournalNote(std::string("# svg ") + file);
    statusText = FormatText(IDS_SAVED, file);
    Refresh();
  } else {
    std::string text = FormatText(IDS_SAVE_FAILED, file);
    MessageBoxA(frame, text.c_str(), "Plotwright", MB_OK | MB_ICONEXCLAMATION);
  }
}

bool PlotView::SaveTo(const std::string& path) {
  const Document* doc = ShownDocument();
  if (!doc) return false;
  std::string svg = SvgDocument(current->app(), *doc);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) return false;
  bool ok = std::fwrite(svg.data(), 1, svg.size(), file.get()) == svg.size();
  return std::fclose(file.release()) == 0 && ok;
}

std::string PlotView::NextDrawingPath() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char name[64];
  std::snprintf(name, sizeof name, "\\plotwright-%04d%02d%02d-%02d%02d%02d-%d.svg", t.wYear, t.wMonth, t.wDay,
                t.wHour, t.wMinute, t.wSecond, ++saves);
  return folder + name;
}
