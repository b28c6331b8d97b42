// The broken-links report: one HTML page a person opens in a browser, written in the program's
// 8-bit text with CR LF line ends, as the sitemap file is.
#pragma once
#include <iosfwd>
#include <string>
#include <string_view>

#include "crawler/broken_links.h"

// `time` is when the report was made, as the page shows it. False when the stream failed.
bool WriteBrokenLinksPage(const BrokenLinks& found, std::string_view time, std::ostream& out);

// Text put into HTML as it reads: & < > " and ' escaped.
std::string EscapeHtml(std::string_view text);
// Where a link to the address leads: a web or FTP URL as it is, a local path as a file URL;
// empty for anything else (a "javascript:" address found on a page is never made a link).
std::string LinkTarget(std::string_view address);
