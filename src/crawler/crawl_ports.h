// What the crawler needs from the tree page, as small ports the page implements.
#pragma once
#include <string>

class InternetClient;
class MessagePort;

class StatusLineSink {
public:
  virtual ~StatusLineSink() = default;
  virtual void AddStatusLine(const std::string& line) = 0;
};

// The per-task time-out timer (one shot, on the user-interface thread).
class TaskTimer {
public:
  virtual ~TaskTimer() = default;
  virtual void ArmTimeout(unsigned milliseconds) = 0;  // replaces one still armed
  virtual void DisarmTimeout() = 0;
};

// The tree page's counters, busy picture and settings, as the task queue uses them.
class CrawlPage {
public:
  virtual ~CrawlPage() = default;
  virtual void ShowActiveCounter(const std::string& text) = 0;
  virtual void ShowQueueCounter(const std::string& text) = 0;
  virtual void NextBusyFrame() = 0;
  // Posts a message to the page's own window whose handling calls TaskQueue::OnTaskEnded,
  // so the next reading starts as soon as a task has ended instead of at the next tick.
  virtual void PostTaskEnded() = 0;
  // A task found its URL to be a local file: the crawl counts as local from now on.
  virtual void TaskWasLocal() {}
  // Re-read the page's depth and time-out fields into the tree and the queue.
  virtual void ReadSettings() {}
};

struct CrawlerPorts {
  InternetClient& client;
  StatusLineSink& status;
  MessagePort& messages;
  CrawlPage& page;
  TaskTimer& timer;
};
