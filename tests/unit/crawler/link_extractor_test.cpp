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

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"simple", Padded("<a href=\"a.html\">A</a>"), {"http://www.example.com/dir/a.html"}},
      {"letter case of the word", Padded("<A HrEf=\"a.html\">"), {"http://www.example.com/dir/a.html"}},
      {"blanks dropped", Padded("<a HREF = \"a b.html\">"), {"http://www.example.com/dir/ab.html"}},
      {"order of first appearance, duplicates dropped",
       Padded("<a href=\"b.html\"><a href=\"a.html\"><a href=\"b.html\">"),
       {"http://www.example.com/dir/b.html", "http://www.example.com/dir/a.html"}},
      {"duplicates on the raw text only", Padded("<a href=\"a.html\"><a href=\"./a.html\">"),
       {"http://www.example.com/dir/a.html", "http://www.example.com/dir/a.html"}},
      {"unquoted value runs on over attributes", Padded("<a href=x.html target=_top>X</a>"),
       {"http://www.example.com/dir/x.htmltarget=_top"}},
      {"single quotes stay", Padded("<a href='x.html'>"), {"http://www.example.com/dir/'x.html'"}},
      {"empty quoted value gives the base", Padded("<a href=\"\">"), {kBase}},
      {"no value before > gives the base", Padded("<a href>x</a>"), {kBase}},
      {"word in running text", Padded("Read the href attribute docs.<p>"), {kBase}},
      {"fragments kept", Padded("<a href=\"x.html#one\"><a href=\"x.html#two\">"),
       {"http://www.example.com/dir/x.html#one", "http://www.example.com/dir/x.html#two"}},
      {"mail links unchanged", Padded("<a href=\"MAILTO:Me@Example.com\"><a href=\"../mailto.html\">"),
       {"MAILTO:Me@Example.com", "../mailto.html"}},  // "ailto" anywhere keeps a value as written
      {"mail link without colon by ailto", Padded("<a href=\"Ailto-x\">"), {"Ailto-x"}},
      {"absolute links", Padded("<a href=\"http://other.org/\"><a href=\"/root.html\">"),
       {"http://other.org/", "http://www.example.com/root.html"}},
      {"frame src", Padded("<frame name=\"top\" src=\"top.html\">"), {"http://www.example.com/dir/top.html"}},
      {"iframe matches FRAME", Padded("<iframe SRC=\"i.html\"></iframe>"), {"http://www.example.com/dir/i.html"}},
      {"frameset takes the next src", Padded("<frameset rows=\"50%,50%\"><frame src=\"top.html\"><frame src=\"b.html\">"),
       {"http://www.example.com/dir/top.html", "http://www.example.com/dir/b.html"}},
      {"frame without src takes a later src, skipping the href between",
       Padded("<frame name=x><a href=\"a.html\"><img src=\"b.gif\"><a href=\"c.html\">"),
       {"http://www.example.com/dir/b.gif", "http://www.example.com/dir/c.html"}},
      {"src alone is no link", Padded("<img src=\"x.gif\">"), {}},
      {"< dropped", Padded("<a href=\"<a.html\">"), {"http://www.example.com/dir/a.html"}},
      {"line breaks and tabs dropped", Padded("<a href=\n\"a\tb\r\n.html\">"), {"http://www.example.com/dir/ab.html"}},
      {"a value made only of line breaks gives the base", Padded("<a href=\"\r\n\">"), {kBase}},
      {"link past the URL limit left out, the rest kept",
       Padded("<a href=\"" + std::string(2083 - 27, 'p') + "\"><a href=\"" + std::string(2083 - 26, 'q') +
              "\"><a href=\"b.html\">"),
       {"http://www.example.com/dir/" + std::string(2083 - 27, 'p'), "http://www.example.com/dir/b.html"}},
      {"mail link past the limit left out too", Padded("<a href=\"mailto:" + std::string(2083, 'm') + "\">"), {}},
      {"second quote ends, > inside quotes ends too", Padded("<a href=\"a>b.html\">"),
       {"http://www.example.com/dir/a"}},
      {"value to the end of the text", "<a href=\"abc", {"http://www.example.com/dir/abc"}},
      {"no = before the end", "<a href  ", {kBase}},
      {"entities are not decoded", Padded("<a href=\"a.html?x=1&amp;y=2\">"),
       {"http://www.example.com/dir/a.html?x=1&amp;y=2"}},
      {"comment is scanned", Padded("<!-- <a href=\"hidden.html\"> -->"), {"http://www.example.com/dir/hidden.html"}},
      {"HREFHREF", Padded("hrefhref=\"a\""), {"http://www.example.com/dir/a"}},
  };
  return cases;
}

TEST(ExtractLinks, Table) {
  for (const Case& c : Cases()) {
    LinkList links;
    EXPECT_TRUE(ExtractLinks(c.page, kBase, false, links)) << c.name;
    EXPECT_EQ(links, c.links) << c.name;
  }
}

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
                                  "<a href=\"mailto:x@y.z\"><a href=\"http://x/y\">"),
                           "C:\\site\\index.html", true, links));
  EXPECT_EQ(links, (LinkList{"C:\\site\\a.html", "C:\\up.html", "http://www.example.com", "mailto:x@y.z", "http://x/y"}));
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
  EXPECT_EQ(links[0], "http://www.example.com/dir/a" + std::string("\0\xff\x80", 3) + "b");
}

}  // namespace
