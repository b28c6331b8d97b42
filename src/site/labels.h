// What a site-tree label says beyond its URL: the mark of an FTP file, and whether the label
// can be read at all. Substring tests on the lower-cased text, as every URL test.
#pragma once
#include <string>
#include <string_view>

// Appended to the label of an FTP entry that is a file.
inline constexpr std::string_view kFileMark = " (file)";

// A label cut at the first " (file)": the URL it stands for.
std::string_view UrlOfLabel(std::string_view label);

// What a URL or label looks like, by the substring tests every URL rule uses: "ailto" for an
// e-mail link (any case of "mailto"), "ftp:" for an FTP URL, "ftp." for an FTP site's host.
bool LooksLikeMail(std::string_view text);
bool LooksLikeFtpUrl(std::string_view text);
bool LooksLikeFtpSite(std::string_view text);

// E-mail links, image maps and FTP files are never read.
bool IsUnreadableLabel(std::string_view label);

// A page name as a person reads it, in UTF-8: each percent-escape of a printable ASCII
// character is decoded, and escapes that together spell one well-formed UTF-8 character
// become that character. Escapes of control characters, an escaped byte that starts no
// character, and a '%' without two hex digits stay as written.
std::string ReadableName(std::string_view name);
