// The finish page's run: the flowchart, then the sitemap file, with the page's statuses.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "chart/chart_host.h"
#include "chart/chart_options.h"
#include "site/site_tree.h"
#include "common/message_port.h"
#include "resources/pathloom/resource.h"

// Status frames of the finish page and the images shown in them: the even image of each
// pair marks the step in progress (or the end), the odd one a step waiting or done.
enum StatusFrame {
  kFrameLoading = IDC_STATUS_LOADING,
  kFrameChart = IDC_STATUS_CHART,
  kFrameSitemap = IDC_STATUS_SITEMAP,
  kFrameDone = IDC_STATUS_DONE,
};

// What the run does to the page and the wizard.
class FinishView : public ChartProgress {
public:
  virtual void ShowStatus(int frame, int image, bool remember) = 0;
  virtual void EnableClosingText(bool enable) = 0;  // "To create additional flowcharts ..."
  virtual void ShowWaitCursor() = 0;
  virtual void RestoreCursor() = 0;
  virtual void StartProgress(std::uint16_t highest) = 0;  // range 0 to highest, position 0
  virtual void RaiseWizard() = 0;                          // to the foreground, repainted
  virtual void RaisePage() = 0;                            // to the foreground
  virtual void ShowFinishButtons() = 0;                    // Back and Finish
};

struct FinishInputs {
  const SiteTree& tree;
  const SiteNode* topOfChart;  // null: the first top-level node
  ChartOptions& options;       // the sitemap name may grow by ".smp"
  std::string startDirectory;
};

// The whole run. A failed call on the flowchart application ends it at once: no sitemap,
// no last status, the closing text stays disabled and Finish stays off.
void RunOutputs(FinishView& view, ChartHost& host, MessagePort& messages, FinishInputs inputs);
// The chart part; false when a call on the flowchart application failed.
bool RunChart(FinishView& view, ChartHost& host, MessagePort& messages, const FinishInputs& inputs);

// The progress bar's bound is 16 bits: a bigger tree stops the bar at its end instead of
// wrapping it to a small range.
std::uint16_t ProgressRange(std::size_t nodeCount);
// The sitemap name with ".smp" appended unless it holds that text in any letter case.
std::string SitemapFileName(const std::string& name);
