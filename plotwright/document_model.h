// The documents an application holds: shapes dropped from masters, the lines that connect
// them, and each document's page. Positions are in chart units (inches), Y growing down.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plotwright/label_wrap.h"

struct Point {
  double x = 0.0, y = 0.0;
  bool operator==(const Point&) const = default;
};

struct Bounds {
  double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
  double width() const { return right - left; }
  double height() const { return bottom - top; }
  bool Contains(Point p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
  // The smallest bounds that hold both.
  Bounds Union(const Bounds& other) const;
};

enum class Master { Process, Document, Terminal, Preparation, SummingJunction, InternalStorage };

// The master of that name (case-blind), or none.
std::optional<Master> MasterByName(const std::string& name);
const char* MasterName(Master master);

// Colour components as the client gave them; they may lie outside 0 to 255.
struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

struct Shape {
  int document = 0;
  Master master = Master::Process;
  double x = 0.0, y = 0.0;
  bool placed = true;
  std::optional<Rgb> fill;
  std::string label;
  std::vector<LabelLine> labelLines;  // the label as set in the shape, wrapped once when it is put
  std::string linkAddress;
  std::string linkCommand;
  // Where the connectors to this shape's children meet (org charts only).
  std::optional<double> junctionX, junctionY;
};

struct Line {
  int document = 0;
  int from = 0, to = 0;  // shape numbers
  double fromPoint = 0.0, toPoint = 0.0;
  bool laidOut = false;
  std::optional<int> routing, arrow;  // the line format's two settings
};

struct Document {
  int number = 0;
  std::string palette;
  int paletteOption = 0;
  int layoutCode = 0;
  double dropX = 0.0, dropY = 0.0;
  std::optional<int> layoutStyle;
  int pagesAcross = 1;
  std::optional<int> finishStep;
  std::vector<int> shapes, lines;  // numbers, in creation order
  int revision = 0;  // counts the drops and connections, on which the connectors' routes depend
  // What the placed shapes and their labels cover, kept as they come so that no call walks them.
  std::optional<Bounds> extent;
};

// What a pointer resting on the shape shows: the whole label, and the link's address on a line
// of its own when it says more than the label.
std::string HoverText(const Shape& shape);

// A drop inside this square of the page is placed; outside it the shape is not.
constexpr double kPageExtent = 100.0;
// The printed sheet width that the page reports; pages across are counted in it.
constexpr double kPageWidth = 11.0;

bool OnPage(double x, double y);
