#include "common/text.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8, SequenceLengthOfWellFormedCharactersOnly) {
  struct Case {
    const char* text;
    size_t length;
  } cases[] = {
      {"a", 1},
      {"\xC3\xA9x", 2},                  // U+00E9
      {"\xE6\x97\xA5", 3},               // U+65E5
      {"\xF0\x9F\x98\x80", 4},           // U+1F600
      {"\xF4\x8F\xBF\xBF", 4},           // U+10FFFF, the last
      {"", 0},
      {"\xA9", 0},                       // a continuation byte alone
      {"\xC3", 0},                       // cut short
      {"\xE6\x97", 0},
      {"\xC3(", 0},                      // no continuation
      {"\xC0\xAF", 0},                   // overlong '/'
      {"\xE0\x80\xAF", 0},               // overlong, three bytes
      {"\xF0\x80\x80\xAF", 0},           // overlong, four bytes
      {"\xED\xA0\x80", 0},               // a surrogate
      {"\xF4\x90\x80\x80", 0},           // past U+10FFFF
      {"\xF5\x80\x80\x80", 0},
      {"\xFF", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8SequenceLength(c.text), c.length) << c.text;
}

TEST(Utf8, ToUtf16AsABstrHoldsIt) {
  struct Case {
    const char* text;
    std::u16string wide;
  } cases[] = {
      {"index.html", u"index.html"},
      {"caf\xC3\xA9.html", u"caf\u00E9.html"},
      {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.html", u"\u65E5\u672C\u8A9E.html"},
      {"\xF0\x9F\x98\x80!", u"\xD83D\xDE00!"},  // a surrogate pair
      // Bytes that are not UTF-8 become U+FFFD each; what follows them is read again.
      {"caf\xE9.html", u"caf\uFFFD.html"},
      {"\xE6\x97" "a", u"\uFFFD\uFFFDa"},
      {"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf16FromUtf8(c.text), c.wide) << c.text;
}

}  // namespace
