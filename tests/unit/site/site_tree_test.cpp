// The site tree, its icons and expansion rules.
#include "site/site_tree.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "site/url.h"

namespace {

struct RecordingView : SiteTreeView {
  std::vector<std::string> events;
  void NodeAdded(SiteNode& node) override { events.push_back("added " + node.label + " " + std::to_string(static_cast<int>(node.icon))); }
  void IconChanged(SiteNode& node) override { events.push_back("icon " + node.label + " " + std::to_string(static_cast<int>(node.icon))); }
  void NodeDeleting(SiteNode& node) override { events.push_back("deleting " + node.label); }
};

// A crawl as the tree page and the task queue set it up.
struct Crawl {
  SiteTree tree;
  std::vector<QueueEntry> pending;
  bool stayInDomain = false;
  unsigned pageLimit = 100;
  bool aborting = false;
  bool closing = false;
  int disarms = 0;
  SiteNode* start = nullptr;

  explicit Crawl(const std::string& startUrl, int maxDepth = 3, bool limitPages = false) {
    tree.hooks.pageClosing = [this] { return closing; };
    tree.hooks.disarmTimeout = [this] { ++disarms; };
    tree.hooks.abortInProgress = [this] { return aborting; };
    tree.hooks.appendPending = [this](QueueEntry e) { pending.push_back(std::move(e)); };
    tree.hooks.stayInDomain = [this] { return stayInDomain; };
    tree.hooks.pageLimit = [this] { return pageLimit; };
    tree.maxDepth = maxDepth;
    tree.pageLimitEnabled = limitPages;
    tree.domainKey = DomainOf(startUrl);
    std::string url = startUrl;
    NormalizeUrl(url);
    start = tree.AddChild(nullptr, url, NodeIcon::Queued);
    tree.pageCount = 1;
  }
};

std::vector<std::string> Labels(const SiteNode* first) {
  std::vector<std::string> labels;
  for (const SiteNode* n = first; n; n = n->nextSibling) labels.push_back(n->label);
  return labels;
}

std::vector<NodeIcon> Icons(const SiteNode* first) {
  std::vector<NodeIcon> icons;
  for (const SiteNode* n = first; n; n = n->nextSibling) icons.push_back(n->icon);
  return icons;
}

TEST(IconFor, LabelRules) {
  const struct {
    const char* label;
    NodeIcon icon;
  } cases[] = {
      {"ftp://ftp.example.com/readme.txt (file)", NodeIcon::File},
      {"mailto:me@example.com", NodeIcon::MailLink},
      {"../MAILTO.html", NodeIcon::MailLink},
      {"ftp://ftp.example.com/pub", NodeIcon::FtpFolder},
      {"FTP.example.com", NodeIcon::FtpFolder},
      {"ftp://example.com/pub", NodeIcon::NotRead},
      {"http://x/maps/site.MAP", NodeIcon::ImageMap},
      {"http://x/a.map.html", NodeIcon::ImageMap},
      {"http://www.example.com/", NodeIcon::NotRead},
      {"mailto:x@ftp.example.com (file)", NodeIcon::File},
      {"mailto:ftp.x/y.map", NodeIcon::MailLink},
      {"", NodeIcon::NotRead},
  };
  SiteTree tree;
  for (const auto& c : cases) {
    SiteNode* node = tree.AddChild(nullptr, c.label, NodeIcon::PageWithLinks);
    EXPECT_EQ(tree.IconFor(*node), c.icon) << c.label;
  }
}

TEST(IconFor, TopOfChartAndChildren) {
  SiteTree tree;
  SiteNode* web = tree.AddChild(nullptr, "http://www.example.com/", NodeIcon::NotRead);
  SiteNode* ftp = tree.AddChild(nullptr, "ftp://ftp.example.com/ (file)", NodeIcon::NotRead);
  tree.AddChild(web, "http://www.example.com/a.html", NodeIcon::NotRead);
  tree.AddChild(ftp, "x", NodeIcon::NotRead);
  EXPECT_EQ(tree.IconFor(*web), NodeIcon::PageWithLinks);
  EXPECT_EQ(tree.IconFor(*ftp), NodeIcon::FtpFolder);
  tree.topOfChart = ftp;
  EXPECT_EQ(tree.IconFor(*ftp), NodeIcon::TopOfChart);
}

TEST(AddLinks, StartPageBecomesTopOfChartAndChildrenAreQueued) {
  Crawl crawl("www.Example.com", 3);
  crawl.tree.hooks.stayInDomain = nullptr;
  LinkList links = {"http://www.example.com/a.html", "mailto:me@example.com", "http://www.example.com/m.map",
                    "ftp://ftp.example.com/x (file)", "http://other.org/"};
  ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0, links, ReadStatus::ReadOk));
  EXPECT_EQ(crawl.disarms, 1);
  EXPECT_EQ(crawl.tree.topOfChart, crawl.start);
  EXPECT_EQ(crawl.start->icon, NodeIcon::TopOfChart);
  EXPECT_EQ(Labels(crawl.start->firstChild), std::vector<std::string>(links.begin(), links.end()));
  EXPECT_EQ(Icons(crawl.start->firstChild), (std::vector<NodeIcon>{NodeIcon::Queued, NodeIcon::MailLink, NodeIcon::ImageMap,
                                                                   NodeIcon::File, NodeIcon::Queued}));
  ASSERT_EQ(crawl.pending.size(), 2u);
  EXPECT_EQ(crawl.pending[0].node, crawl.start->firstChild);
  EXPECT_EQ(crawl.pending[0].url, "http://www.example.com/a.html");
  EXPECT_EQ(crawl.pending[0].depth, 1);
  EXPECT_EQ(crawl.pending[1].url, "http://other.org/");
  EXPECT_EQ(crawl.tree.pageCount, 3u);
}

TEST(AddLinks, StartPageWithoutLinksKeepsTopOfChart) {
  Crawl crawl("http://www.example.com/");
  ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0, {}, ReadStatus::ReadOk));
  EXPECT_EQ(crawl.start->icon, NodeIcon::TopOfChart);
  EXPECT_EQ(crawl.tree.topOfChart, crawl.start);
}

TEST(AddLinks, FailedReadingGetsReadError) {
  Crawl crawl("http://www.example.com/");
  ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0, {"http://www.example.com/a"}, ReadStatus::ReadFailed));
  EXPECT_EQ(crawl.start->icon, NodeIcon::ReadError);
  EXPECT_EQ(crawl.start->label, "http://www.example.com/");
  EXPECT_EQ(crawl.start->firstChild, nullptr);
  EXPECT_EQ(crawl.tree.topOfChart, nullptr);  // no result yet
  EXPECT_EQ(crawl.disarms, 1);
}

TEST(AddLinks, LaterPagesWithoutLinks) {
  Crawl crawl("http://www.example.com/");
  ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0, {"http://www.example.com/a", "ftp://ftp.example.com/f.txt (file)"},
                                  ReadStatus::ReadOk));
  SiteNode* a = crawl.start->firstChild;
  SiteNode* f = a->nextSibling;
  ASSERT_TRUE(crawl.tree.AddLinks(*a, 1, {}, ReadStatus::ReadOk));
  ASSERT_TRUE(crawl.tree.AddLinks(*f, 1, {}, ReadStatus::ReadOk));
  EXPECT_EQ(a->icon, NodeIcon::NoLinks);
  EXPECT_EQ(f->icon, NodeIcon::File);
}

TEST(AddLinks, LaterPageWithLinks) {
  Crawl crawl("ftp.example.com");
  ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0, {"ftp://ftp.example.com/pub", "http://www.example.com/"}, ReadStatus::ReadOk));
  SiteNode* pub = crawl.start->firstChild;
  SiteNode* web = pub->nextSibling;
  ASSERT_TRUE(crawl.tree.AddLinks(*pub, 1, {"ftp://ftp.example.com/pub/a (file)"}, ReadStatus::ReadOk));
  ASSERT_TRUE(crawl.tree.AddLinks(*web, 1, {"http://www.example.com/x"}, ReadStatus::ReadOk));
  EXPECT_EQ(pub->icon, NodeIcon::FtpFolder);
  EXPECT_EQ(web->icon, NodeIcon::PageWithLinks);
  EXPECT_EQ(crawl.start->icon, NodeIcon::TopOfChart);
}

TEST(AddLinks, DepthLimit) {
  for (int maxDepth = 1; maxDepth <= 3; ++maxDepth) {
    Crawl crawl("http://www.example.com/", maxDepth);
    ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0, {"http://www.example.com/a"}, ReadStatus::ReadOk));
    EXPECT_EQ(crawl.pending.size(), maxDepth > 1 ? 1u : 0u) << maxDepth;
    SiteNode* a = crawl.start->firstChild;
    EXPECT_EQ(a->icon, maxDepth > 1 ? NodeIcon::Queued : NodeIcon::NotRead);
    ASSERT_TRUE(crawl.tree.AddLinks(*a, 1, {"http://www.example.com/b"}, ReadStatus::ReadOk));
    EXPECT_EQ(crawl.pending.size(), static_cast<size_t>(maxDepth > 2 ? 2 : (maxDepth > 1 ? 1 : 0))) << maxDepth;
  }
}

TEST(AddLinks, StayInDomainIgnoresCase) {
  Crawl crawl("www.Example.com", 3);
  crawl.stayInDomain = true;
  EXPECT_EQ(crawl.tree.domainKey, "Example");
  ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0,
                                  {"http://www.example.com/a", "http://other.org/", "http://WWW.EXAMPLE.COM/b"},
                                  ReadStatus::ReadOk));
  EXPECT_EQ(Icons(crawl.start->firstChild),
            (std::vector<NodeIcon>{NodeIcon::Queued, NodeIcon::NotRead, NodeIcon::Queued}));
  EXPECT_EQ(crawl.pending.size(), 2u);
}

TEST(AddLinks, EmptyDomainKeyMatchesEverything) {
  Crawl crawl("localhost/", 3);  // typed without a scheme: no host to key on
  crawl.stayInDomain = true;
  EXPECT_EQ(crawl.tree.domainKey, "");
  ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0, {"http://other.org/"}, ReadStatus::ReadOk));
  EXPECT_EQ(crawl.pending.size(), 1u);
}

TEST(AddLinks, PageLimitAllowsLimitPlusOnePages) {
  const struct {
    unsigned limit;
    size_t queued;
  } cases[] = {{1, 1}, {2, 2}, {3, 3}, {10, 5}};
  for (const auto& c : cases) {
    Crawl crawl("http://www.example.com/", 3, true);
    crawl.pageLimit = c.limit;
    LinkList links;
    for (int i = 0; i < 5; ++i) links.push_back("http://www.example.com/" + std::to_string(i));
    ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0, links, ReadStatus::ReadOk));
    EXPECT_EQ(crawl.pending.size(), c.queued) << c.limit;
    EXPECT_EQ(crawl.tree.pageCount, 1 + c.queued) << c.limit;
    size_t limited = 0;
    for (const SiteNode* n = crawl.start->firstChild; n; n = n->nextSibling) limited += n->icon == NodeIcon::PageLimit;
    EXPECT_EQ(limited, 5 - c.queued) << c.limit;
  }
}

TEST(AddLinks, PageLimitDisabledOrIneligible) {
  Crawl crawl("http://www.example.com/", 3, false);
  crawl.pageLimit = 1;
  ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0, {"http://a/", "http://b/", "http://c/"}, ReadStatus::ReadOk));
  EXPECT_EQ(crawl.pending.size(), 3u);
  // Ineligible entries neither count nor get PageLimit.
  Crawl limited("http://www.example.com/", 3, true);
  limited.pageLimit = 1;
  ASSERT_TRUE(limited.tree.AddLinks(*limited.start, 0, {"mailto:a@b", "http://a/", "x.map", "http://b/"}, ReadStatus::ReadOk));
  EXPECT_EQ(Icons(limited.start->firstChild),
            (std::vector<NodeIcon>{NodeIcon::MailLink, NodeIcon::Queued, NodeIcon::ImageMap, NodeIcon::PageLimit}));
}

TEST(AddLinks, SameUrlUnderTwoParentsGivesTwoNodes) {
  Crawl crawl("http://www.example.com/", 3);
  ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0, {"http://www.example.com/a", "http://www.example.com/b"}, ReadStatus::ReadOk));
  SiteNode* a = crawl.start->firstChild;
  SiteNode* b = a->nextSibling;
  ASSERT_TRUE(crawl.tree.AddLinks(*a, 1, {"http://www.example.com/x"}, ReadStatus::ReadOk));
  ASSERT_TRUE(crawl.tree.AddLinks(*b, 1, {"http://www.example.com/x"}, ReadStatus::ReadOk));
  EXPECT_EQ(crawl.pending.size(), 4u);
  EXPECT_EQ(crawl.tree.NodeCount(), 5u);
}

TEST(AddLinks, AbortStopsAfterTheFirstChild) {
  Crawl crawl("http://www.example.com/", 3);
  crawl.aborting = true;
  EXPECT_FALSE(crawl.tree.AddLinks(*crawl.start, 0, {"http://a/", "http://b/"}, ReadStatus::ReadOk));
  EXPECT_EQ(Labels(crawl.start->firstChild), std::vector<std::string>{"http://a/"});
  EXPECT_EQ(crawl.start->firstChild->icon, NodeIcon::NotRead);
  EXPECT_TRUE(crawl.pending.empty());
  EXPECT_EQ(crawl.start->icon, NodeIcon::TopOfChart);
}

TEST(AddLinks, AbortOnLaterPageLeavesPageWithLinks) {
  Crawl crawl("http://www.example.com/", 3);
  ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0, {"ftp://ftp.example.com/"}, ReadStatus::ReadOk));
  crawl.aborting = true;
  SiteNode* ftp = crawl.start->firstChild;
  EXPECT_FALSE(crawl.tree.AddLinks(*ftp, 1, {"x", "y"}, ReadStatus::ReadOk));
  EXPECT_EQ(ftp->icon, NodeIcon::PageWithLinks);  // the closing IconFor is not reached
}

TEST(AddLinks, PageClosingDoesNothing) {
  Crawl crawl("http://www.example.com/", 3);
  crawl.closing = true;
  EXPECT_FALSE(crawl.tree.AddLinks(*crawl.start, 0, {"http://a/"}, ReadStatus::ReadOk));
  EXPECT_FALSE(crawl.tree.AddLinks(*crawl.start, 0, {}, ReadStatus::ReadFailed));
  EXPECT_EQ(crawl.disarms, 0);
  EXPECT_EQ(crawl.start->icon, NodeIcon::Queued);
  EXPECT_EQ(crawl.start->firstChild, nullptr);
}

TEST(AddLinks, MissingHooksMeanFalseAndNoOp) {
  SiteTree tree;
  tree.maxDepth = 3;
  SiteNode* start = tree.AddChild(nullptr, "http://www.example.com/", NodeIcon::Queued);
  tree.pageCount = 1;
  ASSERT_TRUE(tree.AddLinks(*start, 0, {"http://a/", "http://b/"}, ReadStatus::ReadOk));
  EXPECT_EQ(Icons(start->firstChild), (std::vector<NodeIcon>{NodeIcon::Queued, NodeIcon::Queued}));
  EXPECT_EQ(tree.pageCount, 3u);
  // Without a pageLimit hook the limit is 0: only the start page passes.
  tree.pageLimitEnabled = true;
  ASSERT_TRUE(tree.AddLinks(*start->firstChild, 1, {"http://c/"}, ReadStatus::ReadOk));
  EXPECT_EQ(start->firstChild->firstChild->icon, NodeIcon::PageLimit);
}

TEST(AddLinks, ManualReadingOfAnotherNodeStartsAtDepthZero) {
  Crawl crawl("http://www.example.com/", 2);
  ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0, {"http://www.example.com/a"}, ReadStatus::ReadOk));
  SiteNode* a = crawl.start->firstChild;
  ASSERT_TRUE(crawl.tree.AddLinks(*a, 0, {"http://www.example.com/b"}, ReadStatus::ReadOk));
  EXPECT_EQ(a->icon, NodeIcon::PageWithLinks);
  EXPECT_EQ(a->firstChild->icon, NodeIcon::Queued);
  EXPECT_EQ(crawl.tree.topOfChart, crawl.start);
}

TEST(AddLinks, ViewSeesTheTreeGrow) {
  Crawl crawl("http://www.example.com/", 2);
  RecordingView view;
  crawl.tree.view = &view;
  ASSERT_TRUE(crawl.tree.AddLinks(*crawl.start, 0, {"http://a/", "mailto:x"}, ReadStatus::ReadOk));
  EXPECT_EQ(view.events, (std::vector<std::string>{"icon http://www.example.com/ 9", "added http://a/ 2", "icon http://a/ 8",
                                                   "added mailto:x 3"}));
}

// A view that has room for a given number of items more.
struct FullView : SiteTreeView {
  int room;
  explicit FullView(int room) : room(room) {}
  void NodeAdded(SiteNode&) override {
    if (room-- <= 0) throw std::bad_alloc();
  }
};

TEST(AddLinks, OutOfMemoryStopsTheReadingAndKeepsTheTree) {
  struct Case {
    int room;  // items the view still takes
    std::vector<std::string> kept;
    size_t queued;
  };
  const std::vector<std::string> links = {"http://www.example.com/a", "http://www.example.com/b",
                                          "http://www.example.com/c"};
  for (const Case& c : std::vector<Case>{{0, {}, 0}, {2, {"http://www.example.com/a", "http://www.example.com/b"}, 2}}) {
    Crawl crawl("http://www.example.com/", 3);
    int told = 0;
    crawl.tree.hooks.outOfMemory = [&] { ++told; };
    FullView view(c.room);
    crawl.tree.view = &view;
    EXPECT_FALSE(crawl.tree.AddLinks(*crawl.start, 0, links, ReadStatus::ReadOk)) << c.room;
    EXPECT_EQ(told, 1);
    EXPECT_EQ(Labels(crawl.start->firstChild), c.kept);
    EXPECT_EQ(crawl.start->lastChild ? crawl.start->lastChild->label : "", c.kept.empty() ? "" : c.kept.back());
    EXPECT_EQ(crawl.tree.NodeCount(), 1 + c.kept.size());
    EXPECT_EQ(crawl.pending.size(), c.queued);
    EXPECT_EQ(crawl.start->icon, NodeIcon::TopOfChart);
    // The tree goes on working: a node freed by the refusal is used again, and all of it can go.
    crawl.tree.view = nullptr;
    SiteNode* later = crawl.tree.AddChild(crawl.start, "http://www.example.com/d", NodeIcon::NotRead);
    EXPECT_EQ(crawl.start->lastChild, later);
    crawl.pending.clear();
    crawl.tree.DeleteSubtree(*crawl.start);
    EXPECT_TRUE(crawl.tree.Empty());
    EXPECT_EQ(crawl.tree.NodeCount(), 0u);
  }
}

TEST(SiteTree, RefusedTopLevelNodeLeavesTheTreeAsItWas) {
  SiteTree tree;
  SiteNode* first = tree.AddChild(nullptr, "http://a/", NodeIcon::NotRead);
  FullView view(0);
  tree.view = &view;
  EXPECT_THROW(tree.AddChild(nullptr, "http://b/", NodeIcon::NotRead), std::bad_alloc);
  EXPECT_EQ(Labels(tree.FirstTopLevel()), std::vector<std::string>{"http://a/"});
  EXPECT_EQ(first->nextSibling, nullptr);
  EXPECT_EQ(tree.NodeCount(), 1u);
}

TEST(RefreshIcons, StartLaterSiblingsAndDescendants) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "a", NodeIcon::NoLinks);
  SiteNode* b = tree.AddChild(nullptr, "b", NodeIcon::ReadError);
  SiteNode* c = tree.AddChild(nullptr, "c", NodeIcon::DontMap);
  SiteNode* c1 = tree.AddChild(c, "c1", NodeIcon::Queued);
  SiteNode* c11 = tree.AddChild(c1, "mailto:c11", NodeIcon::Queued);
  SiteNode* d = tree.AddChild(nullptr, "d", NodeIcon::TopOfChart);
  SiteNode* d1 = tree.AddChild(d, "d1 (file)", NodeIcon::PageLimit);
  tree.RefreshIcons(b);
  EXPECT_EQ(a->icon, NodeIcon::NoLinks);  // before start: untouched
  EXPECT_EQ(b->icon, NodeIcon::NotRead);
  EXPECT_EQ(c->icon, NodeIcon::DontMap);
  EXPECT_EQ(c1->icon, NodeIcon::PageWithLinks);
  EXPECT_EQ(c11->icon, NodeIcon::MailLink);
  EXPECT_EQ(d->icon, NodeIcon::TopOfChart);
  EXPECT_EQ(d1->icon, NodeIcon::File);
  tree.RefreshIcons();
  EXPECT_EQ(a->icon, NodeIcon::NotRead);
}

TEST(RefreshIcons, StartBelowTopLevelStaysInItsRun) {
  SiteTree tree;
  SiteNode* root = tree.AddChild(nullptr, "root", NodeIcon::Queued);
  SiteNode* x = tree.AddChild(root, "x", NodeIcon::Queued);
  SiteNode* y = tree.AddChild(root, "y", NodeIcon::Queued);
  SiteNode* y1 = tree.AddChild(y, "y1", NodeIcon::Queued);
  SiteNode* other = tree.AddChild(nullptr, "other", NodeIcon::Queued);
  tree.RefreshIcons(y);
  EXPECT_EQ(root->icon, NodeIcon::Queued);
  EXPECT_EQ(x->icon, NodeIcon::Queued);
  EXPECT_EQ(y->icon, NodeIcon::PageWithLinks);
  EXPECT_EQ(y1->icon, NodeIcon::NotRead);
  EXPECT_EQ(other->icon, NodeIcon::Queued);
}

TEST(RefreshIcons, EmptyTree) {
  SiteTree tree;
  tree.RefreshIcons();
  EXPECT_TRUE(tree.Empty());
}

TEST(SetTopOfChart, PreviousGetsIconFor) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "a", NodeIcon::NotRead);
  SiteNode* b = tree.AddChild(a, "ftp.x", NodeIcon::NotRead);
  tree.SetTopOfChart(*a);
  EXPECT_EQ(a->icon, NodeIcon::TopOfChart);
  tree.SetTopOfChart(*b);
  EXPECT_EQ(tree.topOfChart, b);
  EXPECT_EQ(a->icon, NodeIcon::PageWithLinks);
  EXPECT_EQ(b->icon, NodeIcon::TopOfChart);
  tree.SetTopOfChart(*b);
  EXPECT_EQ(b->icon, NodeIcon::TopOfChart);
}

TEST(ToggleDontMap, Toggles) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "mailto:a", NodeIcon::NoLinks);
  tree.ToggleDontMap(*a);
  EXPECT_EQ(a->icon, NodeIcon::DontMap);
  tree.ToggleDontMap(*a);
  EXPECT_EQ(a->icon, NodeIcon::MailLink);
  tree.SetTopOfChart(*a);
  tree.ToggleDontMap(*a);
  EXPECT_EQ(a->icon, NodeIcon::DontMap);
  tree.ToggleDontMap(*a);
  EXPECT_EQ(a->icon, NodeIcon::TopOfChart);
}

TEST(DeleteSubtree, UnlinksAndClearsTopOfChart) {
  SiteTree tree;
  RecordingView view;
  tree.view = &view;
  SiteNode* root = tree.AddChild(nullptr, "root", NodeIcon::NotRead);
  SiteNode* a = tree.AddChild(root, "a", NodeIcon::NotRead);
  SiteNode* b = tree.AddChild(root, "b", NodeIcon::NotRead);
  SiteNode* c = tree.AddChild(root, "c", NodeIcon::NotRead);
  SiteNode* b1 = tree.AddChild(b, "b1", NodeIcon::NotRead);
  tree.AddChild(b1, "b11", NodeIcon::NotRead);
  tree.SetTopOfChart(*b1);
  view.events.clear();
  EXPECT_EQ(tree.NodeCount(), 6u);
  tree.DeleteSubtree(*b);
  EXPECT_EQ(view.events, std::vector<std::string>{"deleting b"});
  EXPECT_EQ(tree.topOfChart, nullptr);
  EXPECT_EQ(tree.NodeCount(), 3u);
  EXPECT_EQ(Labels(root->firstChild), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(c->prevSibling, a);
  tree.DeleteSubtree(*a);
  EXPECT_EQ(root->firstChild, c);
  EXPECT_EQ(c->prevSibling, nullptr);
  tree.SetTopOfChart(*root);
  tree.DeleteSubtree(*c);
  EXPECT_EQ(root->firstChild, nullptr);
  EXPECT_EQ(root->lastChild, nullptr);
  EXPECT_EQ(tree.topOfChart, root);  // outside the deleted branch
  tree.DeleteSubtree(*root);
  EXPECT_TRUE(tree.Empty());
  EXPECT_EQ(tree.NodeCount(), 0u);
  EXPECT_EQ(tree.topOfChart, nullptr);
  // Freed nodes are reused and come back clean.
  SiteNode* again = tree.AddChild(nullptr, "again", NodeIcon::NotRead);
  EXPECT_EQ(again->firstChild, nullptr);
  EXPECT_EQ(again->parent, nullptr);
  EXPECT_EQ(Labels(tree.FirstTopLevel()), std::vector<std::string>{"again"});
}

TEST(DeleteSubtree, TopLevelSiblings) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "a", NodeIcon::NotRead);
  SiteNode* b = tree.AddChild(nullptr, "b", NodeIcon::NotRead);
  SiteNode* c = tree.AddChild(nullptr, "c", NodeIcon::NotRead);
  tree.DeleteSubtree(*c);
  tree.AddChild(nullptr, "d", NodeIcon::NotRead);
  EXPECT_EQ(Labels(tree.FirstTopLevel()), (std::vector<std::string>{"a", "b", "d"}));
  tree.DeleteSubtree(*a);
  EXPECT_EQ(tree.FirstTopLevel(), b);
  EXPECT_EQ(Labels(tree.FirstTopLevel()), (std::vector<std::string>{"b", "d"}));
}

TEST(IsInSubtree, WalksParents) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "a", NodeIcon::NotRead);
  SiteNode* b = tree.AddChild(a, "b", NodeIcon::NotRead);
  SiteNode* c = tree.AddChild(nullptr, "c", NodeIcon::NotRead);
  EXPECT_TRUE(SiteTree::IsInSubtree(*a, *a));
  EXPECT_TRUE(SiteTree::IsInSubtree(*a, *b));
  EXPECT_FALSE(SiteTree::IsInSubtree(*b, *a));
  EXPECT_FALSE(SiteTree::IsInSubtree(*a, *c));
}

TEST(SiteTree, ClearEmptiesEverything) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "a", NodeIcon::NotRead);
  tree.AddChild(a, "b", NodeIcon::NotRead);
  tree.SetTopOfChart(*a);
  tree.pageCount = 7;
  tree.Clear();
  EXPECT_TRUE(tree.Empty());
  EXPECT_EQ(tree.NodeCount(), 0u);
  EXPECT_EQ(tree.topOfChart, nullptr);
  EXPECT_EQ(tree.pageCount, 7u);  // crawl settings are the caller's
  tree.AddChild(nullptr, "fresh", NodeIcon::NotRead);
  EXPECT_EQ(tree.NodeCount(), 1u);
}

// Shapes that would exhaust the stack if any walk recursed along siblings or down a chain.
constexpr int kMany = 200000;

TEST(SiteTreeShapes, WideTreeDestroyed) {
  auto tree = std::make_unique<SiteTree>();
  SiteNode* root = tree->AddChild(nullptr, "root", NodeIcon::NotRead);
  for (int i = 0; i < kMany; ++i) tree->AddChild(root, "http://www.example.com/page" + std::to_string(i) + ".html", NodeIcon::NotRead);
  tree->RefreshIcons();
  EXPECT_EQ(root->icon, NodeIcon::PageWithLinks);
  EXPECT_EQ(tree->NodeCount(), static_cast<size_t>(kMany) + 1);
  tree.reset();
}

TEST(SiteTreeShapes, WideSubtreeDeleted) {
  SiteTree tree;
  SiteNode* root = tree.AddChild(nullptr, "root", NodeIcon::NotRead);
  SiteNode* wide = tree.AddChild(root, "wide", NodeIcon::NotRead);
  for (int i = 0; i < kMany; ++i) tree.AddChild(wide, "x", NodeIcon::NotRead);
  tree.DeleteSubtree(*wide);
  EXPECT_EQ(tree.NodeCount(), 1u);
  EXPECT_EQ(root->firstChild, nullptr);
}

TEST(SiteTreeShapes, DeepChainWalkedDeletedAndDestroyed) {
  auto tree = std::make_unique<SiteTree>();
  SiteNode* node = tree->AddChild(nullptr, "root", NodeIcon::NotRead);
  SiteNode* second = nullptr;
  for (int i = 0; i < kMany; ++i) {
    node = tree->AddChild(node, "d", NodeIcon::NotRead);
    if (!second) second = node;
  }
  tree->RefreshIcons();
  EXPECT_EQ(node->icon, NodeIcon::NotRead);
  EXPECT_EQ(second->icon, NodeIcon::PageWithLinks);
  EXPECT_TRUE(SiteTree::IsInSubtree(*tree->FirstTopLevel(), *node));
  tree->DeleteSubtree(*second);
  EXPECT_EQ(tree->NodeCount(), 1u);
  node = tree->FirstTopLevel();
  for (int i = 0; i < kMany; ++i) node = tree->AddChild(node, "d", NodeIcon::NotRead);
  tree.reset();
}

}  // namespace
