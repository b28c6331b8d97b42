#include "crawler/fetch_task.h"

#include <gtest/gtest.h>

#include "crawler/crawl.h"
#include "crawler/fake_internet_client.h"
#include "crawler/read_failure.h"
#include "crawler/task_queue.h"
#include "site/site_tree.h"
#include "test_files.h"

namespace {

using Lines = std::vector<std::string>;

class FetchTaskTest : public ::testing::Test {
protected:
  FetchTaskTest() : ports(page.Ports(client)) { crawl.SetDepth(2); }

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
    auto task = std::make_unique<FetchTask>(crawl, tree, ports);
    task->Start(url, node, context, 0);
    return task;
  }
  std::vector<std::string> Queued() const {
    std::vector<std::string> urls;
    for (const QueueEntry& entry : queue.Pending()) urls.push_back(entry.url);
    return urls;
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
  Crawl crawl{tree, queue, page, page};
  TaskQueue queue{tree, crawl, page.Ports(client)};
  CrawlerState& crawler = crawl.State();
  CrawlerPorts ports;
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
  client.ReadPage(1, "<a href=\"a.html\">A</a> <a href=\"mailto:x@example.com\">m</a>"
                     "<a href=\"a.html\">again</a>");

  EXPECT_EQ(page.lines, (Lines{"Connecting to the internet...",
                               "Opening http://www.example.com/index.html", "Resolving name...",
                               "Connecting to server...", "Sending request...",
                               "Receiving response...", "Done reading page."}));
  EXPECT_TRUE(crawler.done);
  EXPECT_EQ(Labels(node),
            (Lines{"http://www.example.com/a.html", "mailto:x@example.com"}));
  EXPECT_EQ(node.icon, NodeIcon::TopOfChart);
  EXPECT_EQ(Queued(), (Lines{"http://www.example.com/a.html"}));
  EXPECT_TRUE(client.openHandles.empty()) << "request and instance closed";
}

TEST_F(FetchTaskTest, WebPagesThatAreEmptyOrErrorsOrFailToArrive) {
  SiteNode& empty = Child("http://example.com/empty.html");
  auto task = Start(empty.label, empty, 1);
  client.CompleteOpen(1);
  client.ReadPage(1, "");
  EXPECT_EQ(empty.icon, NodeIcon::NoLinks);
  EXPECT_EQ(page.lines.back(), "Done reading page.");

  SiteNode& missing = *tree.AddChild(empty.parent, "http://example.com/gone.html", NodeIcon::Queued);
  task = Start(missing.label, missing, 2);
  client.CompleteOpen(2);
  client.ReadPage(2, "<h1>404 Not Found</h1><a href=\"x.html\">x</a>");
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

TEST_F(FetchTaskTest, WebPagesAreReadWholeUpToTheLimit) {
  const size_t limit = 8u << 20;
  const std::string link = "<a href=\"far.html\">f</a>";
  struct Case {
    const char* name;
    size_t before;  // bytes ahead of the link
    size_t after;   // bytes behind it
    bool found, cut;
  } cases[] = {
      {"one read", 10, 10, true, false},
      {"a link across two reads", kBodyBufferSize - 5, 10, true, false},
      {"a link past 100 KB", 100000, 50000, true, false},
      {"a page of exactly the limit is whole", limit - 24 - link.size(), 24, true, false},
      {"a link that ends at the limit on a longer page", limit - link.size(), 100, true, true},
      {"a link past the limit", limit + 10, 100000, false, true},
  };
  unsigned context = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    page.lines.clear();
    SiteNode& node = Child("http://example.com/long.html");
    auto task = Start(node.label, node, ++context);
    client.CompleteOpen(context);
    const std::string text = std::string(c.before, ' ') + link + std::string(c.after, ' ');
    size_t readsBefore = client.calls.size();
    std::vector<size_t> asked;  // by each read, filled as far as the page goes
    for (size_t at = 0; !crawler.done;) {
      asked.push_back(client.buffer->data.size());
      at += client.CompleteRead(context, std::string_view(text).substr(std::min(at, text.size())));
      client.Notify(context, StatusReceivingResponse);  // a later read's progress: no line
    }

    EXPECT_EQ(Labels(node).size(), c.found ? 1u : 0u);
    Lines tail{"Done reading page."};
    if (c.cut) tail.insert(tail.begin(), "Page longer than 8 MB: only its first 8 MB were read.");
    EXPECT_EQ(Lines(page.lines.end() - std::min(page.lines.size(), tail.size()), page.lines.end()), tail);
    EXPECT_EQ(page.lines.size(), 2 + tail.size()) << "one sequence of lines, whatever the reads";
    // Every piece but the last asked for the next; a cut page asks for nothing past the limit.
    size_t reads = std::count_if(client.calls.begin() + readsBefore, client.calls.end(),
                                 [](const std::string& call) { return call.rfind("ReadFile", 0) == 0; });
    EXPECT_EQ(reads, asked.size() - 1);
    // The first read is of 30000 bytes; the later ones grow, so that 8 MB take a few reads.
    EXPECT_EQ(asked.front(), kBodyBufferSize);
    EXPECT_TRUE(std::is_sorted(asked.begin(), asked.end()));
    EXPECT_LE(asked.back(), kLargestRead);
    EXPECT_LE(asked.size(), 20u);
    EXPECT_TRUE(client.openHandles.empty());
  }
}

TEST_F(FetchTaskTest, AReadBrokenOffMidPageKeepsTheLinksReadAndShowsTheFailure) {
  struct Case {
    const char* name;
    std::string firstPiece;  // read before the read that fails
    size_t children;
  } cases[] = {
      {"links before the break", "<a href=\"one.html\">1</a><a href=\"two.html\">2</a>", 2},
      {"no links before the break", "<html><body>", 0},
      {"an error page before the break", "<h1>404 Not Found</h1><a href=\"x.html\">x</a>", 0},
  };
  unsigned context = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    page.lines.clear();
    SiteNode& node = Child("http://example.com/broken" + std::to_string(++context) + ".html");
    auto task = Start(node.label, node, context);
    client.CompleteOpen(context);
    client.CompleteRead(context, c.firstPiece);
    client.CompleteRead(context, "", 12030);
    ASSERT_TRUE(crawler.done);
    EXPECT_EQ(node.icon, NodeIcon::ReadError);
    EXPECT_EQ(Labels(node).size(), c.children);
    EXPECT_EQ(page.lines.back(), "Reading failed: connection broken off");
    EXPECT_TRUE(client.openHandles.empty());
    // With links it is kept for its reason only, so a later reading asks the server again.
    EXPECT_EQ(crawler.kept.at(node.label).readAgain, c.children != 0);
  }
}

TEST_F(FetchTaskTest, FailedRequestMarksTheNodeAndSaysWhy) {
  SiteNode& node = Child("http://127.0.0.1:9/");
  auto task = Start(node.label, node);
  client.Notify(1, StatusConnectingToServer);
  client.Complete(1, 0, 12029);
  EXPECT_EQ(page.lines, (Lines{"Connecting to the internet...", "Opening http://127.0.0.1:9/",
                               "Connecting to server...", "Reading failed: connection refused"}));
  EXPECT_EQ(node.icon, NodeIcon::ReadError);
  EXPECT_TRUE(crawler.done);
  EXPECT_EQ(client.calls, (Lines{"Open Pathloom 2.0", "OpenUrl http://127.0.0.1:9/ #1",
                                 "CloseHandle h1"}))
      << "no read after a failed open";
}

TEST_F(FetchTaskTest, FtpDirectoryIsChangedThenListedToTheEnd) {
  SiteNode& node = Root("ftp://ftp.example.com/pub%20lic");
  auto task = Start(node.label, node);
  InternetHandle connection = 2;
  client.Notify(1, StatusResolvingName);
  client.Notify(1, StatusConnectingToServer);
  client.Complete(1, connection);
  client.Complete(1, connection);  // the change of directory
  InternetHandle find = client.NewHandle();
  client.Entry(1, find, "my src", true);  // names in the tree encoded, the path decoded
  client.Entry(1, find, "notes.txt", false);
  client.Complete(1, find, 18);  // no more files

  EXPECT_EQ(client.calls, (Lines{"Open Pathloom 2.0", "ConnectFtp ftp.example.com:0 #1",
                                 "FtpSetCurrentDirectory h2 /pub lic",
                                 "FtpFindFirstFile h2 *.*",
                                 "FindNextFile h3", "FindNextFile h3",
                                 "CloseHandle h3", "CloseHandle h2", "CloseHandle h1"}));
  EXPECT_EQ(Labels(node), (Lines{"ftp://ftp.example.com/pub%20lic/my%20src",
                                 "ftp://ftp.example.com/pub%20lic/notes.txt (file)"}));
  EXPECT_EQ(node.firstChild->icon, NodeIcon::Queued);
  EXPECT_EQ(node.lastChild->icon, NodeIcon::File);
  EXPECT_EQ(page.lines, (Lines{"Connecting to the internet...",
                               "Opening ftp://ftp.example.com/pub%20lic", "Resolving name...",
                               "Connecting to server..."}));
  EXPECT_EQ(node.label, "ftp://ftp.example.com/pub%20lic");
  EXPECT_TRUE(crawler.done);
}

TEST_F(FetchTaskTest, FtpPathThatIsAFileGetsTheSuffix) {
  struct LabelView : SiteTreeView {
    std::vector<std::string> labels;
    void LabelChanged(SiteNode& node) override { labels.push_back(node.label); }
  } view;
  SiteNode& node = Child("ftp://ftp.example.com/pub/readme.txt");
  tree.SetView(&view);
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
  EXPECT_EQ(down.icon, NodeIcon::ReadError) << "a refused connection is no empty directory";
}

TEST_F(FetchTaskTest, FtpFailuresAreFailuresAndKeepWhatWasListed) {
  struct Case {
    const char* name;
    bool hasPath;
    unsigned long failConnect, failChange;  // 0: that step succeeds
    int entries;                            // listed before the end
    unsigned long end;                      // error of the last completion
    NodeIcon icon;
    bool file;
    const char* reply;   // the server's last reply with the failure
    const char* reason;  // kept, and shown in the status list
  } cases[] = {
      {"refused connection", false, 12029, 0, 0, 0, NodeIcon::ReadError, false, "", "connection refused"},
      {"login denied", false, 12015, 0, 0, 0, NodeIcon::ReadError, false, "530 Login\r\n incorrect.\r\n", "530 Login incorrect."},
      {"busy server", true, 12110, 0, 0, 0, NodeIcon::ReadError, false, "", "internet client error 12110"},
      {"path is a file", true, 0, kErrorServerRefused, 0, 0, NodeIcon::File, true, "550 Not a directory", ""},
      {"connection lost at the change of directory", true, 0, 12030, 0, 0, NodeIcon::ReadError, false, "", "connection broken off"},
      {"empty directory", true, 0, 0, 0, kErrorNoMoreFiles, NodeIcon::NoLinks, false, "", ""},
      {"complete listing", true, 0, 0, 2, kErrorNoMoreFiles, NodeIcon::FtpFolder, false, "", ""},
      {"listing broken off", false, 0, 0, 2, 12030, NodeIcon::ReadError, false, "150 Here it comes", "connection broken off"},
      {"broken off before any entry", false, 0, 0, 0, 12030, NodeIcon::ReadError, false, "", "connection broken off"},
  };
  unsigned context = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string url = c.hasPath ? "ftp://ftp.example.com/pub" : "ftp://ftp.example.com";
    SiteNode& node = Child(url);
    auto task = Start(url, node, ++context);
    InternetHandle connection = client.NewHandle();
    if (c.failConnect) {
      client.Complete(context, 0, c.failConnect, nullptr, c.reply);
    } else {
      client.Complete(context, connection);
      if (c.hasPath) client.Complete(context, connection, c.failChange, nullptr, c.reply);
      if (!c.failChange) {
        InternetHandle find = client.NewHandle();
        for (int i = 0; i < c.entries; ++i) client.Entry(context, find, "e" + std::to_string(i), false);
        client.Complete(context, find, c.end, nullptr, c.reply);
      }
    }
    EXPECT_EQ(crawler.kept.at(url).reason, c.reason);
    EXPECT_TRUE(crawler.done);
    EXPECT_EQ(node.icon, c.icon);
    EXPECT_EQ(node.label, c.file ? url + " (file)" : url);
    EXPECT_EQ(Labels(node).size(), size_t(c.entries)) << "entries listed before a break stay";
  }
}

TEST_F(FetchTaskTest, HttpStatusDecidesWhetherThePageIsRead) {
  struct Case {
    unsigned status;
    bool statusLine;
    NodeIcon icon;
    const char* phrase;
    const char* reason;
  } cases[] = {
      {200, true, NodeIcon::PageWithLinks, "OK", ""}, {204, true, NodeIcon::PageWithLinks, "", ""},
      {302, true, NodeIcon::PageWithLinks, "", ""},  // a redirect without a Location is read as it is
      {399, true, NodeIcon::PageWithLinks, "", ""}, {400, true, NodeIcon::ReadError, "", "400"},
      {404, true, NodeIcon::ReadError, " Not \tFound\r\n", "404 Not Found"},
      {500, true, NodeIcon::ReadError, "Internal Server Error", "500 Internal Server Error"},
      {200, false, NodeIcon::ReadError, "OK", "no valid HTTP reply"},
  };
  unsigned context = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.status) + (c.statusLine ? "" : " without a status line"));
    SiteNode& node = Child("http://example.com/p.html");
    client.response = {c.status, {}, {}, c.phrase};
    client.noStatusLine = !c.statusLine;
    auto task = Start(node.label, node, ++context);
    size_t callsBefore = client.calls.size();
    client.CompleteOpen(context);
    bool read = client.calls.size() > callsBefore && client.calls[callsBefore].rfind("ReadFile", 0) == 0;
    EXPECT_EQ(read, c.icon != NodeIcon::ReadError);
    if (read) client.ReadPage(context, "<a href=\"ghost.html\">g</a>");
    EXPECT_TRUE(crawler.done);
    EXPECT_EQ(node.icon, c.icon);
    EXPECT_EQ(Labels(node).size(), read ? 1u : 0u);
    EXPECT_EQ(crawler.kept.at(node.label).reason, c.reason);
  }
  EXPECT_TRUE(client.openHandles.empty());
  EXPECT_EQ(HttpStatusReason(500, std::string(1000, 'x')).size(), kMaxReasonLength);
}

TEST_F(FetchTaskTest, RedirectsAreFollowedAndTheLinksResolveAgainstTheLastUrl) {
  SiteNode& node = Child("http://example.com/docs");
  auto task = Start(node.label, node);
  client.response = {301, "/docs/"};
  InternetHandle first = client.CompleteOpen(1);
  EXPECT_EQ(client.calls.back(), "OpenUrl http://example.com/docs/ #1");
  EXPECT_EQ(client.openHandles.count(first), 0u) << "the redirected request is closed";
  client.response = {302, "https://example.com/site/index.html#top"};
  client.CompleteOpen(1);
  EXPECT_EQ(client.calls.back(), "OpenUrl https://example.com/site/index.html #1");
  client.response = {200, {}};
  client.CompleteOpen(1);
  client.ReadPage(1, "<a href=\"page.html\">p</a>");
  EXPECT_EQ(node.label, "http://example.com/docs") << "the node keeps its label";
  EXPECT_EQ(Labels(node), (Lines{"https://example.com/site/page.html"}));
  EXPECT_EQ(node.icon, NodeIcon::PageWithLinks);
  EXPECT_TRUE(client.openHandles.empty());
}

TEST_F(FetchTaskTest, RedirectsEndAfterTenOrWhenTheyLeaveTheWeb) {
  struct Case {
    const char* location;
    int hops;  // redirects answered before the one that must fail
    const char* reason;
  } cases[] = {
      {"/loop", 10, "more than 10 redirects"},
      {"file:///etc/passwd", 0, "redirected away from the web"},
      {"Z:\\data\\big0.bin", 0, "redirected away from the web"},
      {"ftp://ftp.example.com/pub", 0, "redirected away from the web"},
  };
  unsigned context = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.location);
    SiteNode& node = Child("http://example.com/");
    client.response = {302, c.location};
    auto task = Start(node.label, node, ++context);
    for (int i = 0; i < c.hops; ++i) client.CompleteOpen(context);
    size_t opens = std::count_if(client.calls.begin(), client.calls.end(),
                                 [](const std::string& call) { return call.rfind("OpenUrl", 0) == 0; });
    client.CompleteOpen(context);
    size_t opensAfter = std::count_if(client.calls.begin(), client.calls.end(),
                                      [](const std::string& call) { return call.rfind("OpenUrl", 0) == 0; });
    EXPECT_EQ(opensAfter, opens) << "not followed";
    EXPECT_TRUE(crawler.done);
    EXPECT_EQ(node.icon, NodeIcon::ReadError);
    EXPECT_EQ(page.lines.back(), std::string("Reading failed: ") + c.reason);
    EXPECT_TRUE(client.openHandles.empty());
  }
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
  auto task = std::make_unique<FetchTask>(crawl, tree, ports);
  EXPECT_FALSE(task->Start(node.label, node, 1, 0));
  EXPECT_EQ(page.messages, (std::vector<int>{102}));
  EXPECT_FALSE(crawler.done);

  client.failOpen = false;
  client.failCallback = true;
  task = std::make_unique<FetchTask>(crawl, tree, ports);
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

TEST_F(FetchTaskTest, LinksOfRemotePagesAreNeverReadFromDisk) {
  TempDir dir;
  std::string local = dir.File("page.html");
  WriteFile(local, "<a href=\"secret.html\">s</a>");
  std::string other = dir.File("other.html");
  WriteFile(other, "<a href=\"x.html\">x</a>");

  // Found on a web page: read over the network as a URL, the file untouched.
  SiteNode& web = Root("http://example.com/");
  SiteNode& named = *tree.AddChild(&web, local, NodeIcon::Queued);
  auto task = Start(local, named);
  EXPECT_EQ(page.localTasks, 0);
  EXPECT_EQ(client.calls.back(), "OpenUrl http://" + local + " #1");
  EXPECT_FALSE(LocalReadingAllowed(named));

  // Found on a local page below a local start: read from disk.
  SiteNode& start = Root(local);
  SiteNode& linked = *tree.AddChild(&start, other, NodeIcon::Queued);
  EXPECT_TRUE(LocalReadingAllowed(start));
  EXPECT_TRUE(LocalReadingAllowed(linked));
  task = Start(other, linked, 2);
  EXPECT_EQ(page.localTasks, 1);
  EXPECT_EQ(Labels(linked).size(), 1u);

  // Below a web page anywhere above, never again.
  SiteNode& deeper = *tree.AddChild(&named, other, NodeIcon::Queued);
  EXPECT_FALSE(LocalReadingAllowed(deeper));
}

TEST_F(FetchTaskTest, LargeLocalPagesAreReadInPiecesAndHugeOnesFail) {
  TempDir dir;
  std::string large = dir.File("large.html");
  WriteFile(large, std::string(9 << 20, 'x') + "<a href=\"http://example.com/end.html\">end</a>");
  SiteNode& node = Root(large);
  auto task = Start(large, node);
  EXPECT_FALSE(crawler.done) << "one piece is read inside Start";
  int ticks = 0;
  while (!crawler.done && ticks < 10) {
    task->ReadNextPiece();
    ++ticks;
  }
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(Labels(node), (Lines{"http://example.com/end.html"}));
  EXPECT_EQ(page.lines, (Lines{"Reading local page...", "Done reading page."}));

  // Pieces are sized by the file as it was opened; one that has grown since is read to its end.
  std::string growing = dir.File("growing.html");
  WriteFile(growing, std::string(5 << 20, 'x'));
  SiteNode& grown = *tree.AddChild(&node, growing, NodeIcon::Queued);
  task = Start(growing, grown, 2);
  ASSERT_FALSE(crawler.done);
  std::ofstream(growing, std::ios::binary | std::ios::app)
      << std::string(3 << 20, 'y') << "<a href=\"http://example.com/late.html\">late</a>";
  for (ticks = 0; !crawler.done && ticks < 10; ++ticks) task->ReadNextPiece();
  EXPECT_EQ(Labels(grown), (Lines{"http://example.com/late.html"}));

  std::string huge = dir.File("huge.html");
  WriteFile(huge, "");
  std::filesystem::resize_file(huge, std::uintmax_t(1) << 30);  // sparse: nothing written
  SiteNode& big = *tree.AddChild(&node, huge, NodeIcon::Queued);
  task = Start(huge, big, 2);
  EXPECT_TRUE(crawler.done) << "refused before reading";
  EXPECT_EQ(big.icon, NodeIcon::ReadError);
  EXPECT_EQ(page.lines.back(), "Reading failed: file larger than 64 MB");
}

}  // namespace
