// The chart options page's settings, read by the chart run and the finish page.
#pragma once
#include <string>

struct ChartOptions {
  int colorMode = 3;    // 0 domains, 1 duplicate links, 2 depth, 3 none
  int orientation = 0;  // 0 horizontal, 1 vertical, 2 org chart
  bool chartDuplicateChildren = true;
  double horizontalSpacing = 1.5;  // inches per shape
  double verticalSpacing = 1.5;
  bool generateFlowchart = true;
  bool saveSitemap = false;
  std::string sitemapFileName;
};
