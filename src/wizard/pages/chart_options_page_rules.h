// The chart options page's rules: storing its controls, and the clicks on its pictures.
#pragma once
#include <optional>
#include <string>

#include "chart/chart_options.h"

// The chart options page's controls as the user left them.
struct ChartOptionsFields {
  int colorMode = 3;
  int orientation = 0;
  bool chartDuplicateChildren = true;
  std::string horizontalSpacing;
  std::string verticalSpacing;
  bool generateFlowchart = true;
  bool saveSitemap = false;
  std::string sitemapFileName;
};

inline constexpr double kLeastSpacing = 1.0;
inline constexpr double kMostSpacing = 3.0;

// Why a store stopped: the field, and whether it held no number ("Please enter a number.") or a
// spacing outside 1 to 3 inches (string 146).
struct ChartOptionsStore {
  enum class Field { None, HorizontalSpacing, VerticalSpacing } field = Field::None;
  bool outOfRange = false;
};

// Stores the controls in the order of the options; it stops at a spacing that is no number or out
// of range, keeping what was stored before it. With "Generate Flowchart" off, a bad spacing keeps
// its old value and the store goes on.
ChartOptionsStore StoreChartOptions(const ChartOptionsFields& fields, ChartOptions& options);

// Where the orientation pictures answer clicks, in pixels of the page's client area; the right
// and bottom edges lie outside. The pictures are placed there, whatever the dialog font.
struct PixelArea {
  int left, top, right, bottom;
};
inline constexpr PixelArea kOrientationAreas[3] = {{50, 125, 99, 173}, {124, 125, 172, 173}, {199, 125, 247, 173}};

// The orientation whose picture holds a point of the page's client area (pixels), if any.
std::optional<int> OrientationAt(int x, int y);
