// What the crawler needs from the tree page, as small ports the page implements.
#pragma once
#include <optional>
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

// The tree page's depth and time-out fields as read again when a task starts: what parses.
struct SettingsFieldValues {
  std::optional<int> depth;
  std::optional<unsigned> timeoutSeconds;
};

// The tree page's counters, busy picture and settings fields, as the crawler uses them.
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
  // The depth and time-out fields read again as a task starts; the queue takes what parses,
  // then the page complains about what did not.
  virtual SettingsFieldValues RereadFields() { return {}; }
  virtual void ComplainAboutFields() {}
  // The tree has no room for another node: the crawl has stopped, and the user is to be told.
  virtual void NoRoomForNodes() {}
};

struct CrawlerPorts {
  InternetClient& client;
  StatusLineSink& status;
  MessagePort& messages;
  CrawlPage& page;
  TaskTimer& timer;
};
