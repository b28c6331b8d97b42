// What a site-tree label says beyond its URL: the mark of an FTP file, and whether the label
// can be read at all. Substring tests on the lower-cased text, as every URL test.
#pragma once
#include <string_view>

// Appended to the label of an FTP entry that is a file.
inline constexpr std::string_view kFileMark = " (file)";

// A label cut at the first " (file)": the URL it stands for.
std::string_view UrlOfLabel(std::string_view label);

// E-mail links, image maps and FTP files are never read.
bool IsUnreadableLabel(std::string_view label);
