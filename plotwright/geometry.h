// Drawing geometry shared by the window and the SVG writer: each master's outline, the
// connection points and connector routes, the colours drawn, and the drawing's bounds.
#pragma once

#include <optional>
#include <vector>

#include "plotwright/document_model.h"

// Ellipse: points hold the bounding box's top-left and bottom-right corners.
// Stroke: an open polyline, drawn but not filled.
enum class FigureKind { Polygon, Ellipse, Stroke };

struct Figure {
  FigureKind kind = FigureKind::Polygon;
  std::vector<Point> points;
};

constexpr double kShapeWidth = 0.8;
constexpr double kShapeHeight = 0.5;

// The box a master's outline fills around its centre (the summing junction is round).
Bounds ShapeBox(Master master, Point centre);
// The outline, filled first, then strokes of detail; every point lies within ShapeBox.
std::vector<Figure> ShapeOutline(Master master, Point centre);
// How far the preparation's sides slant in, as a share of its width.
constexpr double kPreparationCut = 0.2;
// Where the label is written: inside the shape (clear of the preparation's slants), or below the
// summing junction's small circle.
Bounds LabelBox(Master master, Point centre);
// The width a label's lines may take in a shape of the master.
double LabelWidth(Master master);
// The block the shape's label lines fill, centred in its label box (a long label reaching above
// and below it), or from the top of the box below a summing junction.
Bounds LabelArea(const Shape& shape);
// Where the line's text sits: its left end and its baseline.
Point LabelLineOrigin(const Shape& shape, std::size_t line);
// All that the shape draws: its outline, its label box and its label.
Bounds ShapeExtent(const Shape& shape);
// The shape whose outline or label is at the point, the last drawn first; 0 for none.
class Application;
int ShapeAt(const Application& app, const Document& document, Point p);
// The master's own fill, used while the client sets none.
Rgb MasterFill(Master master);
// Components outside 0 to 255 are drawn as the nearest limit; the document keeps them.
Rgb DrawnColour(Rgb colour);

// Connection points 0 top, 1 right, 2 bottom, 3 left of the shape's box; any other number
// connects at the centre.
Point ConnectionPoint(const Bounds& box, double index);
// A connector from one shape's point to another's: right-angled when both points are sides.
// busY, when given, is the row where two vertical ends meet (an org chart's junction).
std::vector<Point> ConnectorRoute(const Bounds& from, double fromIndex, const Bounds& to, double toIndex,
                                  std::optional<double> busY = std::nullopt);

// The plain route of a line between its two shapes, as drawn when it is no branch of a tree
// (Application::Routes gives every line's route as drawn).
std::vector<Point> LineRoute(const Line& line, const Shape& from, const Shape& to);
// The bounds of every placed shape of the document and a margin; none when it has none.
std::optional<Bounds> DrawingBounds(const Application& app, const Document& document, double margin);

// How the window shows a drawing: the chart-unit bounds of its content, pixels per chart unit
// and how far the content is scrolled, in pixels.
struct Viewport {
  Bounds content;
  double scale = 96.0;
  double scrollX = 0.0, scrollY = 0.0;

  Point ToPixel(Point p) const;
  Point ToChart(Point pixel) const;
  double contentWidth() const { return content.width() * scale; }
  double contentHeight() const { return content.height() * scale; }
};

constexpr double kActualScale = 96.0;
constexpr double kMinScale = kActualScale * 0.1;
constexpr double kMaxScale = kActualScale * 8.0;

// The scroll offsets kept within the content for a view of that many pixels; content narrower
// or lower than the view is centred in it.
Viewport Clamped(Viewport v, double viewWidth, double viewHeight);
// A new scale (held within the limits) that keeps the chart point under the pixel anchor.
Viewport ZoomAbout(Viewport v, double scale, Point anchor, double viewWidth, double viewHeight);
// The scale that shows all of the content in the view, never above actual size.
double FitScale(const Bounds& content, double viewWidth, double viewHeight);
