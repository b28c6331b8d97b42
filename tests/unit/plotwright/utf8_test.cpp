#include "plotwright/utf8.h"

#include <gtest/gtest.h>

TEST(Utf8, CharactersAreReadWholeAndStrayBytesAsLatin1) {
  struct Case {
    std::string text;
    char32_t value;
    std::size_t length;
  } cases[] = {
      {"a", U'a', 1},
      {"\xC3\xA9", 0xE9, 2},
      {"\xE6\x97\xA5", 0x65E5, 3},
      {"\xF0\x9F\x98\x80", 0x1F600, 4},
      {"\xE9", 0xE9, 1},               // Latin-1 e acute
      {"\xE6\x97", 0xE6, 1},           // cut short
      {"\xC0\xAF", 0xC0, 1},           // overlong
      {"\xED\xA0\x80", 0xED, 1},       // a surrogate
      {"\xF4\x90\x80\x80", 0xF4, 1},   // past U+10FFFF
      {"", 0, 0},
  };
  for (const Case& c : cases) {
    CodePoint p = CodePointAt(c.text, 0);
    EXPECT_EQ(p.value, c.value) << c.text;
    EXPECT_EQ(p.length, c.length) << c.text;
  }
}

TEST(Utf8, TextsCrossAsUtf16AndComeBackUnchanged) {
  struct Case {
    std::u16string wide;
    std::string utf8;
  } cases[] = {
      {u"index.html", "index.html"},
      {u"caf\u00E9.html", "caf\xC3\xA9.html"},
      {u"\u65E5\u672C\u8A9E.html", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.html"},
      {u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
      {u"\u07FF\u0800\uFFFD", "\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBD"},
      {u"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8FromUtf16(c.wide), c.utf8);
    EXPECT_EQ(Utf16Of(c.utf8), c.wide);
  }
  // A surrogate without its partner is no character; a byte that is not UTF-8 is its Latin-1 one.
  EXPECT_EQ(Utf8FromUtf16(u"a\xD83D" "b\xDE00"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
  EXPECT_EQ(Utf16Of("caf\xE9"), u"caf\u00E9");
}
