// A document as an SVG picture, in chart units (one unit drawn as 96 pixels).
#pragma once

#include <string>

#include "plotwright/automation.h"

// Text for XML content and attributes, in UTF-8: markup characters as entities, a byte that is
// not UTF-8 as the reference of its Latin-1 character, a line feed kept as a reference, other
// control characters as spaces.
std::string XmlText(const std::string& text);
std::string SvgDocument(const Application& app, const Document& document);
// "#rrggbb" of the colour as drawn.
std::string HexColour(Rgb colour);
