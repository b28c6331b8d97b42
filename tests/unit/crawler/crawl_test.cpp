// The crawl policy: which links a reading puts forward (depth, domain, page limit), the pages
// counted, and the settings a crawl is read with.
#include "crawler/crawl.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "crawler/fake_internet_client.h"
#include "crawler/task_queue.h"
#include "site/sibling_lists.h"
#include "site/url.h"

namespace {

struct RecordingView : SiteTreeView {
  std::vector<std::string> events;
  void NodeAdded(SiteNode& node) override { events.push_back("added " + node.label + " " + std::to_string(static_cast<int>(node.icon))); }
  void IconChanged(SiteNode& node) override { events.push_back("icon " + node.label + " " + std::to_string(static_cast<int>(node.icon))); }
};

// A view that has room for a given number of items more.
struct FullView : SiteTreeView {
  int room;
  explicit FullView(int room) : room(room) {}
  void NodeAdded(SiteNode&) override {
    if (room-- <= 0) throw std::bad_alloc();
  }
};

// A crawl as the tree page starts one: the start node added and counted, nothing read yet.
struct CrawlRun {
  SiteTree tree;
  FakeInternetClient client;
  FakeCrawlPage page;
  Crawl crawl{tree, queue, page, page};
  TaskQueue queue{tree, crawl, page.Ports(client)};
  SiteNode* start = nullptr;

  explicit CrawlRun(const std::string& startUrl, int maxDepth = 3, bool limitPages = false,
                    bool stayInDomain = false, unsigned pageLimit = 100) {
    crawl.Begin(CrawlSettings{maxDepth, DomainOf(startUrl), stayInDomain, limitPages, pageLimit});
    std::string url = startUrl;
    NormalizeUrl(url);
    start = tree.AddChild(nullptr, url, NodeIcon::Queued);
    crawl.CountStartPage();
  }
  // An abort in progress, as "Abort active task" leaves the queue until the next tick.
  void Abort() {
    queue.StartOrQueue(start->label, *start, 0);
    queue.AbortActive();
    ASSERT_TRUE(queue.Aborting());
  }
};

TEST(CrawlAddLinks, StartPageBecomesTopOfChartAndChildrenAreQueued) {
  CrawlRun crawl("www.Example.com", 3);
  LinkList links = {"http://www.example.com/a.html", "mailto:me@example.com", "http://www.example.com/m.map",
                    "ftp://ftp.example.com/x (file)", "http://other.org/"};
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, links, ReadStatus::ReadOk));
  EXPECT_EQ(crawl.page.disarms, 1);
  EXPECT_EQ(crawl.tree.TopOfChart(), crawl.start);
  EXPECT_EQ(crawl.start->icon, NodeIcon::TopOfChart);
  EXPECT_EQ(Labels(crawl.start->firstChild), std::vector<std::string>(links.begin(), links.end()));
  EXPECT_EQ(Icons(crawl.start->firstChild), (std::vector<NodeIcon>{NodeIcon::Queued, NodeIcon::MailLink, NodeIcon::ImageMap,
                                                                   NodeIcon::File, NodeIcon::Queued}));
  ASSERT_EQ(crawl.queue.PendingCount(), 2u);
  EXPECT_EQ(crawl.queue.Pending()[0].node, crawl.start->firstChild);
  EXPECT_EQ(crawl.queue.Pending()[0].url, "http://www.example.com/a.html");
  EXPECT_EQ(crawl.queue.Pending()[0].depth, 1);
  EXPECT_EQ(crawl.queue.Pending()[1].url, "http://other.org/");
  EXPECT_EQ(crawl.crawl.PageCount(), 3u);
}

TEST(CrawlAddLinks, StartPageWithoutLinksKeepsTopOfChart) {
  CrawlRun crawl("http://www.example.com/");
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {}, ReadStatus::ReadOk));
  EXPECT_EQ(crawl.start->icon, NodeIcon::TopOfChart);
  EXPECT_EQ(crawl.tree.TopOfChart(), crawl.start);
}

TEST(CrawlAddLinks, FailedReadingGetsReadError) {
  CrawlRun crawl("http://www.example.com/");
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {"http://www.example.com/a"}, ReadStatus::ReadFailed));
  EXPECT_EQ(crawl.start->icon, NodeIcon::ReadError);
  EXPECT_EQ(crawl.start->label, "http://www.example.com/");
  EXPECT_EQ(crawl.start->firstChild, nullptr);
  EXPECT_EQ(crawl.tree.TopOfChart(), nullptr);  // no result yet
  EXPECT_EQ(crawl.page.disarms, 1);
}

TEST(CrawlAddLinks, LaterPagesWithoutLinks) {
  CrawlRun crawl("http://www.example.com/");
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {"http://www.example.com/a", "ftp://ftp.example.com/f.txt (file)"},
                                  ReadStatus::ReadOk));
  SiteNode* a = crawl.start->firstChild;
  SiteNode* f = a->nextSibling;
  ASSERT_TRUE(crawl.crawl.AddLinks(*a, 1, {}, ReadStatus::ReadOk));
  ASSERT_TRUE(crawl.crawl.AddLinks(*f, 1, {}, ReadStatus::ReadOk));
  EXPECT_EQ(a->icon, NodeIcon::NoLinks);
  EXPECT_EQ(f->icon, NodeIcon::File);
}

TEST(CrawlAddLinks, LaterPageWithLinks) {
  CrawlRun crawl("ftp.example.com");
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {"ftp://ftp.example.com/pub", "http://www.example.com/"}, ReadStatus::ReadOk));
  SiteNode* pub = crawl.start->firstChild;
  SiteNode* web = pub->nextSibling;
  ASSERT_TRUE(crawl.crawl.AddLinks(*pub, 1, {"ftp://ftp.example.com/pub/a (file)"}, ReadStatus::ReadOk));
  ASSERT_TRUE(crawl.crawl.AddLinks(*web, 1, {"http://www.example.com/x"}, ReadStatus::ReadOk));
  EXPECT_EQ(pub->icon, NodeIcon::FtpFolder);
  EXPECT_EQ(web->icon, NodeIcon::PageWithLinks);
  EXPECT_EQ(crawl.start->icon, NodeIcon::TopOfChart);
}

TEST(CrawlAddLinks, DepthLimit) {
  for (int maxDepth = 1; maxDepth <= 3; ++maxDepth) {
    CrawlRun crawl("http://www.example.com/", maxDepth);
    ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {"http://www.example.com/a"}, ReadStatus::ReadOk));
    EXPECT_EQ(crawl.queue.PendingCount(), maxDepth > 1 ? 1u : 0u) << maxDepth;
    SiteNode* a = crawl.start->firstChild;
    EXPECT_EQ(a->icon, maxDepth > 1 ? NodeIcon::Queued : NodeIcon::NotRead);
    ASSERT_TRUE(crawl.crawl.AddLinks(*a, 1, {"http://www.example.com/b"}, ReadStatus::ReadOk));
    EXPECT_EQ(crawl.queue.PendingCount(), static_cast<size_t>(maxDepth > 2 ? 2 : (maxDepth > 1 ? 1 : 0))) << maxDepth;
  }
}

TEST(CrawlAddLinks, StayInDomainIgnoresCase) {
  CrawlRun crawl("www.Example.com", 3, false, true);
  EXPECT_EQ(crawl.crawl.Settings().domainKey, "Example");
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0,
                                  {"http://www.example.com/a", "http://other.org/", "http://WWW.EXAMPLE.COM/b"},
                                  ReadStatus::ReadOk));
  EXPECT_EQ(Icons(crawl.start->firstChild),
            (std::vector<NodeIcon>{NodeIcon::Queued, NodeIcon::NotRead, NodeIcon::Queued}));
  EXPECT_EQ(crawl.queue.PendingCount(), 2u);
}

TEST(CrawlAddLinks, EmptyDomainKeyMatchesEverything) {
  CrawlRun crawl("localhost/", 3, false, true);  // typed without a scheme: no host to key on
  EXPECT_EQ(crawl.crawl.Settings().domainKey, "");
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {"http://other.org/"}, ReadStatus::ReadOk));
  EXPECT_EQ(crawl.queue.PendingCount(), 1u);
}

TEST(CrawlAddLinks, PageLimitAllowsLimitPlusOnePages) {
  const struct {
    unsigned limit;
    size_t queued;
  } cases[] = {{1, 1}, {2, 2}, {3, 3}, {10, 5}};
  for (const auto& c : cases) {
    CrawlRun crawl("http://www.example.com/", 3, true, false, c.limit);
    LinkList links;
    for (int i = 0; i < 5; ++i) links.push_back("http://www.example.com/" + std::to_string(i));
    ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, links, ReadStatus::ReadOk));
    EXPECT_EQ(crawl.queue.PendingCount(), c.queued) << c.limit;
    EXPECT_EQ(crawl.crawl.PageCount(), 1 + c.queued) << c.limit;
    size_t limited = 0;
    for (const SiteNode* n = crawl.start->firstChild; n; n = n->nextSibling) limited += n->icon == NodeIcon::PageLimit;
    EXPECT_EQ(limited, 5 - c.queued) << c.limit;
  }
}

TEST(CrawlAddLinks, PageLimitDisabledOrIneligible) {
  CrawlRun crawl("http://www.example.com/", 3, false, false, 1);
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {"http://a/", "http://b/", "http://c/"}, ReadStatus::ReadOk));
  EXPECT_EQ(crawl.queue.PendingCount(), 3u);
  // Ineligible entries neither count nor get PageLimit.
  CrawlRun limited("http://www.example.com/", 3, true, false, 1);
  ASSERT_TRUE(limited.crawl.AddLinks(*limited.start, 0, {"mailto:a@b", "http://a/", "x.map", "http://b/"}, ReadStatus::ReadOk));
  EXPECT_EQ(Icons(limited.start->firstChild),
            (std::vector<NodeIcon>{NodeIcon::MailLink, NodeIcon::Queued, NodeIcon::ImageMap, NodeIcon::PageLimit}));
}

TEST(CrawlAddLinks, SameUrlUnderTwoParentsGivesTwoNodes) {
  CrawlRun crawl("http://www.example.com/", 3);
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {"http://www.example.com/a", "http://www.example.com/b"}, ReadStatus::ReadOk));
  SiteNode* a = crawl.start->firstChild;
  SiteNode* b = a->nextSibling;
  ASSERT_TRUE(crawl.crawl.AddLinks(*a, 1, {"http://www.example.com/x"}, ReadStatus::ReadOk));
  ASSERT_TRUE(crawl.crawl.AddLinks(*b, 1, {"http://www.example.com/x"}, ReadStatus::ReadOk));
  EXPECT_EQ(crawl.queue.PendingCount(), 4u);
  EXPECT_EQ(crawl.tree.NodeCount(), 5u);
}

TEST(CrawlAddLinks, AbortStopsAfterTheFirstChild) {
  CrawlRun crawl("http://www.example.com/", 3);
  crawl.Abort();
  EXPECT_FALSE(crawl.crawl.AddLinks(*crawl.start, 0, {"http://a/", "http://b/"}, ReadStatus::ReadOk));
  EXPECT_EQ(Labels(crawl.start->firstChild), std::vector<std::string>{"http://a/"});
  EXPECT_EQ(crawl.start->firstChild->icon, NodeIcon::NotRead);
  EXPECT_EQ(crawl.queue.PendingCount(), 0u);
  EXPECT_EQ(crawl.start->icon, NodeIcon::TopOfChart);
}

TEST(CrawlAddLinks, AbortOnLaterPageLeavesPageWithLinks) {
  CrawlRun crawl("http://www.example.com/", 3);
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {"ftp://ftp.example.com/"}, ReadStatus::ReadOk));
  crawl.Abort();
  SiteNode* ftp = crawl.start->firstChild;
  EXPECT_FALSE(crawl.crawl.AddLinks(*ftp, 1, {"x", "y"}, ReadStatus::ReadOk));
  EXPECT_EQ(ftp->icon, NodeIcon::PageWithLinks);  // the closing IconFor is not reached
}

TEST(CrawlAddLinks, StoppedCrawlChangesNothing) {
  CrawlRun crawl("http://www.example.com/", 3);
  crawl.crawl.Stop();
  EXPECT_FALSE(crawl.crawl.AddLinks(*crawl.start, 0, {"http://a/"}, ReadStatus::ReadOk));
  EXPECT_FALSE(crawl.crawl.AddLinks(*crawl.start, 0, {}, ReadStatus::ReadFailed));
  EXPECT_EQ(crawl.page.disarms, 0);
  EXPECT_EQ(crawl.start->icon, NodeIcon::Queued);
  EXPECT_EQ(crawl.start->firstChild, nullptr);
}

TEST(CrawlAddLinks, PageLimitOfZeroPassesTheStartPageAlone) {
  CrawlRun crawl("http://www.example.com/", 3, true, false, 0);
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {"http://a/", "http://b/"}, ReadStatus::ReadOk));
  EXPECT_EQ(Icons(crawl.start->firstChild), (std::vector<NodeIcon>{NodeIcon::PageLimit, NodeIcon::PageLimit}));
  EXPECT_EQ(crawl.crawl.PageCount(), 1u);
}

TEST(CrawlAddLinks, ManualReadingOfAnotherNodeStartsAtDepthZero) {
  CrawlRun crawl("http://www.example.com/", 2);
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {"http://www.example.com/a"}, ReadStatus::ReadOk));
  SiteNode* a = crawl.start->firstChild;
  ASSERT_TRUE(crawl.crawl.AddLinks(*a, 0, {"http://www.example.com/b"}, ReadStatus::ReadOk));
  EXPECT_EQ(a->icon, NodeIcon::PageWithLinks);
  EXPECT_EQ(a->firstChild->icon, NodeIcon::Queued);
  EXPECT_EQ(crawl.tree.TopOfChart(), crawl.start);
}

TEST(CrawlAddLinks, ViewSeesTheTreeGrow) {
  CrawlRun crawl("http://www.example.com/", 2);
  RecordingView view;
  crawl.tree.SetView(&view);
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {"http://a/", "mailto:x"}, ReadStatus::ReadOk));
  EXPECT_EQ(view.events, (std::vector<std::string>{"icon http://www.example.com/ 9", "added http://a/ 2", "icon http://a/ 8",
                                                   "added mailto:x 3"}));
}

TEST(CrawlAddLinks, OutOfMemoryStopsTheReadingAndKeepsTheTree) {
  struct Case {
    int room;  // items the view still takes
    std::vector<std::string> kept;
    size_t queued;
  };
  const std::vector<std::string> links = {"http://www.example.com/a", "http://www.example.com/b",
                                          "http://www.example.com/c"};
  for (const Case& c : std::vector<Case>{{0, {}, 0}, {2, {"http://www.example.com/a", "http://www.example.com/b"}, 2}}) {
    CrawlRun crawl("http://www.example.com/", 3);
    FullView view(c.room);
    crawl.tree.SetView(&view);
    EXPECT_FALSE(crawl.crawl.AddLinks(*crawl.start, 0, links, ReadStatus::ReadOk)) << c.room;
    EXPECT_EQ(crawl.page.noRoom, 1);
    EXPECT_EQ(Labels(crawl.start->firstChild), c.kept);
    EXPECT_EQ(crawl.start->lastChild ? crawl.start->lastChild->label.str() : "", c.kept.empty() ? "" : c.kept.back());
    EXPECT_EQ(crawl.tree.NodeCount(), 1 + c.kept.size());
    EXPECT_EQ(crawl.queue.PendingCount(), 0u) << "the crawl stops: what was queued goes";
    EXPECT_EQ(crawl.start->icon, NodeIcon::TopOfChart);
    // The tree goes on working: a node freed by the refusal is used again, and all of it can go.
    crawl.tree.SetView(nullptr);
    SiteNode* later = crawl.tree.AddChild(crawl.start, "http://www.example.com/d", NodeIcon::NotRead);
    EXPECT_EQ(crawl.start->lastChild, later);
    crawl.tree.DeleteSubtree(*crawl.start);
    EXPECT_TRUE(crawl.tree.Empty());
    EXPECT_EQ(crawl.tree.NodeCount(), 0u);
  }
}

TEST(Crawl, ANewCrawlCountsAfreshAndForgetsWhatWasRead) {
  CrawlRun crawl("http://www.Example.com/", 3);
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {"http://www.example.com/a"}, ReadStatus::ReadOk));
  crawl.crawl.State().kept["http://www.example.com/"] = KeptReading{};
  EXPECT_EQ(crawl.crawl.PageCount(), 2u);

  crawl.crawl.Begin(CrawlSettings{2, "other", true, true, 5});
  EXPECT_EQ(crawl.crawl.PageCount(), 0u);
  EXPECT_TRUE(crawl.crawl.State().kept.empty());
  EXPECT_EQ(crawl.crawl.Settings().depth, 2);
  EXPECT_EQ(crawl.crawl.Settings().domainKey, "other");
  EXPECT_EQ(crawl.crawl.Settings().pageLimit, 5u);

  // An import keeps the domain that readings by hand were held to before it.
  crawl.crawl.BeginImport(CrawlSettings{3, "ignored", true, false, 100});
  EXPECT_EQ(crawl.crawl.Settings().domainKey, "other");
  EXPECT_EQ(crawl.crawl.Settings().depth, 3);
  EXPECT_FALSE(crawl.crawl.Settings().limitPages);
}

TEST(Crawl, DepthChangedDuringTheCrawlHoldsForTheNextResult) {
  CrawlRun crawl("http://www.example.com/", 1);
  ASSERT_TRUE(crawl.crawl.AddLinks(*crawl.start, 0, {"http://www.example.com/a"}, ReadStatus::ReadOk));
  EXPECT_EQ(crawl.queue.PendingCount(), 0u);
  crawl.crawl.SetDepth(3);
  SiteNode* a = crawl.start->firstChild;
  ASSERT_TRUE(crawl.crawl.AddLinks(*a, 0, {"http://www.example.com/b"}, ReadStatus::ReadOk));
  EXPECT_EQ(crawl.queue.PendingCount(), 1u);
  crawl.crawl.SetDepth(-1);  // an empty field: no link is read
  ASSERT_TRUE(crawl.crawl.AddLinks(*a->firstChild, 0, {"http://www.example.com/c"}, ReadStatus::ReadOk));
  EXPECT_EQ(crawl.queue.PendingCount(), 1u);
}

}  // namespace
