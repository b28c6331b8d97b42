#include "crawler/html_kind.h"

#include "common/text.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The second text is lower case.
bool EqualsNoCase(std::string_view text, std::string_view lower) {
  return text.size() == lower.size() && StartsWithNoCase(text, lower);
}

bool EndsWithNoCase(std::string_view text, std::string_view lowerEnd) {
  return text.size() >= lowerEnd.size() && EqualsNoCase(text.substr(text.size() - lowerEnd.size()), lowerEnd);
}

}  // namespace

bool IsHtmlContentType(std::string_view contentType) {
  std::string_view media = Trimmed(contentType.substr(0, contentType.find(';')));
  return EqualsNoCase(media, "text/html") || EqualsNoCase(media, "application/xhtml+xml");
}

bool StartsLikeHtml(std::string_view text) {
  for (char c : text)
    if (!IsBlank(c)) return c == '<';
  return false;
}

bool IsHtmlFile(std::string_view path, std::string_view text) {
  for (std::string_view end : {".htm", ".html", ".shtml", ".xhtml"})
    if (EndsWithNoCase(path, end)) return true;
  return StartsLikeHtml(text);
}
