// Whole crawls of generated cross-linked sites, with and without the readings kept for the
// rest of the crawl: both must show exactly the same, and only the kept one reads each page
// once.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "crawler/task_queue.h"
#include "crawler/fake_internet_client.h"
#include "test_files.h"

namespace {

using Lines = std::vector<std::string>;

// The page's message queue: the client's notifications and the posted task ends, in order.
class EventLoop {
public:
  void Push(std::function<void()> event) { events.push_back(std::move(event)); }
  void Run() {
    while (!events.empty()) {
      auto event = std::move(events.front());
      events.pop_front();
      event();
    }
  }

private:
  std::deque<std::function<void()>> events;
};

// A scripted site: web pages by URL, FTP directories by host and path. A web URL that is not
// in `pages` is refused; one in `silent` never answers. Every answer goes through the loop.
class SiteClient : public InternetClient {
public:
  explicit SiteClient(EventLoop& loop) : loop(loop) {}

  std::map<std::string, std::string> pages;
  std::map<std::string, std::vector<FindEntry>> ftpDirectories;
  std::set<std::string> silent;
  std::map<std::string, std::string> types;  // Content-Type by URL; none when not given
  Lines requests;  // each web URL opened, and each FTP directory changed to as a URL
  Lines bodyReads;  // the URL of each read of a body

  InternetHandle Open(const std::string&) override { return next++; }
  bool SetStatusCallback(InternetHandle, InternetStatusSink& routine) override {
    sink = &routine;
    return true;
  }
  InternetHandle OpenUrl(InternetHandle, const std::string& url, unsigned context) override {
    requests.push_back(url);
    if (silent.count(url)) return 0;
    InternetHandle request = next++;
    handles[request] = {context, url};
    Progress(context, {StatusResolvingName, StatusConnectingToServer});
    bool found = pages.count(url) != 0;
    Later(context, found ? request : 0, found ? 0 : 12029);
    return 0;
  }
  bool QueryResponse(InternetHandle request, HttpResponse& response) override {
    auto type = types.find(handles.at(request).path);
    response = HttpResponse{200, {}, type == types.end() ? "" : type->second};
    return true;
  }
  void ReadFile(InternetHandle request, std::shared_ptr<ReadBuffer> buffer) override {
    const Handle& h = handles.at(request);
    bodyReads.push_back(h.path);
    Progress(h.context, {StatusSendingRequest, StatusReceivingResponse});
    const std::string& text = pages.at(h.path);
    buffer->bytesRead = static_cast<std::uint32_t>(
        text.copy(buffer->data.data(), buffer->data.size(), std::min(h.entry, text.size())));
    handles.at(request).entry += buffer->bytesRead;
    Later(h.context, request, 0);
  }
  InternetHandle ConnectFtp(InternetHandle, const std::string& host, unsigned short,
                            unsigned context) override {
    InternetHandle connection = next++;
    handles[connection] = {context, host};
    Progress(context, {StatusResolvingName, StatusConnectingToServer});
    Later(context, connection, 0);
    return connection;
  }
  void ChangeFtpDirectory(InternetHandle connection, const std::string& path,
                          unsigned context) override {
    Handle& h = handles.at(connection);
    h.path += path;
    requests.push_back("ftp://" + h.path);
    Later(context, connection, ftpDirectories.count(h.path) ? 0 : 12003);
  }
  void FindFirstFtpEntry(InternetHandle connection, const std::string&, unsigned context) override {
    InternetHandle find = next++;
    handles[find] = {context, handles.at(connection).path};
    NextEntry(find);
  }
  void FindNextFtpEntry(InternetHandle find) override { NextEntry(find); }
  void CloseHandle(InternetHandle) override {}

private:
  struct Handle {
    unsigned context;
    std::string path;  // the URL, or the FTP host and the directory changed to
    size_t entry = 0;  // the next FTP entry, or how much of the page has been read
  };

  void Progress(unsigned context, std::initializer_list<unsigned> statuses) {
    for (unsigned status : statuses)
      loop.Push([=, this] { sink->OnStatus(0, context, status, StatusInfo{}); });
  }
  void Later(unsigned context, InternetHandle result, unsigned long error,
             const FindEntry* entry = nullptr) {
    loop.Push([=, this] {
      sink->OnStatus(result, context, StatusRequestComplete, StatusInfo{result, error, entry});
    });
  }
  void NextEntry(InternetHandle find) {
    Handle& h = handles.at(find);
    const std::vector<FindEntry>& entries = ftpDirectories[h.path];
    if (h.entry < entries.size()) Later(h.context, find, 0, &entries[h.entry++]);
    else Later(h.context, find, 18);
  }

  EventLoop& loop;
  InternetStatusSink* sink = nullptr;
  std::map<InternetHandle, Handle> handles;
  InternetHandle next = 1;
};

// Everything the tree page is shown or told, in one sequence.
struct Transcript : SiteTreeView {
  Lines events;
  void NodeAdded(SiteNode& node) override { events.push_back("add " + Describe(node)); }
  void IconChanged(SiteNode& node) override { events.push_back("icon " + Describe(node)); }
  void LabelChanged(SiteNode& node) override { events.push_back("label " + Describe(node)); }
  static std::string Describe(const SiteNode& node) {
    return node.label + " " + std::to_string(static_cast<int>(node.icon));
  }
};

class CrawlPageLog : public FakeCrawlPage {
public:
  explicit CrawlPageLog(Lines& events) : events(events) {}
  void AddStatusLine(const std::string& line) override { events.push_back("line " + line); }
  void ShowActiveCounter(const std::string& text) override { events.push_back("counter " + text); }
  void ShowQueueCounter(const std::string& text) override { events.push_back("counter " + text); }
  void ShowMessage(int id) override { events.push_back("message " + std::to_string(id)); }
  // Each reading's result disarms the time-out (as does each disposal of a task).
  void DisarmTimeout() override {
    events.push_back("disarm");
    FakeCrawlPage::DisarmTimeout();
  }

private:
  Lines& events;
};

class CrawlRun {
public:
  // keep false: every reading's kept result is forgotten before the next one starts, which
  // is how the crawler behaved before it kept them.
  explicit CrawlRun(bool keep = true, bool ticks = true)
      : client(loop), page(log.events), keep(keep), ticks(ticks) {
    tree.SetView(&log);
    crawl.SetDepth(3);
    // A tick comes between a task's end and the handling of its message, so the counters
    // show each reading the same whichever way it ended.
    page.onPost = [this] {
      loop.Push([this] {
        if (!this->keep) crawl.ForgetReadings();
        if (this->ticks) queue.OnTick();
        queue.OnTaskEnded();
      });
    };
  }

  void Run(const std::string& url) {
    SiteNode& root = *tree.AddChild(nullptr, url, NodeIcon::Queued);
    crawl.CountStartPage();
    queue.StartOrQueue(url, root, 0);
    Finish();
  }
  void Finish() {
    loop.Run();
    if (ticks) queue.OnTick();
  }
  // A node with this label and no children, as a double click would find it.
  SiteNode* Leaf(const std::string& label) const {
    for (SiteNode* node = tree.FirstTopLevel(); node;) {
      if (node->label == label && !node->firstChild) return node;
      if (node->firstChild) {
        node = node->firstChild;
        continue;
      }
      while (node && !node->nextSibling) node = node->parent;
      if (node) node = node->nextSibling;
    }
    return nullptr;
  }
  size_t RequestsFor(const std::string& url) const {
    return std::count(client.requests.begin(), client.requests.end(), url);
  }

  EventLoop loop;
  SiteClient client;
  Transcript log;
  CrawlPageLog page;
  SiteTree tree;
  Crawl crawl{tree, queue, page, page};
  TaskQueue queue{tree, crawl, page.Ports(client)};
  bool keep;
  bool ticks;
};

// index links every page; each page links home, on, further on through an anchor, its own
// "#top", and two of the odd ones: an error page, an empty page, a refused server, an FTP
// directory, an FTP path that is a file, an e-mail address.
void MakeWebSite(SiteClient& client, int pages) {
  const std::string base = "http://site.example/";
  const Lines odd = {"missing.html", "empty.html", "http://refused.example/",
                     "ftp://ftp.example/pub", "ftp://ftp.example/pub/readme.txt",
                     "mailto:me@site.example"};
  std::string index;
  for (int i = 1; i < pages; ++i)
    index += "<a href=\"page" + std::to_string(i) + ".html\">p</a>\n";
  client.pages[base + "index.html"] = index + "<a href=\"#top\">top</a>";
  for (int i = 1; i < pages; ++i) {
    auto page = [&](int n) { return "page" + std::to_string((n - 1) % (pages - 1) + 1) + ".html"; };
    std::string text;
    for (const std::string& link : {std::string("index.html"), page(i + 1), page(i + 3) + "#part",
                                    std::string("#top"), odd[i % odd.size()],
                                    odd[(i + 2) % odd.size()]})
      text += "<a href=\"" + link + "\">x</a>\n";
    client.pages[base + "page" + std::to_string(i) + ".html"] = text;
  }
  client.pages[base + "missing.html"] = "<html><h1>404 Not Found</h1><a href=\"x.html\">x</a>";
  client.pages[base + "empty.html"] = "";
  client.ftpDirectories["ftp.example/pub"] = {{"src", true}, {"notes.txt", false}};
  client.ftpDirectories["ftp.example/pub/src"] = {};
}

// The first place where two transcripts part, for a readable failure.
std::string FirstDifference(const Lines& a, const Lines& b) {
  for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
    std::string left = i < a.size() ? a[i] : "(end)", right = i < b.size() ? b[i] : "(end)";
    if (left != right) return "at " + std::to_string(i) + ": " + left + " | " + right;
  }
  return "";
}

TEST(KeptReadings, WebCrawlShowsTheSameAndReadsEachPageOnce) {
  CrawlRun before(false), after;
  MakeWebSite(before.client, 12);
  MakeWebSite(after.client, 12);
  before.Run("http://site.example/index.html");
  after.Run("http://site.example/index.html");

  EXPECT_EQ(FirstDifference(before.log.events, after.log.events), "");
  EXPECT_EQ(before.queue.ContextCounter(), after.queue.ContextCounter());
  EXPECT_GT(before.queue.ContextCounter(), 80u);

  std::set<std::string> distinct(after.client.requests.begin(), after.client.requests.end());
  EXPECT_EQ(after.client.requests.size(), distinct.size()) << "each URL opened once";
  EXPECT_GT(before.client.requests.size(), 3 * distinct.size());
  // Fragments name no page of their own: page4.html#part was read as page4.html.
  EXPECT_EQ(distinct.count("http://site.example/page4.html#part"), 0u);
  EXPECT_EQ(after.RequestsFor("ftp://ftp.example/pub/readme.txt"), 1u);

  // The odd pages end the same way every time they come up again.
  size_t fileLabels = 0, errors = 0;
  for (const std::string& event : after.log.events) {
    fileLabels += event == "label ftp://ftp.example/pub/readme.txt (file) 8";
    errors += event == "icon http://site.example/missing.html 4";
  }
  EXPECT_GT(fileLabels, 1u);
  EXPECT_GT(errors, 1u);
  EXPECT_FALSE(after.queue.HasActiveTask());
  EXPECT_EQ(after.queue.PendingCount(), 0u);
}

TEST(KeptReadings, FilesThatManyPagesLinkAtEveryDepthAreRequestedOnce) {
  // Pages that link each other, each its own JSON twin (missing: its request fails) and JSON
  // files the index links too: the twins come up at depth 2 only, the shared files at depths 1
  // and 2; every other page is longer than one read, its twin's link past the first.
  CrawlRun crawl;
  const std::string base = "http://docs.example/";
  const int pages = 8;
  std::string shared;
  for (int k = 0; k < 3; ++k) {
    shared += "<a href=\"data/shared" + std::to_string(k) + ".json\">s</a>";
    crawl.client.pages[base + "data/shared" + std::to_string(k) + ".json"] = "{\"href\": 1}";
  }
  std::string index = shared;
  for (int i = 1; i <= pages; ++i) {
    std::string name = "page" + std::to_string(i);
    index += "<a href=\"" + name + ".html\">p</a>";
    std::string text = std::string(i % 2 ? 40000 : 10, ' ') + "<a href=\"" + name + ".json\">j</a>" + shared;
    for (int k = 1; k <= pages; ++k) text += "<a href=\"page" + std::to_string(k) + ".html#top\">n</a>";
    crawl.client.pages[base + name + ".html"] = text;
  }
  crawl.client.pages[base + "index.html"] = index;
  crawl.Run(base + "index.html");

  std::map<std::string, int> requests;
  for (const std::string& url : crawl.client.requests) ++requests[url];
  EXPECT_EQ(requests.size(), 1u + pages * 2 + 3);
  for (const auto& [url, count] : requests) EXPECT_EQ(count, 1) << url;
  EXPECT_FALSE(crawl.queue.HasActiveTask());
}

TEST(KeptReadings, LocalCrawlShowsTheSameAndRunsOnTaskEndsAlone) {
  // Local links are resolved at backslashes, and every "/" becomes one: relative names whose
  // "directory" is a prefix of the file name keep to the temporary directory.
  TempDir dir;
  std::filesystem::path home = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  auto file = [&](int i) { return "site\\p" + std::to_string(i) + ".html"; };
  const int pages = 8;
  for (int i = 0; i < pages; ++i) {
    std::string text = "<a href=\"p" + std::to_string((i + 1) % pages) + ".html#a\">n</a>"
                       "<a href=\"p" + std::to_string((i + 3) % pages) + ".html\">m</a>"
                       "<a href=\"gone.html\">g</a><a href=\"mailto:me@example.com\">e</a>";
    WriteFile(file(i), text);
  }
  // No tick at all: every next reading starts from the end of the one before.
  CrawlRun before(false, false), after(true, false);
  before.Run(file(0));
  after.Run(file(0));
  EXPECT_EQ(FirstDifference(before.log.events, after.log.events), "");
  // Three links read on each page down to depth 2; gone.html is no file, so it is asked of
  // the client, which refuses it, and it has no links.
  EXPECT_EQ(after.queue.ContextCounter(), 1u + 3 + 6);
  EXPECT_FALSE(after.queue.HasActiveTask());
  EXPECT_EQ(after.queue.PendingCount(), 0u);
  EXPECT_EQ(after.page.localTasks, 7);
  EXPECT_EQ(after.client.requests.size(), 1u);
  std::filesystem::current_path(home);
}

TEST(KeptReadings, ReadingByHandGoesToTheNetworkAndReplacesWhatWasKept) {
  CrawlRun crawl;
  MakeWebSite(crawl.client, 6);
  crawl.crawl.SetDepth(2);
  crawl.Run("http://site.example/index.html");
  const std::string url = "http://site.example/page2.html";
  ASSERT_EQ(crawl.RequestsFor(url), 1u);

  crawl.client.pages[url] = "<a href=\"fresh.html\">fresh</a>";
  SiteNode* byHand = crawl.Leaf(url);
  ASSERT_NE(byHand, nullptr);
  crawl.queue.StartOrQueue(url, *byHand, 0);
  crawl.Finish();
  EXPECT_EQ(crawl.RequestsFor(url), 2u);
  ASSERT_NE(byHand->firstChild, nullptr);
  EXPECT_EQ(byHand->firstChild->label, "http://site.example/fresh.html");

  // A later reading in the crawl takes the new result, without the network.
  SiteNode* later = crawl.tree.AddChild(crawl.tree.FirstTopLevel(), url, NodeIcon::Queued);
  crawl.queue.StartOrQueue(url, *later, 1);
  crawl.Finish();
  EXPECT_EQ(crawl.RequestsFor(url), 2u);
  ASSERT_NE(later->firstChild, nullptr);
  EXPECT_EQ(later->firstChild->label, "http://site.example/fresh.html");

  // A new crawl keeps nothing.
  crawl.crawl.ForgetReadings();
  SiteNode* afresh = crawl.tree.AddChild(crawl.tree.FirstTopLevel(), url, NodeIcon::Queued);
  crawl.queue.StartOrQueue(url, *afresh, 1);
  crawl.Finish();
  EXPECT_EQ(crawl.RequestsFor(url), 3u);
}

TEST(KeptReadings, OnlyHtmlIsReadForLinks) {
  // name, Content-Type ("" for none), text, links found, body read
  const std::tuple<std::string, std::string, std::string, bool, bool> cases[] = {
      {"style.css", "text/css", "a[href] { color: red }", false, false},
      {"untyped.json", "", "  {\"href\": \"page.html\"}", false, true},
      {"page.xhtml", "Application/XHTML+XML; charset=utf-8", "<a href=\"x.html\">x</a>", true, true},
      {"untyped.html", "", "\r\n  <a href=\"x.html\">x</a>", true, true},
  };
  for (const auto& [name, type, text, links, bodyRead] : cases) {
    CrawlRun crawl;
    const std::string url = "http://site.example/" + name;
    crawl.client.pages[url] = text;
    if (!type.empty()) crawl.client.types[url] = type;
    crawl.Run(url);
    EXPECT_EQ(crawl.tree.FirstTopLevel()->firstChild != nullptr, links) << name;
    EXPECT_EQ(!crawl.client.bodyReads.empty(), bodyRead) << name;
    const std::string line = "line Not an HTML page, so no links were read: " + (type.empty() ? "no type given, and the text is not HTML" : type);
    EXPECT_EQ(std::count(crawl.log.events.begin(), crawl.log.events.end(), line), links ? 0 : 1) << name;
  }
}

TEST(KeptReadings, EachPagesLinksOnceExpandsAPageAtItsShallowestLink) {
  // c.html is linked from index (depth 1), from a.html and b.html (depth 2); d.html from c only.
  CrawlRun crawl;
  const std::string base = "http://site.example/";
  const std::map<std::string, std::string> links = {{"index", "abc"}, {"a", "cb"}, {"b", "c"}, {"c", "da"}, {"d", "i"}};
  for (const auto& [page, targets] : links)
    for (char target : targets)
      crawl.client.pages[base + page + ".html"] +=
          std::string("<a href=\"") + (target == 'i' ? "index" : std::string(1, target)) + ".html\">x</a>";
  crawl.crawl.Begin(CrawlSettings{3, "site.example", true, false, 100, true});
  crawl.Run(base + "index.html");
  EXPECT_EQ(crawl.client.requests.size(), 5u) << "each page once";
  SiteNode* leaf = crawl.Leaf(base + "c.html");
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(leaf->parent->label, base + "a.html") << "expanded under index, its shallowest link";

  // A double click fills the leaf from the kept reading, and its links follow the same rule.
  crawl.queue.StartOrQueue(leaf->label, *leaf, 0);
  crawl.Finish();
  EXPECT_EQ(crawl.client.requests.size(), 5u);
  ASSERT_NE(leaf->firstChild, nullptr);
  EXPECT_EQ(leaf->firstChild->label, base + "d.html");
  EXPECT_EQ(crawl.queue.PendingCount(), 0u) << "d.html was put forward under index's c.html";
}

TEST(KeptReadings, AReadingThatTimedOutIsKeptAsFailedForThatReason) {
  CrawlRun crawl;
  const std::string url = "http://silent.example/";
  crawl.client.silent.insert(url);
  crawl.Run(url);
  ASSERT_TRUE(crawl.queue.HasActiveTask());
  crawl.queue.OnTimeout();
  crawl.Finish();
  EXPECT_FALSE(crawl.queue.HasActiveTask()) << "the abort's end is posted too";

  SiteNode& again = *crawl.tree.AddChild(crawl.tree.FirstTopLevel(), url, NodeIcon::Queued);
  crawl.queue.StartOrQueue(url, again, 1);
  EXPECT_EQ(crawl.RequestsFor(url), 1u);
  EXPECT_EQ(again.icon, NodeIcon::ReadError);
  EXPECT_EQ(crawl.crawl.State().kept.at(url).reason, "time-out");
}

}  // namespace
