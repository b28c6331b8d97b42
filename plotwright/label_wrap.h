// How a shape's label is set: lines that fit the shape's width, broken after the separators of
// addresses and paths, measured by one width model so that the window and the SVG break alike.
#pragma once

#include <string>
#include <vector>

// The document's font size and line pitch, in chart units.
constexpr double kFontSize = 0.12;
constexpr double kLineHeight = kFontSize * 1.2;
// Room left between the text and the shape's sides.
constexpr double kLabelPadding = 0.03;

struct LabelLine {
  std::string text;
  double width = 0.0;  // chart units at kFontSize
};

// The width of a character and of a text at kFontSize. Each character is counted as wide as in
// the broader of the usual sans-serif faces, so a line never outgrows its box in whichever one
// is drawn.
double CharWidth(char32_t c);
double TextWidth(const std::string& text);

// The label (UTF-8) on as many lines as it needs, none wider than width: a line breaks after '/',
// '\', '.', '?', '&', '=' or '-', or at a space (which is dropped), and between any two characters
// inside a run longer than a line. An empty label has no lines.
std::vector<LabelLine> WrapLabel(const std::string& label, double width);
