#include "plotwright/svg_writer.h"

#include <charconv>
#include <cstdio>

#include "plotwright/geometry.h"
#include "plotwright/utf8.h"

namespace {

constexpr double kPixelsPerUnit = 96.0;
constexpr double kMargin = 0.5;
// Text is set in units a hundredth of the drawing's: librsvg hints a font at its size in user
// units, and at the drawing's own 0.12 its glyphs come out mangled.
constexpr double kTextUnits = 100.0;

std::string Num(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.4f", v);
  std::string s = buffer;
  s.erase(s.find_last_not_of('0') + 1);
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

std::string Points(const std::vector<Point>& points) {
  std::string out;
  for (const Point& p : points) {
    if (!out.empty()) out += ' ';
    out += Num(p.x) + "," + Num(p.y);
  }
  return out;
}

void WriteShape(std::string& out, const Shape& s, int number) {
  Rgb fill = s.fill ? DrawnColour(*s.fill) : MasterFill(s.master);
  out += "<g id=\"shape" + std::to_string(number) + "\" data-master=\"" + MasterName(s.master) + "\"";
  if (s.fill) out += " data-fill=\"" + std::to_string(s.fill->r) + "," + std::to_string(s.fill->g) + "," +
                     std::to_string(s.fill->b) + "\"";
  out += ">\n";
  if (!s.linkAddress.empty()) out += "<a xlink:href=\"" + XmlText(s.linkAddress) + "\">\n";
  if (!HoverText(s).empty()) out += "<title>" + XmlText(HoverText(s)) + "</title>\n";
  for (const Figure& f : ShapeOutline(s.master, {s.x, s.y})) {
    switch (f.kind) {
      case FigureKind::Polygon:
        out += "<polygon points=\"" + Points(f.points) + "\" fill=\"" + HexColour(fill) + "\"/>\n";
        break;
      case FigureKind::Ellipse: {
        Point a = f.points[0], b = f.points[1];
        out += "<ellipse cx=\"" + Num((a.x + b.x) / 2) + "\" cy=\"" + Num((a.y + b.y) / 2) + "\" rx=\"" +
               Num((b.x - a.x) / 2) + "\" ry=\"" + Num((b.y - a.y) / 2) + "\" fill=\"" + HexColour(fill) + "\"/>\n";
        break;
      }
      case FigureKind::Stroke: out += "<polyline points=\"" + Points(f.points) + "\" fill=\"none\"/>\n"; break;
    }
  }
  if (!s.labelLines.empty()) {
    // One line a tspan, broken as the window breaks them; each line is centred on the shape.
    out += "<text transform=\"scale(" + Num(1 / kTextUnits) + ")\">";
    for (std::size_t i = 0; i < s.labelLines.size(); ++i)
      out += "<tspan x=\"" + Num(s.x * kTextUnits) + "\" y=\"" + Num(LabelLineOrigin(s, i).y * kTextUnits) + "\">" +
             XmlText(s.labelLines[i].text) + "</tspan>";
    out += "</text>\n";
  }
  if (!s.linkAddress.empty()) out += "</a>\n";
  out += "</g>\n";
}

}  // namespace

std::string XmlText(const std::string& text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    CodePoint c = CodePointAt(text, at);
    switch (c.value) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\n': out += "&#10;"; break;
      // Not characters XML may hold.
      case 0xFFFE:
      case 0xFFFF: out += Utf8Of(0xFFFD); break;
      default:
        if (c.value < 0x20) out += ' ';
        else if (c.value >= 0x80 && c.length == 1) out += "&#" + std::to_string(c.value) + ";";
        else out.append(text, at, c.length);
    }
    at += c.length;
  }
  return out;
}

std::string HexColour(Rgb colour) {
  Rgb c = DrawnColour(colour);
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.r, c.g, c.b);
  return buffer;
}

std::string SvgDocument(const Application& app, const Document& document) {
  Bounds b = DrawingBounds(app, document, kMargin).value_or(Bounds{0, 0, 2 * kMargin, 2 * kMargin});
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" +
         Num(b.width() * kPixelsPerUnit) + "\" height=\"" + Num(b.height() * kPixelsPerUnit) + "\" viewBox=\"" +
         Num(b.left) + " " + Num(b.top) + " " + Num(b.width()) + " " + Num(b.height()) + "\">\n";
  out += "<title>Plotwright document" + std::to_string(document.number) + "</title>\n";
  out += "<rect x=\"" + Num(b.left) + "\" y=\"" + Num(b.top) + "\" width=\"" + Num(b.width()) + "\" height=\"" +
         Num(b.height()) + "\" fill=\"#ffffff\"/>\n";
  out += "<g id=\"lines\" fill=\"none\" stroke=\"#505050\" stroke-width=\"0.015\">\n";
  const std::vector<std::vector<Point>>& routes = app.Routes(document);
  for (std::size_t i = 0; i < document.lines.size(); ++i) {
    int n = document.lines[i];
    const Line& l = app.line(n);
    if (routes[i].empty()) continue;  // an end was not placed
    out += "<polyline id=\"line" + std::to_string(n) + "\" points=\"" + Points(routes[i]) + "\"";
    // A line the client never laid out is drawn dashed.
    if (!l.laidOut) out += " stroke-dasharray=\"0.05 0.05\"";
    out += "/>\n";
  }
  out += "</g>\n";
  out += "<g id=\"shapes\" stroke=\"#202020\" stroke-width=\"0.012\" font-family=\"Arial, Helvetica, sans-serif\" "
         "font-size=\"" + Num(kFontSize * kTextUnits) + "\" text-anchor=\"middle\">\n";
  // Labels are filled in black over a soft white edge, which keeps the lines of a label that
  // reaches past its shape readable where they cross the outline.
  out += "<style>text { fill: #000000; stroke: #ffffff; stroke-opacity: 0.85; stroke-width: 3; "
         "stroke-linejoin: round; paint-order: stroke; }</style>\n";
  for (int n : document.shapes)
    if (app.shape(n).placed) WriteShape(out, app.shape(n), n);
  out += "</g>\n</svg>\n";
  return out;
}
