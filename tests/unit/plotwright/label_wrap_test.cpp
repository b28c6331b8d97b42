#include "plotwright/label_wrap.h"

#include <gtest/gtest.h>

#include "plotwright/link_target.h"
#include "plotwright/utf8.h"

namespace {

std::vector<std::string> Lines(const std::string& label, double width) {
  std::vector<std::string> out;
  for (const LabelLine& line : WrapLabel(label, width)) {
    if (CodePointAt(line.text, 0).length < line.text.size()) {  // more than one character
      EXPECT_LE(line.width, width) << line.text;
    }
    EXPECT_DOUBLE_EQ(line.width, TextWidth(line.text));
    out.push_back(line.text);
  }
  return out;
}

}  // namespace

TEST(LabelWrap, BreaksAfterSeparatorsAndInsideRunsLongerThanALine) {
  // Widths are taken from the model itself, so the cases test the rule and not the font table.
  double path = TextWidth("site\\products\\");
  struct Case {
    const char* label;
    double width;
    std::vector<std::string> lines;
  } cases[] = {
      {"index.html", 0.72, {"index.html"}},
      {"Z:\\samples\\site\\products\\index.html", path,
       {"Z:\\samples\\", "site\\products\\", "index.html"}},
      {"a.b/c?d=e&f-g", TextWidth("a.b/c?d"), {"a.b/c?", "d=e&f-", "g"}},
      // No separator: the run is cut where the line is full.
      {"abcdefghij", TextWidth("abcd"), {"abcd", "efgh", "ij"}},
      // After a separator, a run longer than a line is cut too.
      {"x/abcdefghij", TextWidth("abcd"), {"x/", "abcd", "efgh", "ij"}},
      // Spaces break and are dropped at the break; control characters count as spaces.
      {"file & more.zip", TextWidth("more.zip"), {"file &", "more.zip"}},
      {"  two\twords  ", TextWidth("words"), {"two", "words"}},
      {"", 0.72, {}},
      {"   ", 0.72, {}},
      // A line too narrow for even one character still takes one, and the wrap ends.
      {"ab", 0.0, {"a", "b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Lines(c.label, c.width), c.lines) << c.label;
}

TEST(LabelWrap, CharactersAboveAsciiAreNeverSplit) {
  const std::string e = "\xc3\xa9", nichi = "\xe6\x97\xa5", hon = "\xe6\x9c\xac", go = "\xe8\xaa\x9e";
  const std::string japanese = nichi + hon + go;
  struct Case {
    std::string label;
    double width;
    std::vector<std::string> lines;
  } cases[] = {
      {"caf" + e + ".html", 0.72, {"caf" + e + ".html"}},
      {"caf" + e + "caf" + e, TextWidth("caf" + e), {"caf" + e, "caf" + e}},
      {japanese + japanese + ".html", TextWidth(japanese), {japanese, japanese, ".html"}},
      {"a/" + japanese, TextWidth(japanese), {"a/", japanese}},
      {japanese, TextWidth(nichi), {nichi, hon, go}},
      // Even a line too narrow for one character takes a whole one.
      {"\xf0\x9f\x98\x80" + e, 0.0, {"\xf0\x9f\x98\x80", e}},
  };
  for (const Case& c : cases) EXPECT_EQ(Lines(c.label, c.width), c.lines) << c.label;
  // A character is counted once, however many bytes it takes; ideographs fill the em square.
  EXPECT_DOUBLE_EQ(TextWidth(e), TextWidth("\xe9"));
  // Accented letters are as wide as their letter, so a word keeps its spacing in the window.
  EXPECT_DOUBLE_EQ(TextWidth("caf" + e), TextWidth("cafe"));
  EXPECT_DOUBLE_EQ(TextWidth("\xc3\x89\xc3\xbf\xc3\x9f"), TextWidth("EyB"));
  EXPECT_GE(TextWidth("\xc3\x86"), TextWidth("W"));  // the AE ligature
  EXPECT_DOUBLE_EQ(TextWidth(nichi), kFontSize);
  EXPECT_GT(TextWidth(nichi), TextWidth("W"));
}

TEST(LinkTarget, OnlyAddressesOfPagesAndMailAreOpenedNeverTheCommand) {
  const std::string browser = "\"C:\\Program Files\\Browser\\browse.exe\" ";
  struct Case {
    std::string text, address;
    LinkKind kind;
    std::string opened;
  } cases[] = {
      {browser + "http://127.0.0.1:8000/storm.html", "http://127.0.0.1:8000/storm.html", LinkKind::Web,
       "http://127.0.0.1:8000/storm.html"},
      {browser + "Z:\\my site\\index.html", "Z:\\my site\\index.html", LinkKind::LocalPage, "Z:\\my site\\index.html"},
      {"ftp://ftp.site.com/file.zip", "ftp://ftp.site.com/file.zip", LinkKind::Web, "ftp://ftp.site.com/file.zip"},
      {browser + "mailto:me@site.com", "mailto:me@site.com", LinkKind::Mail, "mailto:me@site.com"},
      // Another program before the address is not run, and the address is still only opened.
      {"\"Z:\\stray.exe\" HTTPS://site.com/a b", "", LinkKind::Web, "HTTPS://site.com/a%20b"},
      {"C:\\stray.exe http://site.com/", "", LinkKind::Web, "http://site.com/"},
      // Nothing else is opened: programs, other files, other schemes, quotes that could
      // reach a browser's command line, a scheme with nothing after it.
      {"\"Z:\\stray.exe\" Z:\\stray.exe", "", LinkKind::None, ""},
      {browser + "Z:\\site\\notes.txt", "Z:\\site\\notes.txt", LinkKind::None, ""},
      {browser + "file:///C:/a.html", "file:///C:/a.html", LinkKind::None, ""},
      {browser + "javascript:alert(1)", "javascript:alert(1)", LinkKind::None, ""},
      {browser + "http://x/\" -evil", "http://x/\" -evil", LinkKind::None, ""},
      {browser + "http://", "http://", LinkKind::None, ""},
      {"cmd /c calc.exe", "", LinkKind::None, ""},
      {"", "", LinkKind::None, ""},
  };
  for (const Case& c : cases) {
    LinkTarget t = LinkToOpen(c.text, c.address);
    EXPECT_EQ(t.kind, c.kind) << c.text;
    if (c.kind != LinkKind::None) {
      EXPECT_EQ(t.address, c.opened) << c.text;
    }
  }
}
