// Reads pages strictly one at a time: one active FetchTask, a first-in first-out list of
// pending readings, and a per-task time-out. The end of a task is posted back to the queue,
// which then disposes of it and starts the next reading at once; a 70 ms tick does the same
// should that message be missed, and shows the counters. Everything here runs on the
// user-interface thread.
#pragma once
#include <deque>
#include <memory>
#include <string>

#include "crawler/crawl.h"
#include "crawler/crawl_ports.h"
#include "crawler/fetch_task.h"
#include "site/site_tree.h"

class TaskQueue {
public:
  static constexpr unsigned kTickMilliseconds = 70;
  static constexpr unsigned kClientGraceSeconds = 5;

  // The crawl is made first (it only keeps a reference to the queue until then).
  TaskQueue(SiteTree& tree, Crawl& crawl, const CrawlerPorts& ports);
  ~TaskQueue();
  TaskQueue(const TaskQueue&) = delete;
  TaskQueue& operator=(const TaskQueue&) = delete;

  void StartOrQueue(const std::string& url, SiteNode& node, int depth);
  void Append(QueueEntry entry);
  void OnTick();
  // The message a task's end posts (CrawlPage::PostTaskEnded).
  void OnTaskEnded();
  void OnTimeout();
  void AbortActive();
  void AbortAll();
  void Dispose(FetchTask& task);
  // Before a branch is deleted: its pending entries go, so no freed node is ever started.
  void DropEntriesIn(const SiteNode& root);

  bool HasActiveTask() const { return active != nullptr; }
  size_t PendingCount() const { return pending.size(); }
  // The readings waiting, the next first.
  const std::deque<QueueEntry>& Pending() const { return pending; }
  bool Busy() const { return busy; }
  bool Aborting() const { return aborting; }
  unsigned ContextCounter() const { return contextCounter; }
  // The tree page's "Timeout after" field, for the tasks started from now on.
  void SetTimeout(unsigned seconds) { timeoutSeconds = seconds; }
  unsigned TimeoutSeconds() const { return timeoutSeconds; }

private:
  void ShowCounters(int activeTasks, int queued);
  void StartNext();
  void DisposeEnded();
  // Ends the active task without a result; the next reading starts once it is disposed of.
  void EndActive();

  SiteTree& tree;
  Crawl& crawl;
  CrawlerState& crawler;
  const CrawlerPorts ports;
  unsigned timeoutSeconds = 45;
  std::deque<QueueEntry> pending;
  std::unique_ptr<FetchTask> active;
  bool busy = false;
  bool aborting = false;
  unsigned contextCounter = 0;
  // The counters as the page's dialog template first shows them.
  std::string shownActive = "0 Active tasks";
  std::string shownQueue = "0 tasks in the queue";
};
