#include "crawler/task_queue.h"

#include <algorithm>
#include <cstdint>

#include "common/strings.h"

TaskQueue::TaskQueue(SiteTree& tree, Crawl& crawl, const CrawlerPorts& ports)
    : tree(tree), crawl(crawl), crawler(crawl.State()), ports(ports) {}

TaskQueue::~TaskQueue() = default;

void TaskQueue::StartOrQueue(const std::string& url, SiteNode& node, int depth) {
  if (busy) {
    pending.push_back(QueueEntry{&node, url, depth});
    return;
  }
  busy = true;
  ++contextCounter;
  // An empty time-out field is -1 s, whose period wraps to about 49.7 days.
  const unsigned period = timeoutSeconds * 1000;
  // The client gives up a little after the time-out has aborted the task, so that a server
  // that never answers does not hold a thread and a connection for the rest of the run; never
  // before it, so the sum saturates instead of wrapping.
  crawler.waitLimitMilliseconds = static_cast<unsigned>(
      std::min<uint64_t>(uint64_t{period} + kClientGraceSeconds * 1000, UINT32_MAX));
  active = std::make_unique<FetchTask>(crawl, tree, ports);
  active->Start(url, node, contextCounter, depth);
  SettingsFieldValues fields = ports.page.RereadFields();
  if (fields.depth) crawl.SetDepth(*fields.depth);
  if (fields.timeoutSeconds) timeoutSeconds = *fields.timeoutSeconds;
  ports.page.ComplainAboutFields();
  if (!crawler.done) ports.timer.ArmTimeout(period);
}

void TaskQueue::Append(QueueEntry entry) { pending.push_back(std::move(entry)); }

void TaskQueue::OnTick() {
  StartNext();
  if (active) active->ReadNextPiece();

  if (pending.empty() && !active) {
    ShowCounters(0, 0);
  } else {
    ShowCounters(1, static_cast<int>(pending.size()));
    ports.page.NextBusyFrame();
  }

  DisposeEnded();
}

void TaskQueue::OnTaskEnded() {
  DisposeEnded();
  StartNext();
}

void TaskQueue::StartNext() {
  if (busy || aborting || active || pending.empty()) return;
  QueueEntry next = std::move(pending.front());
  pending.pop_front();
  StartOrQueue(next.url, *next.node, next.depth);
}

void TaskQueue::DisposeEnded() {
  // Not from inside one of the task's own notifications (a nested message loop).
  if (active && crawler.done && !active->inNotification) Dispose(*active);
}

void TaskQueue::EndActive() {
  aborting = busy = true;
  crawler.done = true;
  ports.page.PostTaskEnded();
}

void TaskQueue::OnTimeout() {
  ports.timer.DisarmTimeout();
  // A time-out already on its way when its task ended has nothing left to abort.
  if (!active || crawler.done) return;
  ports.status.AddStatusLine(StringText(IDS_TIMEOUT_REACHED));
  active->TimedOut();
  AbortActive();
}

void TaskQueue::AbortActive() {
  // A task that has already ended keeps its result; its node may even be gone by now.
  if (!active || crawler.done) return;
  tree.ApplyIconFor(active->Node());
  EndActive();
}

void TaskQueue::AbortAll() {
  aborting = busy = true;
  pending.clear();
  if (!active)
    aborting = busy = false;
  else if (!crawler.done)
    EndActive();
  tree.RefreshIcons();
  ShowCounters(0, 0);
}

void TaskQueue::Dispose(FetchTask& task) {
  if (&task == active.get()) {
    // Its time-out ends with it; left armed it would abort whatever runs next, or nothing.
    ports.timer.DisarmTimeout();
    active.reset();  // closes its handles and leaves the context table
  }
  aborting = busy = false;
}

void TaskQueue::DropEntriesIn(const SiteNode& root) {
  std::erase_if(pending, [&](const QueueEntry& entry) {
    return SiteTree::IsInSubtree(root, *entry.node);
  });
  // The page refuses deletion while a task is active; should the active node go anyway,
  // the task must never touch it again.
  if (active && !crawler.done && SiteTree::IsInSubtree(root, active->Node())) EndActive();
}

void TaskQueue::ShowCounters(int activeTasks, int queued) {
  std::string activeText = StringTextWithNumber(IDS_ACTIVE_TASKS, activeTasks);
  if (activeText != shownActive) {
    shownActive = activeText;
    ports.page.ShowActiveCounter(activeText);
  }
  std::string queueText = StringTextWithNumber(IDS_QUEUED_TASKS, queued);
  if (queueText != shownQueue) {
    shownQueue = queueText;
    ports.page.ShowQueueCounter(queueText);
  }
}
