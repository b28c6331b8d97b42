#include "crawler/fetch_task.h"

#include <gtest/gtest.h>

#include "fake_internet_client.h"
#include "sitetree/site_tree.h"
#include "test_files.h"

namespace {

using Lines = std::vector<std::string>;

class FetchTaskTest : public ::testing::Test {
protected:
  FetchTaskTest() : ports(page.Ports(client)) {
    tree.maxDepth = 2;
    tree.hooks.appendPending = [this](QueueEntry entry) { queued.push_back(entry.url); };
  }

  SiteNode& Root(const std::string& url) {
    return *tree.AddChild(nullptr, url, NodeIcon::Queued);
  }
  // A node below the top of chart, so that its own icon shows what the reading found.
  SiteNode& Child(const std::string& url) {
    SiteNode& top = Root("http://top.example.com/");
    tree.SetTopOfChart(top);
    return *tree.AddChild(&top, url, NodeIcon::Queued);
  }
  std::unique_ptr<FetchTask> Start(const std::string& url, SiteNode& node, unsigned context = 1) {
    auto task = std::make_unique<FetchTask>(crawler, tree, ports);
    task->Start(url, node, context, 0);
    return task;
  }
  static std::vector<std::string> Labels(const SiteNode& node) {
    std::vector<std::string> labels;
    for (const SiteNode* child = node.firstChild; child; child = child->nextSibling)
      labels.push_back(child->label);
    return labels;
  }

  SiteTree tree;
  FakeInternetClient client;
  FakeCrawlPage page;
  CrawlerState crawler;
  CrawlerPorts ports;
  std::vector<std::string> queued;
};

TEST_F(FetchTaskTest, WebReadingShowsItsProgressInOrderAndAddsTheLinks) {
  SiteNode& node = Root("www.example.com/index.html#top");
  auto task = Start("www.example.com/index.html#top", node);
  EXPECT_FALSE(crawler.done);
  EXPECT_EQ(client.calls, (Lines{"Open Pathloom 2.0", "OpenUrl http://www.example.com/index.html #1"}));

  client.Notify(1, 60);
  client.Notify(1, StatusResolvingName);
  client.Notify(1, StatusConnectingToServer);
  client.Notify(1, StatusSendingRequest);     // the open's own request: no line yet
  client.Notify(1, StatusReceivingResponse);
  InternetHandle request = client.CompleteOpen(1);
  EXPECT_EQ(client.calls.back(), "ReadFile h" + std::to_string(request));
  client.Notify(1, StatusSendingRequest);
  client.Notify(1, StatusReceivingResponse);
  client.CompleteRead(1, "<a href=\"a.html\">A</a> <a href=\"mailto:x@example.com\">m</a>"
                         "<a href=\"a.html\">again</a>");

  EXPECT_EQ(page.lines, (Lines{"Connecting to the internet...",
                               "Opening http://www.example.com/index.html", "Resolving name...",
                               "Connecting to server...", "Sending request...",
                               "Receiving response...", "Done reading page."}));
  EXPECT_TRUE(crawler.done);
  EXPECT_EQ(Labels(node),
            (Lines{"http://www.example.com/a.html", "mailto:x@example.com"}));
  EXPECT_EQ(node.icon, NodeIcon::TopOfChart);
  EXPECT_EQ(queued, (Lines{"http://www.example.com/a.html"}));
  EXPECT_TRUE(client.openHandles.empty()) << "request and instance closed";
}

TEST_F(FetchTaskTest, WebPagesThatAreEmptyOrErrorsOrFailToArrive) {
  SiteNode& empty = Child("http://example.com/empty.html");
  auto task = Start(empty.label, empty, 1);
  client.CompleteOpen(1);
  client.CompleteRead(1, "");
  EXPECT_EQ(empty.icon, NodeIcon::NoLinks);
  EXPECT_EQ(page.lines.back(), "Done reading page.");

  SiteNode& missing = *tree.AddChild(empty.parent, "http://example.com/gone.html", NodeIcon::Queued);
  task = Start(missing.label, missing, 2);
  client.CompleteOpen(2);
  client.CompleteRead(2, "<h1>404 Not Found</h1><a href=\"x.html\">x</a>");
  EXPECT_EQ(missing.icon, NodeIcon::ReadError);
  EXPECT_EQ(missing.firstChild, nullptr);

  // A body that never arrived is a failure, not a page without links.
  SiteNode& cut = *tree.AddChild(empty.parent, "http://example.com/cut.html", NodeIcon::Queued);
  task = Start(cut.label, cut, 3);
  client.CompleteOpen(3);
  client.CompleteRead(3, "", 12030);
  EXPECT_EQ(cut.icon, NodeIcon::ReadError);
  EXPECT_TRUE(crawler.done);
}

TEST_F(FetchTaskTest, FailedRequestMarksTheNodeWithoutAClosingLine) {
  SiteNode& node = Child("http://127.0.0.1:9/");
  auto task = Start(node.label, node);
  client.Notify(1, StatusConnectingToServer);
  client.Complete(1, 0, 12029);
  EXPECT_EQ(page.lines, (Lines{"Connecting to the internet...", "Opening http://127.0.0.1:9/",
                               "Connecting to server..."}));
  EXPECT_EQ(node.icon, NodeIcon::ReadError);
  EXPECT_TRUE(crawler.done);
  EXPECT_EQ(client.calls.size(), 2u) << "no read after a failed open";
}

TEST_F(FetchTaskTest, FtpDirectoryIsChangedThenListedToTheEnd) {
  SiteNode& node = Root("ftp://ftp.example.com/pub");
  auto task = Start(node.label, node);
  InternetHandle connection = 2;
  client.Notify(1, StatusResolvingName);
  client.Notify(1, StatusConnectingToServer);
  client.Complete(1, connection);
  client.Complete(1, connection);  // the change of directory
  InternetHandle find = client.NewHandle();
  client.Entry(1, find, "src", true);
  client.Entry(1, find, "notes.txt", false);
  client.Complete(1, find, 18);  // no more files

  EXPECT_EQ(client.calls, (Lines{"Open Pathloom 2.0", "ConnectFtp ftp.example.com:0 #1",
                                 "FtpSetCurrentDirectory h2 /pub",
                                 "FtpFindFirstFile h2 *.*",
                                 "FindNextFile h3", "FindNextFile h3",
                                 "CloseHandle h3", "CloseHandle h2", "CloseHandle h1"}));
  EXPECT_EQ(Labels(node), (Lines{"ftp://ftp.example.com/pub/src",
                                 "ftp://ftp.example.com/pub/notes.txt (file)"}));
  EXPECT_EQ(node.firstChild->icon, NodeIcon::Queued);
  EXPECT_EQ(node.lastChild->icon, NodeIcon::File);
  EXPECT_EQ(page.lines, (Lines{"Connecting to the internet...",
                               "Opening ftp://ftp.example.com/pub", "Resolving name...",
                               "Connecting to server..."}));
  EXPECT_EQ(node.label, "ftp://ftp.example.com/pub");
  EXPECT_TRUE(crawler.done);
}

TEST_F(FetchTaskTest, FtpPathThatIsAFileGetsTheSuffix) {
  struct LabelView : SiteTreeView {
    std::vector<std::string> labels;
    void LabelChanged(SiteNode& node) override { labels.push_back(node.label); }
  } view;
  SiteNode& node = Child("ftp://ftp.example.com/pub/readme.txt");
  tree.view = &view;
  auto task = Start(node.label, node);
  client.Complete(1, 2);
  client.Complete(1, 2, 12003);  // the change of directory fails
  EXPECT_EQ(node.label, "ftp://ftp.example.com/pub/readme.txt (file)");
  EXPECT_EQ(view.labels, (Lines{node.label})) << "the tree page shows the new label";
  EXPECT_EQ(node.icon, NodeIcon::File);
  EXPECT_TRUE(crawler.done);
}

TEST_F(FetchTaskTest, FtpWithoutPathListsAtOnceAndAnEmptyListingIsARead) {
  SiteNode& node = Child("ftp.example.com");
  auto task = Start(node.label, node);
  client.Complete(1, 2);
  EXPECT_EQ(client.calls.back(), "FtpFindFirstFile h2 *.*");
  client.Complete(1, 2, 18);  // empty directory
  EXPECT_EQ(node.label, "ftp.example.com") << "a failed listing is no file";
  EXPECT_EQ(node.icon, NodeIcon::NoLinks);

  // An unreachable server ends the same way.
  SiteNode& down = *tree.AddChild(node.parent, "ftp://127.0.0.1:2121/pub", NodeIcon::Queued);
  task = Start(down.label, down, 2);
  EXPECT_EQ(client.calls.back(), "ConnectFtp 127.0.0.1:2121 #2");
  client.Complete(2, 0, 12029);
  EXPECT_EQ(down.icon, NodeIcon::NoLinks);
}

TEST(SplitFtpPort, TakesADecimalPortAndLeavesAnythingElse) {
  struct Case {
    const char* server;
    const char* host;
    unsigned short port;
  } cases[] = {
      {"ftp.example.com", "ftp.example.com", 0},  {"127.0.0.1:2121", "127.0.0.1", 2121},
      {"host:", "host:", 0},                      {"host:99999", "host:99999", 0},
      {"user:pw@host", "user:pw@host", 0},        {"host:0", "host:0", 0},
      {"", "", 0},
  };
  for (const Case& c : cases) {
    std::string host;
    unsigned short port = 1;
    SplitFtpPort(c.server, host, port);
    EXPECT_EQ(host, c.host) << c.server;
    EXPECT_EQ(port, c.port) << c.server;
  }
}

TEST_F(FetchTaskTest, NotificationsOfAnotherContextOrAfterTheEndChangeNothing) {
  SiteNode& node = Root("http://example.com/");
  auto task = Start(node.label, node, 5);
  client.Notify(4, StatusResolvingName);
  client.Complete(4, 9);
  EXPECT_EQ(page.lines.size(), 2u);
  EXPECT_EQ(client.calls.size(), 2u);

  crawler.done = true;  // as an abort leaves it
  client.Notify(5, StatusResolvingName);
  client.CompleteOpen(5);
  EXPECT_EQ(page.lines.size(), 2u);
  EXPECT_EQ(client.calls.size(), 2u);
  EXPECT_EQ(node.firstChild, nullptr);
  EXPECT_EQ(node.icon, NodeIcon::Queued);
}

TEST_F(FetchTaskTest, ClientThatCannotStartShowsTheMessagesAndLeavesTheTaskWaiting) {
  SiteNode& node = Root("http://example.com/");
  client.failOpen = true;
  auto task = std::make_unique<FetchTask>(crawler, tree, ports);
  EXPECT_FALSE(task->Start(node.label, node, 1, 0));
  EXPECT_EQ(page.messages, (std::vector<int>{102}));
  EXPECT_FALSE(crawler.done);

  client.failOpen = false;
  client.failCallback = true;
  task = std::make_unique<FetchTask>(crawler, tree, ports);
  EXPECT_FALSE(task->Start(node.label, node, 2, 0));
  EXPECT_EQ(page.messages, (std::vector<int>{102, 103, 102}));
  EXPECT_TRUE(client.openHandles.empty());
  EXPECT_EQ(page.lines.back(), "Connecting to the internet...");
}

TEST_F(FetchTaskTest, LocalFileIsReadInsideStart) {
  TempDir dir;
  std::string path = dir.File("ftp:page.html");  // a file is local whatever its name holds
  WriteFile(path, "<a href=\"http://www.example.com/x.html\">x</a>");
  SiteNode& node = Root(path);
  auto task = Start(path, node);
  EXPECT_TRUE(crawler.done);
  EXPECT_EQ(page.localTasks, 1);
  EXPECT_EQ(page.lines, (Lines{"Reading local page...", "Done reading page."}));
  EXPECT_EQ(Labels(node), (Lines{"http://www.example.com/x.html"}));
  EXPECT_TRUE(client.calls.empty());
}

}  // namespace
