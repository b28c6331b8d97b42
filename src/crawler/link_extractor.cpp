// The one-pass link scanner: a character scanner for "HREF" and "FRAME" ... "SRC",
// not an HTML parser. Its odd consequences (values run on over attributes, FRAME taking a
// later SRC, the base for an empty value) are intended: pages are read as they were before.
#include "crawler/link_extractor.h"

#include <cstring>
#include <unordered_set>

#include "site/url.h"

namespace {

// Upper-case comparison of ASCII letters: c & 0xDF maps exactly 'x' and 'X' to 'X'.
inline bool IsLetter(char c, char upper) { return (static_cast<unsigned char>(c) & 0xDF) == static_cast<unsigned char>(upper); }

inline bool IsHref(const char* p) { return IsLetter(p[0], 'H') && IsLetter(p[1], 'R') && IsLetter(p[2], 'E') && IsLetter(p[3], 'F'); }

inline bool IsFrame(const char* p) {
  return IsLetter(p[0], 'F') && IsLetter(p[1], 'R') && IsLetter(p[2], 'A') && IsLetter(p[3], 'M') && IsLetter(p[4], 'E');
}

inline bool IsSrc(const char* p) { return IsLetter(p[0], 'S') && IsLetter(p[1], 'R') && IsLetter(p[2], 'C'); }

bool IsErrorPage(std::string_view text) { return ContainsNoCase(text.substr(0, 80), "not found"); }

}  // namespace

bool ExtractLinks(std::string_view pageText, std::string_view base, bool isLocal, LinkList& links) {
  if (IsErrorPage(pageText)) return false;
  const size_t length = pageText.size();
  if (length <= 5) return true;
  const char* text = pageText.data();

  std::unordered_set<std::string> seen;
  std::string value;
  size_t pos = 0;
  // A word that starts within the last five characters is not looked for.
  const size_t lastPos = length - 6;
  while (pos <= lastPos) {
    // "HREF", or "FRAME" and the next "SRC" anywhere after it; a cheap first-letter test in front.
    const unsigned char first = static_cast<unsigned char>(text[pos]) & 0xDF;
    if (first != 'H' && first != 'F') {
      ++pos;
      continue;
    }
    bool found = false;
    if (IsHref(text + pos)) {
      pos += 4;
      found = true;
    } else if (IsFrame(text + pos)) {
      pos += 5;
      while (pos + 3 < length) {
        bool src = IsSrc(text + pos);
        ++pos;
        if (src) {
          found = true;
          break;
        }
      }
    }
    if (found) {
      // Skip to the value: past a "=", or onto a ">" (an empty value).
      while (pos < length && text[pos] != '>' && text[pos] != '=') ++pos;
      if (pos < length && text[pos] == '=') ++pos;
      // Collect it: blanks, double quotes and "<" are dropped, not ends; so are line breaks
      // and tabs, as browsers drop them from URLs (a label must stay on one line).
      value.clear();
      int quotes = 0;
      while (pos < length) {
        const char c = text[pos];
        if (c == '>') break;
        if (c == '"' && ++quotes == 2) break;
        if (c != ' ' && c != '"' && c != '<' && c != '\r' && c != '\n' && c != '\t') value.push_back(c);
        ++pos;
      }
      // Raw values seen before on this page are dropped; e-mail links stay as written.
      if (seen.insert(value).second) {
        std::string link = ContainsNoCase(value, "ailto") ? value
                           : isLocal                      ? CombineLocal(base, value)
                                                          : CombineUrl(base, value);
        // Longer than any URL the platform can open: relative links on a page with a very
        // long URL would otherwise grow the tree by that length each.
        if (link.size() <= kMaxUrlLength) links.push_back(std::move(link));
      }
    }
    ++pos;
  }
  return true;
}
