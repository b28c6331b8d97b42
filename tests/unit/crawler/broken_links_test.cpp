#include "crawler/broken_links.h"

#include <gtest/gtest.h>

#include <sstream>

#include "crawler/broken_links_page.h"

namespace {

using Lines = std::vector<std::string>;

KeptReading Failed(const char* reason) { return {nullptr, ReadStatus::ReadFailed, false, {}, {}, reason}; }

TEST(BrokenLinks, EachBrokenAddressOnceInTheOrderFoundWithEachLinkingPageOnce) {
  const std::string site = "http://site.example/";
  SiteTree tree;
  SiteNode* top = tree.AddChild(nullptr, site + "index.html", NodeIcon::TopOfChart);
  SiteNode* b = tree.AddChild(top, site + "b.html", NodeIcon::PageWithLinks);
  tree.AddChild(b, "http://127.0.0.1:9/x.html", NodeIcon::ReadError);  // met before gone.html in
  tree.AddChild(b, site + "gone.html#part", NodeIcon::ReadError);      // the tree, found after it
  tree.AddChild(b, "mailto:me@site.example", NodeIcon::MailLink);
  tree.AddChild(top, site + "gone.html", NodeIcon::ReadError);
  SiteNode* again = tree.AddChild(top, site + "b.html", NodeIcon::PageWithLinks);
  tree.AddChild(again, site + "gone.html", NodeIcon::NotRead);
  tree.AddChild(again, site + "later.html", NodeIcon::NotRead);
  const std::unordered_map<std::string, KeptReading> kept = {
      {site + "index.html", {}}, {site + "b.html", {}}, {site + "gone.html", Failed("404 Not Found")},
      {"http://127.0.0.1:9/x.html", Failed("connection refused")}};
  BrokenLinks found = FindBrokenLinks(tree, kept);
  ASSERT_EQ(found.broken.size(), 2u);
  EXPECT_EQ(found.broken[0].address + " " + found.broken[0].reason, site + "gone.html 404 Not Found");
  EXPECT_EQ(found.broken[0].linkedFrom, (Lines{site + "index.html", site + "b.html"}));
  EXPECT_EQ(found.broken[1].address + " " + found.broken[1].reason, "http://127.0.0.1:9/x.html connection refused");
  EXPECT_EQ(found.broken[1].linkedFrom, (Lines{site + "b.html"}));
  // Read: index, b, gone and x; not checked: the mail link and later.html.
  EXPECT_EQ((std::vector<size_t>{found.addressesRead, found.links, found.notChecked}), (std::vector<size_t>{4, 3, 2}));
}

TEST(BrokenLinks, PageEscapesWhatPagesAndServersSentAndLinksOnlyWhereABrowserShouldGo) {
  BrokenLinks found;
  found.startUrl = "C:\\my site\\index#1.html";
  found.broken = {
      {found.startUrl, "file not found or not readable", {}},
      {"http://x.example/a?b=<c>&d=\"e\"", "500 <b>'Oops'</b>", {"http://x.example/"}},
      {"javascript:alert(1)", "404", {"http://x.example/"}},
  };
  std::ostringstream out;
  ASSERT_TRUE(WriteBrokenLinksPage(found, "2024-05-01 09:30", out));
  const std::string page = out.str();
  for (const char* part : {
           "<a href=\"file:///C:/my%20site/index%231.html\">C:\\my site\\index#1.html</a>",
           "<td>(the start address)</td>",
           "<a href=\"http://x.example/a?b=&lt;c&gt;&amp;d=&quot;e&quot;\">",
           "<td>500 &lt;b&gt;&#39;Oops&#39;&lt;/b&gt;</td>",
           "<td>javascript:alert(1)</td>", "2024-05-01 09:30"})
    EXPECT_NE(page.find(part), std::string::npos) << part;
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  EXPECT_EQ(page.find("No broken links"), std::string::npos);

  std::ostringstream none;
  WriteBrokenLinksPage(BrokenLinks{}, "", none);
  EXPECT_NE(none.str().find("No broken links"), std::string::npos);
}

}  // namespace
