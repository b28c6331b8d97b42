// The canvas painted: the lines, then each shape's outline and label, those outside the view
// skipped; labels too small to read drawn as grey bars.
#include "plotwright/view_win32.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <vector>

#include "plotwright/label_wrap.h"
#include "plotwright/numbered_text_win32.h"
#include "plotwright/owners_win32.h"
#include "plotwright/resource.h"
#include "plotwright/utf8.h"

namespace {

// Labels are drawn down to this font size in pixels; below it a grey bar stands for each line.
constexpr double kSmallestFont = 3.0;
constexpr double kSmallestEdgedFont = 8.0;

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

HFONT LabelFont(int height, BYTE charset, const char* face) {
  return CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}

bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

COLORREF Colour(Rgb c) {
  Rgb d = DrawnColour(c);
  return RGB(d.r, d.g, d.b);
}

}  // namespace

// GDI draws a character that the selected font lacks as a box and looks for no other font
// itself: such characters (CJK ideographs, where Arial has none) are given the first font of an
// East Asian character set that has them. Those fonts are made when first needed.
class LabelFonts {
public:
  explicit LabelFonts(int pixels) : height(pixels), main(LabelFont(pixels, ANSI_CHARSET, "Arial")) {}
  HFONT Main() const { return main.get(); }

  struct Run {
    std::size_t start, length;
    HFONT font;
  };
  // The text cut where its font changes; main must be selected into dc.
  std::vector<Run> Runs(HDC dc, const std::u16string& text) {
    std::vector<HFONT> fontOf(text.size(), main.get());
    std::vector<std::size_t> missing = Missing(dc, text);
    for (std::size_t k = 0; k < std::size(kCharsets) && !missing.empty(); ++k) {
      HFONT font = Fallback(k);
      std::u16string wanted;
      for (std::size_t i : missing) wanted += text[i];
      std::vector<std::size_t> lacking;  // places in wanted
      {
        Selected face(dc, font);
        lacking = Missing(dc, wanted);
      }
      std::vector<std::size_t> still;
      for (std::size_t j = 0, next = 0; j < missing.size(); ++j) {
        if (next < lacking.size() && lacking[next] == j) {
          still.push_back(missing[j]);
          ++next;
        } else {
          fontOf[missing[j]] = font;
        }
      }
      missing = std::move(still);
    }
    std::vector<Run> runs;
    for (std::size_t i = 0; i < text.size(); ++i) {
      // The second half of a pair goes with the first.
      if (i > 0 && IsLowSurrogate(text[i])) fontOf[i] = fontOf[i - 1];
      if (runs.empty() || runs.back().font != fontOf[i]) runs.push_back({i, 0, fontOf[i]});
      ++runs.back().length;
    }
    return runs;
  }

private:
  static constexpr BYTE kCharsets[] = {SHIFTJIS_CHARSET, GB2312_CHARSET, CHINESEBIG5_CHARSET, HANGEUL_CHARSET};

  // The places in text of the characters that the font selected into dc has no glyph for.
  static std::vector<std::size_t> Missing(HDC dc, const std::u16string& text) {
    std::vector<WORD> glyphs(text.size());
    std::vector<std::size_t> missing;
    if (GetGlyphIndicesW(dc, reinterpret_cast<const wchar_t*>(text.c_str()), int(text.size()), glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
      return missing;
    for (std::size_t i = 0; i < glyphs.size(); ++i)
      if (glyphs[i] == 0xFFFF && !IsLowSurrogate(text[i])) missing.push_back(i);
    return missing;
  }

  HFONT Fallback(std::size_t k) {
    while (fallbacks.size() <= k)
      fallbacks.push_back(std::make_unique<GdiObject<HFONT>>(LabelFont(height, kCharsets[fallbacks.size()], "")));
    return fallbacks[k]->get();
  }

  int height;
  GdiObject<HFONT> main;
  std::vector<std::unique_ptr<GdiObject<HFONT>>> fallbacks;
};

void PlotView::OnPaint() {
  LONGLONG start = Ticks();
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(canvas, &ps);
  RECT r = ViewRect();
  if (r.right > 0 && r.bottom > 0) {
    // Drawn off screen first, so a drawing of many shapes does not flicker as it grows.
    MemoryDc memory(CreateCompatibleDC(dc));
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, r.right, r.bottom));
    Selected keep(memory.get(), bitmap.get());
    Paint(memory.get(), r);
    BitBlt(dc, 0, 0, r.right, r.bottom, memory.get(), 0, 0, SRCCOPY);
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
  const std::vector<std::vector<Point>>& routes = app.Routes(*doc);
  for (std::size_t i = 0; i < doc->lines.size(); ++i) {
    const std::vector<Point>& chartRoute = routes[i];
    if (chartRoute.empty()) continue;  // an end was not placed
    Bounds reach{chartRoute[0].x, chartRoute[0].y, chartRoute[0].x, chartRoute[0].y};
    for (const Point& p : chartRoute) reach = reach.Union({p.x, p.y, p.x, p.y});
    if (!visible(reach)) continue;
    const Line& l = app.line(doc->lines[i]);
    std::vector<POINT> route = pixels(chartRoute);
    Selected pen(dc, l.laidOut ? solid.get() : dotted.get());
    Polyline(dc, route.data(), int(route.size()));
  }

  GdiObject<HPEN> outline(CreatePen(PS_SOLID, 1, RGB(32, 32, 32)));
  double fontPixels = kFontSize * viewport.scale;
  LabelFonts fonts(int(std::lround(fontPixels)));
  Selected pen(dc, outline.get());
  Selected typeface(dc, fonts.Main());
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
    PaintLabel(dc, s, fontPixels, fonts);
  }
}

void PlotView::PaintLabel(HDC dc, const Shape& s, double fontPixels, LabelFonts& fonts) {
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
    std::vector<LabelFonts::Run> runs = fonts.Runs(dc, text);
    auto draw = [&](int left, int baseline) {
      for (const LabelFonts::Run& run : runs) {
        Selected face(dc, run.font);
        int x = left;
        for (std::size_t i = 0; i < run.start; ++i) x += advances[i];
        ExtTextOutW(dc, x, baseline, 0, nullptr, reinterpret_cast<const wchar_t*>(text.c_str()) + run.start,
                    UINT(run.length), advances.data() + run.start);
      }
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
