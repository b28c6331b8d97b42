// The tree page's rules: commands on nodes, the busy animation, and reading its fields back.
#include "wizard/pages/tree_page_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "site/url.h"

namespace {

TEST(CrawlSettingsOf, TakesTheStartPageChoicesAndTheDomainOfTheUrlAsTyped) {
  StartSettings start;
  start.startUrl = "www.Example.com/index.html";
  start.depth = 2;
  start.stayInDomain = false;
  start.limitPages = true;
  start.pageLimit = -1;  // an empty field
  CrawlSettings crawl = CrawlSettingsOf(start);
  EXPECT_EQ(crawl.depth, 2);
  EXPECT_EQ(crawl.domainKey, DomainOf("www.Example.com/index.html"));
  EXPECT_EQ(crawl.domainKey, "Example");
  EXPECT_FALSE(crawl.stayInDomain);
  EXPECT_TRUE(crawl.limitPages);
  EXPECT_EQ(crawl.pageLimit, 4294967295u);
}

TEST(ActionForDoubleClick, OnlyLeavesThatCanBeReadAreRead) {
  const struct {
    const char* label;
    DoubleClickAction action;
  } cases[] = {
      {"http://www.example.com/page.html", DoubleClickAction::Read},
      {"C:\\site\\index.html", DoubleClickAction::Read},
      {"ftp://ftp.example.com/pub", DoubleClickAction::Read},
      {"mailto:someone@example.com", DoubleClickAction::RefuseUnreadable},
      {"MailTo:Someone@example.com", DoubleClickAction::RefuseUnreadable},
      {"http://www.example.com/shop.MAP", DoubleClickAction::RefuseUnreadable},
      {"http://www.example.com/plan.maps.html", DoubleClickAction::RefuseUnreadable},  // a substring test
      {"ftp://ftp.example.com/pub/readme.txt (file)", DoubleClickAction::RefuseUnreadable},
  };
  for (const auto& c : cases) {
    SiteTree tree;
    SiteNode* node = tree.AddChild(nullptr, c.label, NodeIcon::NotRead);
    EXPECT_EQ(ActionForDoubleClick(*node), c.action) << c.label;
    // A node with children does nothing, whatever its label.
    tree.AddChild(node, "http://www.example.com/child.html", NodeIcon::NotRead);
    EXPECT_EQ(ActionForDoubleClick(*node), DoubleClickAction::Nothing) << c.label;
  }
}

TEST(ActionForDelete, RefusedWhileATaskIsActiveEvenWithoutSelection) {
  SiteTree tree;
  SiteNode* node = tree.AddChild(nullptr, "http://a/", NodeIcon::NotRead);
  EXPECT_EQ(ActionForDelete(true, node), DeleteAction::RefuseWhileActive);
  EXPECT_EQ(ActionForDelete(true, nullptr), DeleteAction::RefuseWhileActive);
  EXPECT_EQ(ActionForDelete(false, nullptr), DeleteAction::Nothing);
  EXPECT_EQ(ActionForDelete(false, node), DeleteAction::Ask);
}

TEST(DeleteQuestion, PutsTheLabelInVerbatim) {
  const std::string question = "Delete the branch %s?";
  EXPECT_EQ(DeleteQuestion(question, "http://a/b.html"), "Delete the branch http://a/b.html?");
  // Format directives inside a label are text, not a format.
  EXPECT_EQ(DeleteQuestion(question, "http://a/%s%d%n.html"), "Delete the branch http://a/%s%d%n.html?");
  EXPECT_EQ(DeleteQuestion(question, ""), "Delete the branch ?");
}

TEST(MenuStateFor, ChecksDontMapOnlyForAnExcludedNode) {
  SiteTree tree;
  SiteNode* node = tree.AddChild(nullptr, "http://a/", NodeIcon::PageWithLinks);
  EXPECT_FALSE(MenuStateFor(node).dontMapChecked);
  tree.ToggleDontMap(*node);
  EXPECT_TRUE(MenuStateFor(node).dontMapChecked);
  tree.ToggleDontMap(*node);
  EXPECT_FALSE(MenuStateFor(node).dontMapChecked);
  EXPECT_FALSE(MenuStateFor(nullptr).dontMapChecked);
}

TEST(BrowserCommandLine, PassesTheUrlWithoutTheFileSuffix) {
  const struct {
    const char* browser;
    const char* label;
    const char* command;
  } cases[] = {
      {"C:\\browser.exe ", "http://a/b.html", "C:\\browser.exe http://a/b.html"},
      {"C:\\browser.exe ", "ftp://h/pub/readme.txt (file)", "C:\\browser.exe ftp://h/pub/readme.txt"},
      {"C:\\browser.exe ", "ftp://h/a (file) b (file)", "C:\\browser.exe ftp://h/a"},
      // No browser: nothing is started (the label alone would be run as a program).
      {"", "C:\\site\\setup.exe", ""},
      {"", "http://a/", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(BrowserCommandLine(c.browser, c.label), c.command) << c.label;
}

TEST(StatusLog, KeepsTheNewestNineLinesInOrder) {
  StatusLog log;
  EXPECT_FALSE(log.TakeChanged());
  for (int i = 1; i <= 12; ++i) log.Add("line " + std::to_string(i));
  const std::deque<std::string> expected = {"line 4",  "line 5",  "line 6",  "line 7", "line 8",
                                            "line 9",  "line 10", "line 11", "line 12"};
  EXPECT_EQ(log.Lines(), expected);
  EXPECT_TRUE(log.TakeChanged());
  EXPECT_FALSE(log.TakeChanged());
  log.Add("line 13");
  EXPECT_TRUE(log.TakeChanged());
  EXPECT_EQ(log.Lines().front(), "line 5");
  EXPECT_EQ(log.Lines().back(), "line 13");
}

std::vector<int> Frames(BusyAnimation& animation, int count) {
  std::vector<int> frames;
  for (int i = 0; i < count; ++i) {
    frames.push_back(animation.Frame());
    animation.Advance();
  }
  return frames;
}

TEST(BusyAnimation, WrapsAroundInEitherDirection) {
  BusyAnimation animation;
  EXPECT_EQ(Frames(animation, 16), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 0, 1}));
  animation.Reverse();
  EXPECT_EQ(Frames(animation, 5), (std::vector<int>{2, 1, 0, 13, 12}));
  animation.Reverse();
  EXPECT_EQ(Frames(animation, 3), (std::vector<int>{11, 12, 13}));
}

TEST(ShowPacing, WaitsInProportionToTheLastShowingUpToALimit) {
  struct Case {
    unsigned cost, paint;  // of the last showing
    unsigned notDueAt, dueAt;  // ms after it
  };
  for (const Case& c : std::vector<Case>{{0, 0, 0, 0}, {20, 0, 79, 80}, {20, 30, 199, 200}, {100, 0, 299, 300}}) {
    // Also across the wrap of the tick count.
    for (unsigned shownAt : {1000u, 0xFFFFFF00u}) {
      ShowPacing pacing;
      pacing.Shown(shownAt, c.cost);
      pacing.AddCost(c.paint);
      if (c.notDueAt != c.dueAt) {
        EXPECT_FALSE(pacing.Due(shownAt + c.notDueAt)) << c.cost << " " << c.paint;
      }
      EXPECT_TRUE(pacing.Due(shownAt + c.dueAt)) << c.cost << " " << c.paint;
    }
  }
}

TEST(LargeTreeNotice, SaidOncePastAMillionNodesUntilTheNextTree) {
  LargeTreeNotice notice;
  EXPECT_FALSE(notice.Due(LargeTreeNotice::kNodes));
  EXPECT_TRUE(notice.Due(LargeTreeNotice::kNodes + 1));
  EXPECT_FALSE(notice.Due(LargeTreeNotice::kNodes + 5000));
  notice.Begin();
  EXPECT_FALSE(notice.Due(10));
  EXPECT_TRUE(notice.Due(3 * LargeTreeNotice::kNodes));
}

TEST(ReadSettingsFields, TakesFieldsUpToTheFirstThatFails) {
  const std::string between = "Please enter an integer between 0 and 500.";
  const struct {
    const char* depth;
    const char* timeout;
    std::optional<int> depthValue;
    std::optional<unsigned> timeoutValue;
    std::string complaint;
    bool aboutTimeout;
  } cases[] = {
      {"2", "45", 2, 45u, "", false},
      {" 3\t", "\t10 ", 3, 10u, "", false},
      {"2", "0", 2, 0u, "", false},
      {"2", "500", 2, 500u, "", false},
      // Depth first: a bad depth leaves the time-out unread.
      {"", "45", std::nullopt, std::nullopt, "Please enter an integer.", false},
      {"1x", "45", std::nullopt, std::nullopt, "Please enter an integer.", false},
      {"99999999999", "45", std::nullopt, std::nullopt, "Please enter an integer.", false},
      {"2", "", 2, std::nullopt, "Please enter a positive integer.", true},
      {"2", "-5", 2, std::nullopt, "Please enter a positive integer.", true},
      {"2", "4 5", 2, std::nullopt, "Please enter a positive integer.", true},
      {"2", "501", 2, std::nullopt, between, true},
  };
  for (const auto& c : cases) {
    SettingsFields fields = ReadSettingsFields(c.depth, c.timeout);
    EXPECT_EQ(fields.depth, c.depthValue) << c.depth << "|" << c.timeout;
    EXPECT_EQ(fields.timeoutSeconds, c.timeoutValue) << c.depth << "|" << c.timeout;
    EXPECT_EQ(fields.complaint, c.complaint) << c.depth << "|" << c.timeout;
    EXPECT_EQ(fields.complaintAboutTimeout, c.aboutTimeout) << c.depth << "|" << c.timeout;
  }
}

}  // namespace
