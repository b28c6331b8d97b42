// The one-pass link scanner: a character scanner for "HREF" and "FRAME" ... "SRC",
// not an HTML parser. It finds the words anywhere (text, comments, scripts), but reads the
// value after them as HTML reads an attribute value, so the link is the one a browser follows.
#include "crawler/link_extractor.h"

#include <cstring>
#include <unordered_set>

#include "site/labels.h"
#include "site/url.h"

namespace {

// Upper-case comparison of ASCII letters: c & 0xDF maps exactly 'x' and 'X' to 'X'.
inline bool IsLetter(char c, char upper) { return (static_cast<unsigned char>(c) & 0xDF) == static_cast<unsigned char>(upper); }

inline bool IsHref(const char* p) { return IsLetter(p[0], 'H') && IsLetter(p[1], 'R') && IsLetter(p[2], 'E') && IsLetter(p[3], 'F'); }

inline bool IsFrame(const char* p) {
  return IsLetter(p[0], 'F') && IsLetter(p[1], 'R') && IsLetter(p[2], 'A') && IsLetter(p[3], 'M') && IsLetter(p[4], 'E');
}

inline bool IsSrc(const char* p) { return IsLetter(p[0], 'S') && IsLetter(p[1], 'R') && IsLetter(p[2], 'C'); }

// HTML's blanks between attributes.
inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

size_t NextClose(const char* text, size_t length, size_t from) {
  const void* close = std::memchr(text + from, '>', length - from);
  return close ? static_cast<size_t>(static_cast<const char*>(close) - text) : length;
}

// A "SRC" that starts before the last three characters.
size_t NextSrc(const char* text, size_t length, size_t from) {
  for (size_t i = from; i + 3 < length; ++i)
    if (IsSrc(text + i)) return i;
  return length;
}

bool IsErrorPage(std::string_view text) { return ContainsNoCase(text.substr(0, 80), "not found"); }

// The value after the word, as written: past the first "=" (a ">" first means no value) and
// the blanks after it, then between matching quotes, or unquoted up to a blank or ">". `pos`
// is left on the character that ended it (the closing quote, the blank or the ">").
std::string_view RawValue(const char* text, size_t length, size_t& pos) {
  while (pos < length && text[pos] != '>' && text[pos] != '=') ++pos;
  if (pos >= length || text[pos] == '>') return {};
  ++pos;
  while (pos < length && IsBlank(text[pos])) ++pos;
  if (pos >= length) return {};
  // HTML written in a script's string quotes its values as \" or \'; the script's page
  // gets the value between them.
  const bool escaped = text[pos] == '\\' && pos + 1 < length && (text[pos + 1] == '"' || text[pos + 1] == '\'');
  if (escaped) ++pos;
  const char quote = text[pos];
  if (quote == '"' || quote == '\'') {
    const size_t start = ++pos;
    const void* end = std::memchr(text + start, quote, length - start);
    pos = end ? static_cast<size_t>(static_cast<const char*>(end) - text) : length;
    const size_t valueEnd = escaped && pos > start && text[pos - 1] == '\\' ? pos - 1 : pos;
    return {text + start, valueEnd - start};
  }
  const size_t start = pos;
  while (pos < length && !IsBlank(text[pos]) && text[pos] != '>') ++pos;
  return {text + start, pos - start};
}

void AppendUtf8(unsigned long code, std::string& out) {
  // Tabs and line breaks never reach a URL, written out or not.
  if (code == '\t' || code == '\n' || code == '\r') return;
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') return (c | 0x20) - 'a' + 10;
  return -1;
}

struct NamedReference {
  std::string_view name;  // with its ";"
  unsigned long code;
};
constexpr NamedReference kNamedReferences[] = {
    {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}, {"nbsp;", 0xA0},
};

// The character reference at the start of `text` (which starts with "&"), appended as UTF-8;
// returns the characters it took, 0 when the text is no reference (the "&" then stays).
// Numeric references end at the first character that is no digit, their ";" optional.
size_t AppendReference(std::string_view text, std::string& out) {
  if (text.size() >= 3 && text[1] == '#') {
    const bool hex = text[2] == 'x' || text[2] == 'X';
    size_t i = hex ? 3 : 2;
    const size_t first = i;
    unsigned long code = 0;
    for (; i < text.size(); ++i) {
      const int digit = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
      if (digit < 0) break;
      if (code <= 0x10FFFF) code = code * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
    }
    if (i == first) return 0;
    if (i < text.size() && text[i] == ';') ++i;
    AppendUtf8(code, out);
    return i;
  }
  for (const NamedReference& ref : kNamedReferences) {
    if (text.substr(1, ref.name.size()) == ref.name) {
      AppendUtf8(ref.code, out);
      return 1 + ref.name.size();
    }
  }
  return 0;
}

// The value as a browser takes it for a URL: references decoded, tabs and line breaks
// dropped, control characters and blanks trimmed from both ends.
void DecodeValue(std::string_view raw, std::string& value) {
  value.clear();
  for (size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '\t' || c == '\n' || c == '\r') continue;
    if (c == '&') {
      if (size_t used = AppendReference(raw.substr(i), value)) {
        i += used - 1;
        continue;
      }
    }
    value.push_back(c);
  }
  size_t start = 0;
  while (start < value.size() && static_cast<unsigned char>(value[start]) <= ' ') ++start;
  size_t end = value.size();
  while (end > start && static_cast<unsigned char>(value[end - 1]) <= ' ') --end;
  value.erase(end);
  value.erase(0, start);
}

}  // namespace

bool ExtractLinks(std::string_view pageText, std::string_view base, bool isLocal, LinkList& links) {
  if (IsErrorPage(pageText)) return false;
  const size_t length = pageText.size();
  if (length <= 5) return true;
  const char* text = pageText.data();

  // Raw values point into the page, which outlives the scan.
  std::unordered_set<std::string_view> seen;
  std::string value;
  size_t pos = 0;
  size_t nextClose = 0, nextSrc = 0;
  // A word that starts within the last five characters is not looked for.
  const size_t lastPos = length - 6;
  while (pos <= lastPos) {
    // "HREF", or "FRAME" and a "SRC" before the tag ends; a cheap first-letter test in front.
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
      // The next ">" and the next "SRC" are kept, so that many FRAMEs before one ">" cost one
      // search; without a SRC of its own, the words after the FRAME are scanned as usual.
      const size_t after = pos + 5;
      if (nextClose < after) nextClose = NextClose(text, length, after);
      if (nextSrc < after) nextSrc = NextSrc(text, length, after);
      if (nextSrc < nextClose) {
        pos = nextSrc + 1;
        found = true;
      }
    }
    if (found) {
      const std::string_view raw = RawValue(text, length, pos);
      // Raw values seen before on this page are dropped; e-mail links are neither combined
      // nor encoded.
      if (seen.insert(raw).second) {
        DecodeValue(raw, value);
        std::string link = LooksLikeMail(value)           ? value
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
