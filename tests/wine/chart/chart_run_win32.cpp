// chart_run OUTPUT TREE ORIENTATION COLORMODE HSPACING VSPACING DUPLICATECHILDREN [BARECALLS]
// Builds a site tree from TREE (one label a line, two spaces of indent per level, a leading
// '~' for a node left out of charts, a trailing " #N" for icon N) and charts it through the
// real automation adapter. OUTPUT gets "message N" per message, "progress N", "millis N"
// and "result ok" or "result error". With BARECALLS it also times that many reads of the
// version from an application object of its own, before and after the chart ("bare_before_us"
// and "bare_after_us", microseconds a call), and gives the time of every shape dropped
// ("step N MICROSECONDS" from the start of the run).
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "chart/chart_builder.h"
#include "chart/chart_host_win32.h"
#include "chart/dispatch_win32.h"
#include "plotwright/dispatch_ids.h"
#include "wizard/default_browser_win32.h"

namespace {

struct FileMessages : MessagePort {
  std::FILE* out;
  explicit FileMessages(std::FILE* file) : out(file) {}
  void ShowMessage(int stringId) override { std::fprintf(out, "message %d\n", stringId); }
};

long long Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

struct CountingProgress : ChartProgress {
  int steps = 0;
  std::vector<long long> times;
  void StepProgress() override {
    ++steps;
    times.push_back(Now());
  }
};

// Microseconds a call for COUNT reads of the application's version; -1 when a read fails.
long long BareCallMicros(int count, long long frequency) {
  DispatchPtr app = CreateAutomationObject(kProgId);
  if (!app || count <= 0) return -1;
  long long start = Now();
  for (int i = 0; i < count; ++i)
    if (!app->Get(appid::kVersion, AutoType::Text).ok) return -1;
  return (Now() - start) * 1000000 / frequency / count;
}

bool ReadTree(const char* path, SiteTree& tree) {
  std::ifstream in(path);
  if (!in) return false;
  std::vector<SiteNode*> parents;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t indent = line.find_first_not_of(' ');
    if (indent == std::string::npos) continue;
    size_t depth = indent / 2;
    if (depth > parents.size()) return false;
    std::string label = line.substr(indent);
    NodeIcon icon = NodeIcon::PageWithLinks;
    if (label[0] == '~') {
      icon = NodeIcon::DontMap;
      label.erase(0, 1);
    }
    size_t mark = label.rfind(" #");
    if (mark != std::string::npos) {
      icon = static_cast<NodeIcon>(std::atoi(label.c_str() + mark + 2));
      label.erase(mark);
    }
    parents.resize(depth);
    parents.push_back(tree.AddChild(depth ? parents[depth - 1] : nullptr, label, icon));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8 && argc != 9) return 2;
  int bareCalls = argc == 9 ? std::atoi(argv[8]) : 0;
  std::FILE* out = std::fopen(argv[1], "w");
  if (!out) return 2;
  SiteTree tree;
  if (!ReadTree(argv[2], tree)) return 2;
  ChartOptions options;
  options.orientation = std::atoi(argv[3]);
  options.colorMode = std::atoi(argv[4]);
  options.horizontalSpacing = std::atof(argv[5]);
  options.verticalSpacing = std::atof(argv[6]);
  options.chartDuplicateChildren = std::atoi(argv[7]) != 0;

  if (FAILED(OleInitialize(nullptr))) return 3;
  FileMessages messages(out);
  CountingProgress progress;
  ChartHostWin32 host(DefaultBrowserCommand);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  if (bareCalls) std::fprintf(out, "bare_before_us %lld\n", BareCallMicros(bareCalls, frequency.QuadPart));
  QueryPerformanceCounter(&start);
  bool ok = true;
  try {
    ChartBuilder builder(tree, progress, host, messages);
    builder.ApplyOptions(options);
    if (options.orientation == 0) builder.DrawHorizontal(tree.TopOfChart());
    if (options.orientation == 1) builder.DrawVertical(tree.TopOfChart());
    if (options.orientation == 2) builder.DrawOrgChart(tree.TopOfChart());
    builder.Finish(false);
  } catch (const AutomationError&) {
    ok = false;
  }
  QueryPerformanceCounter(&end);
  std::fprintf(out, "progress %d\nmillis %lld\nresult %s\n", progress.steps,
               (end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart, ok ? "ok" : "error");
  if (bareCalls) {
    std::fprintf(out, "bare_after_us %lld\n", BareCallMicros(bareCalls, frequency.QuadPart));
    for (size_t i = 0; i < progress.times.size(); ++i)
      std::fprintf(out, "step %u %lld\n", unsigned(i + 1),
                   (progress.times[i] - start.QuadPart) * 1000000 / frequency.QuadPart);
  }
  std::fclose(out);
  OleUninitialize();
  return 0;
}
