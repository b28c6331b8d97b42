#include "wizard/pages/finish_page_rules.h"

#include "chart/chart_builder.h"
#include "common/strings.h"
#include "common/text.h"
#include "sitemap/sitemap_writer.h"

namespace {

// Ends the cursor's wait on every way out, the failed call's included.
class WaitCursor {
public:
  explicit WaitCursor(FinishView& page) : view(page) { view.ShowWaitCursor(); }
  ~WaitCursor() { view.RestoreCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

private:
  FinishView& view;
};

}  // namespace

std::uint16_t ProgressRange(std::size_t nodeCount) {
  return nodeCount > 0xFFFF ? std::uint16_t(0xFFFF) : std::uint16_t(nodeCount);
}

std::string SitemapFileName(const std::string& name) {
  return ContainsNoCase(name, ".smp") ? name : name + ".smp";
}

bool RunChart(FinishView& view, ChartHost& host, MessagePort& messages, const FinishInputs& inputs) {
  WaitCursor wait(view);
  try {
    view.ShowStatus(kFrameLoading, 0, true);
    ChartBuilder builder(inputs.tree, view, host, messages);
    view.ShowStatus(kFrameLoading, 1, true);
    builder.ApplyOptions(inputs.options);
    view.ShowStatus(kFrameChart, 2, true);
    view.StartProgress(ProgressRange(inputs.tree.NodeCount()));
    view.RaiseWizard();
    switch (inputs.options.orientation) {
      case 0: builder.DrawHorizontal(inputs.topOfChart); break;
      case 1: builder.DrawVertical(inputs.topOfChart); break;
      case 2: builder.DrawOrgChart(inputs.topOfChart); break;
      default: break;
    }
    view.ShowStatus(kFrameChart, 3, true);
    builder.Finish(false);
  } catch (const AutomationError&) {
    return false;
  }
  return true;
}

void RunOutputs(FinishView& view, ChartHost& host, MessagePort& messages, FinishInputs inputs) {
  view.EnableClosingText(false);
  if (inputs.options.generateFlowchart) {
    if (!RunChart(view, host, messages, inputs)) return;
    view.RaisePage();
  }
  if (inputs.options.saveSitemap) {
    view.ShowStatus(kFrameSitemap, 4, true);
    inputs.options.sitemapFileName = SitemapFileName(inputs.options.sitemapFileName);
    const SiteNode* top = inputs.topOfChart ? inputs.topOfChart : inputs.tree.FirstTopLevel();
    SitemapWriter writer(inputs.startDirectory, messages);
    if (!writer.Write(inputs.tree, top, inputs.options.sitemapFileName)) messages.ShowMessage(IDS_CANNOT_OPEN_FILE);
    view.ShowStatus(kFrameSitemap, 5, true);
  }
  view.ShowStatus(kFrameDone, 6, true);
  view.EnableClosingText(true);
  view.ShowFinishButtons();
}
