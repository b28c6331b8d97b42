// Whether a reading is an HTML page, whose links a browser follows. A stylesheet, a script or a
// JSON file may well contain "href", but nothing in it is a link.
#pragma once
#include <string_view>

// text/html or application/xhtml+xml, whatever its parameters.
bool IsHtmlContentType(std::string_view contentType);
// The text's first byte that is not blank is '<'.
bool StartsLikeHtml(std::string_view text);
// A local file: named .htm, .html, .shtml or .xhtml, or else starting like HTML.
bool IsHtmlFile(std::string_view path, std::string_view text);
