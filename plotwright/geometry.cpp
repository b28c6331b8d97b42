#include "plotwright/geometry.h"

#include <algorithm>
#include <cmath>

#include "plotwright/automation.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

int Clamp255(int v) { return std::clamp(v, 0, 255); }

bool IsSide(double index) { return index == 0.0 || index == 1.0 || index == 2.0 || index == 3.0; }
bool IsVertical(double index) { return index == 0.0 || index == 2.0; }

}  // namespace

Bounds ShapeBox(Master master, Point c) {
  double w = master == Master::SummingJunction ? kShapeHeight : kShapeWidth;
  return {c.x - w / 2, c.y - kShapeHeight / 2, c.x + w / 2, c.y + kShapeHeight / 2};
}

std::vector<Figure> ShapeOutline(Master master, Point c) {
  Bounds b = ShapeBox(master, c);
  double w = b.width(), h = b.height();
  Figure outline;
  std::vector<Figure> out;
  switch (master) {
    case Master::Process:
      outline.points = {{b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}};
      out.push_back(outline);
      break;
    case Master::Document: {
      // A wavy lower edge: one period of a sine wave, a tenth of the height deep.
      outline.points = {{b.left, b.top}, {b.right, b.top}};
      const int steps = 16;
      double base = b.bottom - h * 0.1;
      for (int i = 0; i <= steps; ++i) {
        double t = double(i) / steps;
        outline.points.push_back({b.right - t * w, base + std::sin(t * 2 * kPi) * h * 0.1});
      }
      out.push_back(outline);
      break;
    }
    case Master::Terminal: {
      // A stadium: two half circles joined by straight sides.
      double r = h / 2;
      const int steps = 8;
      for (int i = 0; i <= steps; ++i) {
        double a = -kPi / 2 + kPi * i / steps;
        outline.points.push_back({b.right - r + r * std::cos(a), c.y + r * std::sin(a)});
      }
      for (int i = 0; i <= steps; ++i) {
        double a = kPi / 2 + kPi * i / steps;
        outline.points.push_back({b.left + r + r * std::cos(a), c.y + r * std::sin(a)});
      }
      out.push_back(outline);
      break;
    }
    case Master::Preparation: {
      double cut = w * kPreparationCut;
      outline.points = {{b.left + cut, b.top}, {b.right - cut, b.top}, {b.right, c.y},
                        {b.right - cut, b.bottom}, {b.left + cut, b.bottom}, {b.left, c.y}};
      out.push_back(outline);
      break;
    }
    case Master::SummingJunction: {
      outline.kind = FigureKind::Ellipse;
      outline.points = {{b.left, b.top}, {b.right, b.bottom}};
      out.push_back(outline);
      // A cross through the circle at 45 degrees, ending on its rim.
      double d = (w / 2) * std::sqrt(0.5);
      out.push_back({FigureKind::Stroke, {{c.x - d, c.y - d}, {c.x + d, c.y + d}}});
      out.push_back({FigureKind::Stroke, {{c.x - d, c.y + d}, {c.x + d, c.y - d}}});
      break;
    }
    case Master::InternalStorage: {
      outline.points = {{b.left, b.top}, {b.right, b.top}, {b.right, b.bottom}, {b.left, b.bottom}};
      out.push_back(outline);
      double inset = h * 0.2;
      out.push_back({FigureKind::Stroke, {{b.left + inset, b.top}, {b.left + inset, b.bottom}}});
      out.push_back({FigureKind::Stroke, {{b.left, b.top + inset}, {b.right, b.top + inset}}});
      break;
    }
  }
  return out;
}

Bounds LabelBox(Master master, Point c) {
  if (master == Master::Preparation) {
    // Half the slant in from each side, so that the outer lines of a label clear the slants.
    Bounds b = ShapeBox(master, c);
    double inset = b.width() * kPreparationCut / 2;
    return {b.left + inset, b.top, b.right - inset, b.bottom};
  }
  if (master != Master::SummingJunction) return ShapeBox(master, c);
  double top = c.y + kShapeHeight / 2;
  return {c.x - kShapeWidth / 2, top, c.x + kShapeWidth / 2, top + kShapeHeight / 2};
}

double LabelWidth(Master master) { return LabelBox(master, {0, 0}).width() - 2 * kLabelPadding; }

Bounds LabelArea(const Shape& s) {
  Bounds box = LabelBox(s.master, {s.x, s.y});
  double cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
  double width = 0.0;
  for (const LabelLine& line : s.labelLines) width = std::max(width, line.width);
  double height = double(s.labelLines.size()) * kLineHeight;
  // Below the small circle a long label runs down from the box's top instead of up into the circle.
  double top = s.master == Master::SummingJunction ? box.top : cy - height / 2;
  return {cx - width / 2, top, cx + width / 2, top + height};
}

Point LabelLineOrigin(const Shape& s, std::size_t line) {
  Bounds area = LabelArea(s);
  double width = line < s.labelLines.size() ? s.labelLines[line].width : 0.0;
  // The baseline sits so that lower-case letters are centred in the line's pitch.
  return {(area.left + area.right) / 2 - width / 2, area.top + (double(line) + 0.5) * kLineHeight + 0.35 * kFontSize};
}

Bounds ShapeExtent(const Shape& s) {
  Bounds all = ShapeBox(s.master, {s.x, s.y}).Union(LabelBox(s.master, {s.x, s.y}));
  return s.labelLines.empty() ? all : all.Union(LabelArea(s));
}

int ShapeAt(const Application& app, const Document& document, Point p) {
  for (auto n = document.shapes.rbegin(); n != document.shapes.rend(); ++n) {
    const Shape& s = app.shape(*n);
    if (!s.placed) continue;
    if (ShapeBox(s.master, {s.x, s.y}).Contains(p) || (!s.labelLines.empty() && LabelArea(s).Contains(p))) return *n;
  }
  return 0;
}

Rgb MasterFill(Master master) {
  switch (master) {
    case Master::Process: return {232, 240, 255};
    case Master::Document: return {255, 246, 213};
    case Master::Terminal: return {227, 245, 225};
    case Master::Preparation: return {253, 231, 217};
    case Master::SummingJunction: return {243, 224, 247};
    case Master::InternalStorage: return {230, 230, 230};
  }
  return {255, 255, 255};
}

Rgb DrawnColour(Rgb c) { return {Clamp255(c.r), Clamp255(c.g), Clamp255(c.b)}; }

Point ConnectionPoint(const Bounds& b, double index) {
  Point centre{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
  if (index == 0.0) return {centre.x, b.top};
  if (index == 1.0) return {b.right, centre.y};
  if (index == 2.0) return {centre.x, b.bottom};
  if (index == 3.0) return {b.left, centre.y};
  return centre;
}

std::vector<Point> ConnectorRoute(const Bounds& from, double fromIndex, const Bounds& to, double toIndex,
                                  std::optional<double> busY) {
  Point p = ConnectionPoint(from, fromIndex), q = ConnectionPoint(to, toIndex);
  if (!IsSide(fromIndex) || !IsSide(toIndex) || p.x == q.x || p.y == q.y) return {p, q};
  bool pv = IsVertical(fromIndex), qv = IsVertical(toIndex);
  if (pv && qv) {
    double y = busY.value_or((p.y + q.y) / 2);
    return {p, {p.x, y}, {q.x, y}, q};
  }
  if (!pv && !qv) {
    double x = (p.x + q.x) / 2;
    return {p, {x, p.y}, {x, q.y}, q};
  }
  return pv ? std::vector<Point>{p, {p.x, q.y}, q} : std::vector<Point>{p, {q.x, p.y}, q};
}

std::vector<Point> LineRoute(const Line& line, const Shape& from, const Shape& to) {
  std::optional<double> bus = to.junctionY ? to.junctionY : from.junctionY;
  return ConnectorRoute(ShapeBox(from.master, {from.x, from.y}), line.fromPoint, ShapeBox(to.master, {to.x, to.y}),
                        line.toPoint, bus);
}

std::optional<Bounds> DrawingBounds(const Application&, const Document& document, double margin) {
  std::optional<Bounds> all = document.extent;
  if (all) {
    all->left -= margin;
    all->top -= margin;
    all->right += margin;
    all->bottom += margin;
  }
  return all;
}

Point Viewport::ToPixel(Point p) const {
  return {(p.x - content.left) * scale - scrollX, (p.y - content.top) * scale - scrollY};
}

Point Viewport::ToChart(Point pixel) const {
  return {(pixel.x + scrollX) / scale + content.left, (pixel.y + scrollY) / scale + content.top};
}

Viewport Clamped(Viewport v, double viewWidth, double viewHeight) {
  // Content smaller than the view is centred in it (a negative offset); larger, it stays in view.
  auto within = [](double scroll, double content, double view) {
    return content <= view ? (content - view) / 2 : std::clamp(scroll, 0.0, content - view);
  };
  v.scrollX = within(v.scrollX, v.contentWidth(), viewWidth);
  v.scrollY = within(v.scrollY, v.contentHeight(), viewHeight);
  return v;
}

Viewport ZoomAbout(Viewport v, double scale, Point anchor, double viewWidth, double viewHeight) {
  Point fixed = v.ToChart(anchor);
  v.scale = std::clamp(scale, kMinScale, kMaxScale);
  v.scrollX = (fixed.x - v.content.left) * v.scale - anchor.x;
  v.scrollY = (fixed.y - v.content.top) * v.scale - anchor.y;
  return Clamped(v, viewWidth, viewHeight);
}

double FitScale(const Bounds& content, double viewWidth, double viewHeight) {
  if (content.width() <= 0 || content.height() <= 0 || viewWidth <= 0 || viewHeight <= 0) return kActualScale;
  double scale = std::min(viewWidth / content.width(), viewHeight / content.height());
  return std::clamp(scale, kMinScale, kActualScale);
}
