// The link scanner and its odd consequences.
#include "crawler/link_extractor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const char* kBase = "http://www.example.com/dir/page.html";

struct Case {
  const char* name;
  std::string page;
  std::vector<std::string> links;
};

std::string Padded(const std::string& text) { return "<html><body>" + text + "</body></html>"; }

#define D "http://www.example.com/dir/"

// The scanner: where it looks for links, what it keeps, in which order.
const std::vector<Case>& ScannerCases() {
  static const std::vector<Case> cases = {
      {"simple", Padded("<a href=\"a.html\">A</a>"), {D "a.html"}},
      {"letter case of the word", Padded("<A HrEf=\"a.html\">"), {D "a.html"}},
      {"order of first appearance, duplicates dropped",
       Padded("<a href=\"b.html\"><a href=\"a.html\"><a href=\"b.html\">"), {D "b.html", D "a.html"}},
      {"duplicates on the raw text only", Padded("<a href=\"a.html\"><a href=\"./a.html\">"), {D "a.html", D "a.html"}},
      {"duplicates judged before decoding", Padded("<a href=\"a&amp;b\"><a href=\"a&#38;b\"><a href='a&amp;b'>"),
       {D "a&b", D "a&b"}},
      {"empty quoted value gives the base", Padded("<a href=\"\">"), {kBase}},
      {"no value before > gives the base", Padded("<a href>x</a>"), {kBase}},
      {"word in running text", Padded("Read the href attribute docs.<p>"), {kBase}},
      {"fragments kept", Padded("<a href=\"x.html#one\"><a href=\"x.html#two\">"), {D "x.html#one", D "x.html#two"}},
      {"mail links neither combined nor encoded, but decoded",
       Padded("<a href=\"MAILTO:Me@Example.com\"><a href=\"../mailto.html\"><a href=' mailto:a&#64;b.c?subject=a b '>"),
       {"MAILTO:Me@Example.com", "../mailto.html", "mailto:a@b.c?subject=a b"}},  // "ailto" anywhere
      {"two spellings of one address give one address",
       Padded("<a href=\"caf\xC3\xA9.html\"><a href=caf%C3%A9.html><a href='caf&#xE9;.html'><a href=\"my page.html\">"),
       {D "caf%C3%A9.html", D "caf%C3%A9.html", D "caf%C3%A9.html", D "my%20page.html"}},
      {"mail link without colon by ailto", Padded("<a href=\"Ailto-x\">"), {"Ailto-x"}},
      {"absolute links", Padded("<a href=\"http://other.org/\"><a href=\"/root.html\">"),
       {"http://other.org/", "http://www.example.com/root.html"}},
      {"frame src", Padded("<frame name=\"top\" src=\"top.html\">"), {D "top.html"}},
      {"iframe matches FRAME", Padded("<iframe SRC=\"i.html\"></iframe>"), {D "i.html"}},
      {"frameset has no src of its own", Padded("<frameset rows=\"50%,50%\"><frame src=\"top.html\"><frame src=b.html>"),
       {D "top.html", D "b.html"}},
      {"frame without src yields nothing, a later src is no link",
       Padded("<frame name=x><a href=\"a.html\"><img src=\"b.gif\"><a href=\"c.html\">"), {D "a.html", D "c.html"}},
      {"frame in running text hides no link after it",
       Padded("a frame (see <a href=\"x.html\">x</a>), a framework <a href=y.html>, frames frames <iframe src=z.html>"),
       {D "x.html", D "y.html", D "z.html"}},
      {"src alone is no link", Padded("<img src=\"x.gif\">"), {}},
      {"link past the URL limit left out, the rest kept",
       Padded("<a href=\"" + std::string(2083 - 27, 'p') + "\"><a href=\"" + std::string(2083 - 26, 'q') +
              "\"><a href=\"b.html\">"),
       {D + std::string(2083 - 27, 'p'), D "b.html"}},
      {"mail link past the limit left out too", Padded("<a href=\"mailto:" + std::string(2083, 'm') + "\">"), {}},
      {"comment is scanned", Padded("<!-- <a href=\"hidden.html\"> -->"), {D "hidden.html"}},
      {"HREFHREF", Padded("hrefhref=\"a\""), {D "a"}},
  };
  return cases;
}

// Where a value starts and ends, as HTML reads an attribute value.
const std::vector<Case>& ValueBoundCases() {
  static const std::vector<Case> cases = {
      {"blanks before the value", Padded("<a HREF =\t\r\n\f \"a.html\">"), {D "a.html"}},
      {"single quotes", Padded("<a href='x.html'>"), {D "x.html"}},
      {"blanks, < > and the other quote kept inside quotes",
       Padded("<a href=\"a b<c>'d.html\"><a href='e\"f.html'>"), {D "a%20b%3Cc%3E'd.html", D "e%22f.html"}},
      {"unquoted ends at a blank", Padded("<a href=x.html target=_top>X</a>"), {D "x.html"}},
      {"unquoted ends at a tab or line break", Padded("<a href=x.html\ttitle=t><a href=y.html\nid=y>"),
       {D "x.html", D "y.html"}},
      {"unquoted ends at >", Padded("<a href=x.html>X</a>"), {D "x.html"}},
      {"quotes escaped in a script's string", Padded("s = '<a href=\\\"a b.html\\\">'; t = \"<a href=\\'c.html\\'>\""),
       {D "a%20b.html", D "c.html"}},
      {"quotes inside an unquoted value are kept", Padded("<a href=a'b\"c>"), {D "a'b%22c"}},
      {"an unclosed quote runs to the end of the text", "<a href=\"abc def", {D "abc%20def"}},
      {"unquoted to the end of the text", "<a href=abc", {D "abc"}},
      {"= then nothing", "<a href  =  ", {kBase}},
      {"no = before the end", "<a href  ", {kBase}},
  };
  return cases;
}

// What a browser drops from a value and what it decodes.
const std::vector<Case>& ValueTextCases() {
  static const std::vector<Case> cases = {
      {"tabs and line breaks removed inside", Padded("<a href=\"a\tb\r\n.html\">"), {D "ab.html"}},
      {"blanks trimmed at both ends", Padded("<a href=\"  \ta.html \n \">"), {D "a.html"}},
      {"a value made only of blanks gives the base", Padded("<a href=\" \r\n \">"), {kBase}},
      {"named references", Padded("<a href=\"a.html?x=1&amp;y=&lt;&gt;&quot;&apos;\">"), {D "a.html?x=1&y=%3C%3E%22'"}},
      {"decimal and hex references", Padded("<a href=\"&#97;&#x62;&#X63;&#0065;.html\">"), {D "abcA.html"}},
      {"non-ASCII references as UTF-8", Padded("<a href=\"caf&#233;&#x65E5;&#x1F600;&nbsp;.html\">"),
       {D "caf%C3%A9%E6%97%A5%F0%9F%98%80%C2%A0.html"}},
      {"numeric reference without its ;", Padded("<a href=\"a&#38b\">"), {D "a&b"}},
      {"impossible code points as U+FFFD", Padded("<a href=\"&#0;&#xD800;&#x110000;&#99999999999;\">"),
       {D "%EF%BF%BD%EF%BF%BD%EF%BF%BD%EF%BF%BD"}},
      {"other text stays as written", Padded("<a href=\"?a=1&b=2&copy;&amp&#;&#x;&AMP;\">"),
       {"http://www.example.com/dir/page.html?a=1&b=2&copy;&amp&#;&#x;&AMP;"}},
      {"decoded once, not twice", Padded("<a href=\"&amp;amp;&amp;#38;\">"), {D "&amp;&#38;"}},
      {"references to tabs and line breaks dropped, to blanks trimmed", Padded("<a href=\"&#32;a&#9;b&#10;&#13;.html&#32;\">"),
       {D "ab.html"}},
      {"a quote by reference does not end the value", Padded("<a href=\"a&quot;b\">"), {D "a%22b"}},
  };
  return cases;
}

#undef D

void ExpectTable(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    LinkList links;
    EXPECT_TRUE(ExtractLinks(c.page, kBase, false, links)) << c.name;
    EXPECT_EQ(links, c.links) << c.name;
  }
}

TEST(ExtractLinks, Scanner) { ExpectTable(ScannerCases()); }
TEST(ExtractLinks, WhereValuesStartAndEnd) { ExpectTable(ValueBoundCases()); }
TEST(ExtractLinks, ValueText) { ExpectTable(ValueTextCases()); }

TEST(ExtractLinks, AppendsToTheGivenList) {
  LinkList links = {"ftp entry"};
  ASSERT_TRUE(ExtractLinks(Padded("<a href=\"a.html\">"), kBase, false, links));
  EXPECT_EQ(links, (LinkList{"ftp entry", "http://www.example.com/dir/a.html"}));
}

TEST(ExtractLinks, ShortTextYieldsNothingAndCountsAsRead) {
  for (const char* text : {"", "href", "href=", "<a hr"}) {
    LinkList links;
    EXPECT_TRUE(ExtractLinks(text, kBase, false, links)) << text;
    EXPECT_TRUE(links.empty()) << text;
  }
}

TEST(ExtractLinks, LastFiveCharacters) {
  LinkList links;
  // "href" at position 10 of 16 characters: 10 + 5 < 16, found.
  ASSERT_TRUE(ExtractLinks("aaaaaaaaaahref=x", kBase, false, links));
  EXPECT_EQ(links, (LinkList{"http://www.example.com/dir/x"}));
  links.clear();
  // 15 characters: 10 + 5 is not less than 15, not found.
  ASSERT_TRUE(ExtractLinks("aaaaaaaaaahref=", kBase, false, links));
  EXPECT_TRUE(links.empty());
  links.clear();
  // "SRC" must start before the last three characters.
  ASSERT_TRUE(ExtractLinks("<frame src", kBase, false, links));
  EXPECT_TRUE(links.empty());
  ASSERT_TRUE(ExtractLinks("<frame src=", kBase, false, links));
  EXPECT_EQ(links, (LinkList{kBase}));
}

TEST(ExtractLinks, ErrorPage) {
  LinkList links;
  EXPECT_FALSE(ExtractLinks("<html><title>404 NOT Found</title><a href=\"a.html\">", kBase, false, links));
  EXPECT_TRUE(links.empty());
  EXPECT_FALSE(ExtractLinks("not found", kBase, false, links));  // short, still an error page
  // Within the first 80 characters: "not found" ending at character 80.
  std::string edge = std::string(71, 'x') + "Not Found" + "<a href=\"a.html\">";
  EXPECT_FALSE(ExtractLinks(edge, kBase, false, links));
  // Starting at character 73, it no longer fits in the first 80.
  std::string late = std::string(72, 'x') + "not found" + "<a href=\"a.html\">";
  EXPECT_TRUE(ExtractLinks(late, kBase, false, links));
  EXPECT_EQ(links, (LinkList{"http://www.example.com/dir/a.html"}));
}

TEST(ExtractLinks, LocalPage) {
  LinkList links;
  ASSERT_TRUE(ExtractLinks(Padded("<a href=\"a.html\"><a href=\"../up.html\"><a href=\"www.example.com\">"
                                  "<a href=\"mailto:x@y.z\"><a href=\"http://x/y z\"><a href=' b&amp;c.html' id=x>"
                                  "<a href=\"my%20page.html\">"),
                           "C:\\site\\index.html", true, links));
  EXPECT_EQ(links, (LinkList{"C:\\site\\a.html", "C:\\up.html", "http://www.example.com", "mailto:x@y.z", "http://x/y%20z",
                             "C:\\site\\b&c.html", "C:\\site\\my page.html"}));
}

TEST(ExtractLinks, ManyLinksInOrder) {
  std::string page;
  for (int i = 0; i < 5000; ++i) page += "<a href=\"p" + std::to_string(i % 2500) + ".html\">";
  LinkList links;
  ASSERT_TRUE(ExtractLinks(page, kBase, false, links));
  ASSERT_EQ(links.size(), 2500u);
  EXPECT_EQ(links.front(), "http://www.example.com/dir/p0.html");
  EXPECT_EQ(links.back(), "http://www.example.com/dir/p2499.html");
}

TEST(ExtractLinks, BinaryBytes) {
  std::string page = "<html><a href=\"a";
  page += std::string("\0\xff\x80", 3);
  page += "b\">";
  LinkList links;
  ASSERT_TRUE(ExtractLinks(page, kBase, false, links));
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0], "http://www.example.com/dir/a%00%FF%80b");
}

}  // namespace
