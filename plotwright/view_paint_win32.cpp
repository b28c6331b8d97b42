// The canvas painted: the lines, then each shape's outline and label, those outside the view
// skipped; labels too small to read drawn as grey bars.
#include "plotwright/view_win32.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "plotwright/label_wrap.h"
#include "plotwright/numbered_text_win32.h"
#include "plotwright/resource.h"
#include "plotwright/utf8.h"

namespace {

// Labels are drawn down to this font size in pixels; below it a grey bar stands for each line.
constexpr double kSmallestFont = 3.0;
constexpr double kSmallestEdgedFont = 8.0;

template <typename T>
class GdiObject {
public:
  explicit GdiObject(T handle) : object(handle) {}
  ~GdiObject() {
    if (object) DeleteObject(object);
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  T get() const { return object; }

private:
  T object;
};

class Selected {
public:
  Selected(HDC context, HGDIOBJ object) : dc(context), old(SelectObject(context, object)) {}
  ~Selected() { SelectObject(dc, old); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

private:
  HDC dc;
  HGDIOBJ old;
};

COLORREF Colour(Rgb c) {
  Rgb d = DrawnColour(c);
  return RGB(d.r, d.g, d.b);
}

}  // namespace

void PlotView::OnPaint() {
  LONGLONG start = Ticks();
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(canvas, &ps);
  RECT r = ViewRect();
  if (r.right > 0 && r.bottom > 0) {
    // Drawn off screen first, so a drawing of many shapes does not flicker as it grows.
    HDC memory = CreateCompatibleDC(dc);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, r.right, r.bottom));
    {
      Selected keep(memory, bitmap.get());
      Paint(memory, r);
      BitBlt(dc, 0, 0, r.right, r.bottom, memory, 0, 0, SRCCOPY);
    }
    DeleteDC(memory);
  }
  EndPaint(canvas, &ps);
  ++paints;
  paintTicks += Ticks() - start;
}

void PlotView::Paint(HDC dc, const RECT& area) {
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const Document* doc = ShownDocument();
  SetBkMode(dc, TRANSPARENT);
  if (!doc || doc->shapes.empty()) {
    std::string text = LoadText(IDS_WAITING);
    RECT box = area;
    DrawTextA(dc, text.c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    return;
  }
  const Application& app = current->app();
  Point topLeft = viewport.ToChart({0, 0}), bottomRight = viewport.ToChart({double(area.right), double(area.bottom)});
  auto visible = [&](const Bounds& b) {
    return b.right >= topLeft.x && b.left <= bottomRight.x && b.bottom >= topLeft.y && b.top <= bottomRight.y;
  };
  auto pixels = [&](const std::vector<Point>& points) {
    std::vector<POINT> out;
    for (const Point& p : points) out.push_back(PixelOf(p));
    return out;
  };

  GdiObject<HPEN> solid(CreatePen(PS_SOLID, 1, RGB(80, 80, 80)));
  GdiObject<HPEN> dotted(CreatePen(PS_DOT, 1, RGB(80, 80, 80)));
  for (int n : doc->lines) {
    const Line& l = app.line(n);
    const Shape &from = app.shape(l.from), &to = app.shape(l.to);
    if (!from.placed || !to.placed) continue;
    if (!visible(ShapeBox(from.master, {from.x, from.y}).Union(ShapeBox(to.master, {to.x, to.y})))) continue;
    std::vector<POINT> route = pixels(LineRoute(l, from, to));
    Selected pen(dc, l.laidOut ? solid.get() : dotted.get());
    Polyline(dc, route.data(), int(route.size()));
  }

  GdiObject<HPEN> outline(CreatePen(PS_SOLID, 1, RGB(32, 32, 32)));
  double fontPixels = kFontSize * viewport.scale;
  GdiObject<HFONT> font(CreateFontA(-int(std::lround(fontPixels)), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_SWISS, "Arial"));
  Selected pen(dc, outline.get());
  Selected typeface(dc, font.get());
  SetTextAlign(dc, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
  SetTextColor(dc, RGB(0, 0, 0));
  for (int n : doc->shapes) {
    const Shape& s = app.shape(n);
    if (!s.placed || !visible(ShapeExtent(s))) continue;
    GdiObject<HBRUSH> fill(CreateSolidBrush(Colour(s.fill.value_or(MasterFill(s.master)))));
    Selected brush(dc, fill.get());
    for (const Figure& f : ShapeOutline(s.master, {s.x, s.y})) {
      std::vector<POINT> p = pixels(f.points);
      switch (f.kind) {
        case FigureKind::Polygon: Polygon(dc, p.data(), int(p.size())); break;
        case FigureKind::Ellipse: Ellipse(dc, p[0].x, p[0].y, p[1].x + 1, p[1].y + 1); break;
        case FigureKind::Stroke: Polyline(dc, p.data(), int(p.size())); break;
      }
    }
    PaintLabel(dc, s, fontPixels);
  }
}

void PlotView::PaintLabel(HDC dc, const Shape& s, double fontPixels) {
  // A label taller than its box crosses the outline: its lines get a white edge, as in the SVG,
  // where the letters are large enough to keep their shape inside one.
  bool edged = fontPixels >= kSmallestEdgedFont &&
               s.labelLines.size() * kLineHeight > LabelBox(s.master, {s.x, s.y}).height();
  for (std::size_t i = 0; i < s.labelLines.size(); ++i) {
    const LabelLine& line = s.labelLines[i];
    Point origin = viewport.ToPixel(LabelLineOrigin(s, i));
    if (fontPixels < kSmallestFont) {
      // Too small to read: a bar the width of the line, as tall as its lower-case letters.
      double height = std::max(1.0, fontPixels * 0.5);
      RECT bar = {LONG(std::lround(origin.x)), LONG(std::lround(origin.y - height)),
                  LONG(std::lround(origin.x + line.width * viewport.scale)), LONG(std::lround(origin.y))};
      if (bar.right <= bar.left) bar.right = bar.left + 1;
      if (bar.bottom <= bar.top) bar.bottom = bar.top + 1;
      FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
      continue;
    }
    // Each character is placed where the width model puts it, so the lines stay as wide as
    // they were wrapped, whatever the face and size the system draws them in. The text goes
    // out in UTF-16, one advance a unit: a pair's second unit advances no further.
    std::u16string text;
    std::vector<INT> advances;
    double x = 0.0;
    for (std::size_t at = 0; at < line.text.size();) {
      CodePoint c = CodePointAt(line.text, at);
      std::u16string units = Utf16Of(line.text.substr(at, c.length));
      at += c.length;
      double next = x + CharWidth(c.value) * viewport.scale;
      text += units;
      advances.push_back(INT(std::lround(next) - std::lround(x)));
      advances.resize(text.size(), 0);
      x = next;
    }
    auto draw = [&](int left, int baseline) {
      ExtTextOutW(dc, left, baseline, 0, nullptr, reinterpret_cast<const wchar_t*>(text.c_str()), UINT(text.size()),
                  advances.data());
    };
    int left = int(std::lround(origin.x)), baseline = int(std::lround(origin.y));
    if (edged) {
      SetTextColor(dc, RGB(255, 255, 255));
      for (POINT d : {POINT{-1, 0}, POINT{1, 0}, POINT{0, -1}, POINT{0, 1}}) draw(left + d.x, baseline + d.y);
      SetTextColor(dc, RGB(0, 0, 0));
    }
    draw(left, baseline);
  }
}
