#include "crawler/task_queue.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "crawler/fake_internet_client.h"
#include "test_files.h"

namespace {

using Lines = std::vector<std::string>;

class TaskQueueTest : public ::testing::Test {
protected:
  TaskQueueTest() { crawl.SetDepth(2); }

  SiteNode& StartCrawl(const std::string& url) {
    SiteNode& root = *tree.AddChild(nullptr, url, NodeIcon::Queued);
    crawl.CountStartPage();
    queue.StartOrQueue(url, root, 0);
    return root;
  }
  // Plays a whole web reading of the active task with the given page text.
  void ReadPage(const std::string& text) {
    unsigned context = queue.ContextCounter();
    client.CompleteOpen(context);
    client.ReadPage(context, text);
  }
  std::string Counters() const { return page.activeCounter + " / " + page.queueCounter; }

  SiteTree tree;
  FakeInternetClient client;
  FakeCrawlPage page;
  Crawl crawl{tree, queue, page, page};
  TaskQueue queue{tree, crawl, page.Ports(client)};
};

TEST_F(TaskQueueTest, SecondRequestWaitsUntilTheFirstTaskIsDisposedOf) {
  SiteNode& a = StartCrawl("http://a.example.com/");
  SiteNode& b = *tree.AddChild(nullptr, "http://b.example.com/", NodeIcon::NotRead);
  queue.StartOrQueue(b.label, b, 0);
  EXPECT_EQ(queue.ContextCounter(), 1u);
  EXPECT_EQ(queue.PendingCount(), 1u);
  EXPECT_TRUE(page.timeoutArmed);
  EXPECT_EQ(page.armedMilliseconds, 45000u);

  queue.OnTick();
  EXPECT_EQ(Counters(), "1 Active tasks / 1 Tasks in the queue");
  ReadPage("<a href=\"x.html\">x</a>");
  EXPECT_FALSE(page.timeoutArmed) << "the end of the reading disarms it";
  EXPECT_EQ(queue.PendingCount(), 2u) << "its child joins behind b";

  queue.OnTick();  // disposes of a's task
  EXPECT_FALSE(queue.HasActiveTask());
  EXPECT_EQ(queue.ContextCounter(), 1u);
  queue.OnTick();  // starts b
  EXPECT_EQ(queue.ContextCounter(), 2u);
  EXPECT_EQ(client.calls.back(), "OpenUrl http://b.example.com/ #2");
  EXPECT_EQ(a.icon, NodeIcon::TopOfChart);

  // The order stays breadth-first: a's child after b.
  ReadPage("");
  queue.OnTick();
  queue.OnTick();
  EXPECT_EQ(client.calls.back(), "OpenUrl http://a.example.com/x.html #3");
  ReadPage("");
  queue.OnTick();
  queue.OnTick();
  EXPECT_EQ(Counters(), "0 Active tasks / 0 Tasks in the queue");
  for (const std::string& change : page.counterChanges)
    if (change.find("Active") != std::string::npos) {
      EXPECT_TRUE(change == "0 Active tasks" || change == "1 Active tasks") << change;
    }
}

TEST_F(TaskQueueTest, CountersChangeOnlyWhenTheirTextDoes) {
  queue.OnTick();
  // "0 tasks in the queue" is the dialog's own text; the formatted one differs in case.
  EXPECT_EQ(page.counterChanges, (Lines{"0 Tasks in the queue"}));
  queue.OnTick();
  EXPECT_EQ(page.counterChanges.size(), 1u);
  EXPECT_EQ(page.busyFrames, 0);
  StartCrawl("http://a.example.com/");
  queue.OnTick();
  queue.OnTick();
  EXPECT_EQ(page.counterChanges, (Lines{"0 Tasks in the queue", "1 Active tasks"}));
  EXPECT_EQ(page.busyFrames, 2);
}

TEST_F(TaskQueueTest, FieldsReadAgainAsATaskStartsSetTheDepthAtOnceAndTheTimeoutForTheNext) {
  page.fields = {1, 7};
  SiteNode& root = StartCrawl("http://a.example.com/");
  EXPECT_EQ(page.fieldEvents, (Lines{"read", "complain"}));
  EXPECT_EQ(crawl.Settings().depth, 1);
  EXPECT_EQ(queue.TimeoutSeconds(), 7u);
  EXPECT_EQ(page.armedMilliseconds, 45000u) << "the task already started keeps its time-out";
  ReadPage("<a href=\"x.html\">x</a>");
  EXPECT_EQ(root.firstChild->icon, NodeIcon::NotRead) << "read at the new depth";
  EXPECT_EQ(queue.PendingCount(), 0u);

  // A field that does not parse leaves its value as it was.
  page.fields = {std::nullopt, std::nullopt};
  crawl.SetDepth(2);
  queue.OnTick();
  StartCrawl("http://b.example.com/");
  EXPECT_EQ(page.armedMilliseconds, 7000u);
  EXPECT_EQ(crawl.Settings().depth, 2);
  EXPECT_EQ(queue.TimeoutSeconds(), 7u);
}

TEST_F(TaskQueueTest, TimeoutAbortsTheReadingAndTheNextEntryRuns) {
  SiteNode& hung = StartCrawl("http://127.0.0.1:9/");
  SiteNode& next = *tree.AddChild(nullptr, "http://next.example.com/", NodeIcon::Queued);
  queue.Append({&next, next.label, 0});
  queue.SetTimeout(1);

  queue.OnTimeout();
  EXPECT_EQ(page.lines.back(), "Timeout limit reached - Task Aborted");
  EXPECT_FALSE(page.timeoutArmed);
  EXPECT_TRUE(queue.Aborting());
  EXPECT_EQ(hung.icon, NodeIcon::NotRead);

  // Late news of the aborted request changes nothing.
  size_t lines = page.lines.size();
  client.Notify(1, StatusResolvingName);
  client.CompleteOpen(1);
  EXPECT_EQ(page.lines.size(), lines);
  EXPECT_EQ(hung.icon, NodeIcon::NotRead);

  queue.OnTick();
  EXPECT_FALSE(queue.HasActiveTask());
  EXPECT_FALSE(queue.Busy());
  queue.OnTick();
  EXPECT_EQ(client.calls.back(), "OpenUrl http://next.example.com/ #2");
  EXPECT_EQ(page.armedMilliseconds, 1000u);

  // The old context still finds nothing once the new task runs.
  client.Notify(1, StatusResolvingName);
  EXPECT_EQ(page.lines.back(), "Opening http://next.example.com/");
}

TEST_F(TaskQueueTest, AbortAllWithNothingRunningClearsThePendingList) {
  SiteNode& a = *tree.AddChild(nullptr, "http://a.example.com/", NodeIcon::Queued);
  SiteNode& b = *tree.AddChild(&a, "http://a.example.com/b.html", NodeIcon::Queued);
  queue.Append({&a, a.label, 0});
  queue.Append({&b, b.label, 1});
  queue.AbortAll();
  EXPECT_EQ(queue.PendingCount(), 0u);
  EXPECT_FALSE(queue.Busy());
  EXPECT_FALSE(queue.Aborting());
  EXPECT_EQ(a.icon, NodeIcon::PageWithLinks);
  EXPECT_EQ(b.icon, NodeIcon::NotRead);
  EXPECT_EQ(Counters(), "0 Active tasks / 0 Tasks in the queue");
  queue.OnTick();
  EXPECT_TRUE(client.calls.empty());
}

TEST_F(TaskQueueTest, AbortAllWithATaskRunningBlocksUntilTheTickDisposesOfIt) {
  SiteNode& root = StartCrawl("http://a.example.com/");
  unsigned context = queue.ContextCounter();
  InternetHandle request = client.CompleteOpen(context);
  std::shared_ptr<ReadBuffer> body = client.buffer;  // the client keeps it while reading
  queue.AbortAll();
  EXPECT_TRUE(queue.Busy());
  EXPECT_TRUE(queue.Aborting());
  EXPECT_EQ(root.icon, NodeIcon::NotRead);

  SiteNode& later = *tree.AddChild(nullptr, "http://later.example.com/", NodeIcon::NotRead);
  queue.StartOrQueue(later.label, later, 0);
  EXPECT_EQ(queue.PendingCount(), 1u) << "blocked: the request waits";

  queue.OnTick();
  EXPECT_FALSE(queue.HasActiveTask());
  EXPECT_EQ(client.openHandles.count(request), 0u);
  EXPECT_FALSE(queue.Busy());

  // The read may still complete into the aborted task's buffer: it is alive and ignored.
  client.CompleteRead(context, "<a href=\"late.html\">late</a>");
  EXPECT_EQ(body->bytesRead, 28u);
  EXPECT_EQ(root.firstChild, nullptr);

  queue.OnTick();
  EXPECT_EQ(client.calls.back(), "OpenUrl http://later.example.com/ #2");
}

TEST_F(TaskQueueTest, ClientThatCannotOpenWaitsForItsTimeout) {
  client.failOpen = true;
  StartCrawl("http://a.example.com/");
  EXPECT_TRUE(page.timeoutArmed);
  queue.OnTick();
  queue.OnTick();
  EXPECT_TRUE(queue.HasActiveTask());
  EXPECT_EQ(page.counterChanges.front(), "1 Active tasks");
  queue.OnTimeout();
  queue.OnTick();
  EXPECT_FALSE(queue.HasActiveTask());
  EXPECT_EQ(page.lines.back(), "Timeout limit reached - Task Aborted");
}

TEST_F(TaskQueueTest, StaleTimeoutAfterTheTaskEndedAddsNoLine) {
  StartCrawl("http://a.example.com/");
  queue.AbortActive();
  queue.OnTick();
  queue.OnTimeout();  // already posted when the task went
  EXPECT_TRUE(std::find(page.lines.begin(), page.lines.end(),
                        "Timeout limit reached - Task Aborted") == page.lines.end());
  EXPECT_FALSE(page.timeoutArmed);
}

TEST_F(TaskQueueTest, AbortAfterTheReadingEndedKeepsItsResult) {
  SiteNode& root = StartCrawl("http://a.example.com/");
  ReadPage("<a href=\"x.html\">x</a><a href=\"y.html\">y</a>");
  queue.OnTick();  // disposes of a's task
  queue.OnTick();  // starts x
  SiteNode& x = *root.firstChild;
  ReadPage("");
  ASSERT_EQ(x.icon, NodeIcon::NoLinks);
  queue.AbortActive();  // pressed between the end of the reading and the next tick
  EXPECT_EQ(x.icon, NodeIcon::NoLinks);
  queue.OnTick();  // disposes of x's task
  queue.OnTick();  // and the queue goes on
  EXPECT_EQ(client.calls.back(), "OpenUrl http://a.example.com/y.html #3");
}

TEST_F(TaskQueueTest, EntriesOfADeletedBranchAreNeverStarted) {
  SiteNode& root = StartCrawl("http://a.example.com/");
  ReadPage("<a href=\"b.html\">b</a><a href=\"c.html\">c</a>");
  queue.OnTick();
  ASSERT_EQ(queue.PendingCount(), 2u);
  SiteNode& b = *root.firstChild;
  queue.DropEntriesIn(b);
  tree.DeleteSubtree(b);
  queue.OnTick();
  EXPECT_EQ(client.calls.back(), "OpenUrl http://a.example.com/c.html #2");
  EXPECT_EQ(queue.PendingCount(), 0u);
}

TEST_F(TaskQueueTest, TickInsideTheTasksOwnNotificationLeavesItAlive) {
  StartCrawl("http://a.example.com/");
  int ticks = 0;
  page.onLine = [&](const std::string& line) {
    if (line != "Done reading page.") return;
    queue.OnTick();  // done, but still inside the notification: freeing it here is a use after free
    ++ticks;
    EXPECT_TRUE(queue.HasActiveTask());
  };
  ReadPage("");
  EXPECT_EQ(ticks, 1);
  page.onLine = nullptr;
  queue.OnTick();
  EXPECT_FALSE(queue.HasActiveTask());
}

TEST_F(TaskQueueTest, EveryEndOfATaskStartsTheNextReadingWithoutATick) {
  SiteNode& root = StartCrawl("http://a.example.com/");
  for (const char* url : {"http://b.example.com/", "http://c.example.com/", "http://d.example.com/"})
    queue.Append({tree.AddChild(&root, url, NodeIcon::Queued), url, 1});

  // Finished: its end is posted, and its handling disposes of it and starts b.
  ReadPage("");
  EXPECT_EQ(page.posted, 1);
  queue.OnTaskEnded();
  EXPECT_EQ(client.calls.back(), "OpenUrl http://b.example.com/ #2");
  // A second copy of that message, or one that comes while b runs, changes nothing.
  queue.OnTaskEnded();
  EXPECT_EQ(queue.ContextCounter(), 2u);
  EXPECT_TRUE(queue.HasActiveTask());

  // Aborted, and timed out: the same.
  queue.AbortActive();
  EXPECT_EQ(page.posted, 2);
  queue.OnTaskEnded();
  EXPECT_EQ(client.calls.back(), "OpenUrl http://c.example.com/ #3");
  EXPECT_FALSE(queue.Aborting());
  queue.OnTimeout();
  EXPECT_EQ(page.posted, 3);
  queue.OnTaskEnded();
  EXPECT_EQ(client.calls.back(), "OpenUrl http://d.example.com/ #4");

  // Abort all: the last one goes, nothing follows.
  queue.AbortAll();
  EXPECT_EQ(page.posted, 4);
  queue.OnTaskEnded();
  EXPECT_FALSE(queue.HasActiveTask());
  EXPECT_FALSE(queue.Busy());
  EXPECT_EQ(queue.ContextCounter(), 4u);
}

TEST_F(TaskQueueTest, TaskEndedHandledInsideTheTasksOwnNotificationLeavesItToTheTick) {
  StartCrawl("http://a.example.com/");
  SiteNode& next = *tree.AddChild(nullptr, "http://next.example.com/", NodeIcon::Queued);
  queue.Append({&next, next.label, 0});
  page.onLine = [&](const std::string& line) {
    if (line == "Done reading page.") queue.OnTaskEnded();  // a nested message loop
  };
  ReadPage("");
  page.onLine = nullptr;
  EXPECT_EQ(queue.ContextCounter(), 1u) << "the task was still inside its notification";
  queue.OnTick();  // disposes of it
  queue.OnTick();  // and starts the next
  EXPECT_EQ(client.calls.back(), "OpenUrl http://next.example.com/ #2");
}

TEST_F(TaskQueueTest, LocalReadingEndsInsideTheRequestWithoutATimeout) {
  TempDir dir;
  std::string path = dir.File("index.html");
  WriteFile(path, "<a href=\"mailto:me@example.com\">me</a>");
  SiteNode& root = StartCrawl(path);
  EXPECT_EQ(page.arms, 0);
  EXPECT_TRUE(queue.HasActiveTask());
  queue.OnTick();
  EXPECT_FALSE(queue.HasActiveTask()) << "a local page takes one tick";
  EXPECT_EQ(root.icon, NodeIcon::TopOfChart);
  EXPECT_EQ(page.lines, (Lines{"Reading local page...", "Done reading page."}));
}

TEST_F(TaskQueueTest, ClientGivesUpByItselfALittleAfterTheTimeoutNeverBefore) {
  // Else a request to a server that never answers holds a thread and a connection for good.
  // An empty time-out field (-1 s) waits about 49.7 days; the client's limit must not wrap.
  struct Case { unsigned seconds, armed, clientLimit; };
  for (Case c : {Case{3, 3000, 8000}, Case{500, 500000, 505000}, Case{unsigned(-1), 4294966296u, UINT32_MAX}}) {
    queue.SetTimeout(c.seconds);
    queue.AbortAll();
    queue.OnTaskEnded();
    StartCrawl("http://a.example.com/");
    EXPECT_EQ(page.armedMilliseconds, c.armed) << c.seconds;
    EXPECT_EQ(client.waitLimit, c.clientLimit) << c.seconds;
  }
}

TEST_F(TaskQueueTest, LargeLocalPageIsReadAtTheTicksAndNotTimedOut) {
  TempDir dir;
  std::string path = dir.File("large.html");
  WriteFile(path, std::string(5 << 20, ' ') + "<a href=\"http://x.example.com/\">x</a>");
  crawl.SetDepth(1);
  SiteNode& root = StartCrawl(path);
  EXPECT_TRUE(queue.HasActiveTask());
  EXPECT_TRUE(page.timeoutArmed) << "a reading over several ticks has its time-out";
  queue.OnTick();
  EXPECT_EQ(root.firstChild->label, "http://x.example.com/");
  EXPECT_FALSE(page.timeoutArmed);
  queue.OnTick();
  EXPECT_FALSE(queue.HasActiveTask());
}

}  // namespace
