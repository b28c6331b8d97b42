#include "crawler/crawl.h"

#include <new>

#include "common/text.h"
#include "crawler/fetch_task.h"
#include "crawler/task_queue.h"
#include "site/labels.h"

void CrawlerState::OnStatus(InternetHandle handle, unsigned context, unsigned status,
                            const StatusInfo& info) {
  if (done) return;
  auto found = tasks.find(context);
  if (found == tasks.end()) return;
  found->second->OnStatus(handle, status, info);
}

Crawl::Crawl(SiteTree& tree, TaskQueue& queue, CrawlPage& page, TaskTimer& timer)
    : tree(tree), queue(queue), page(page), timer(timer) {}

void Crawl::Begin(CrawlSettings next) {
  settings = std::move(next);
  pageCount = 0;
  putForward.clear();
  ForgetReadings();
}

void Crawl::BeginImport(CrawlSettings next) {
  next.domainKey = std::move(settings.domainKey);
  Begin(std::move(next));
}

bool Crawl::AddLinks(SiteNode& node, int depth, const LinkList& links, ReadStatus status) {
  if (stopped) return false;
  timer.DisarmTimeout();
  if (status == ReadStatus::ReadFailed) {
    tree.SetIcon(node, NodeIcon::ReadError);
    return true;
  }
  if (tree.TopOfChart() && tree.TopOfChart() != &node) {
    if (links.empty()) {
      tree.SetIcon(node, ContainsNoCase(node.label, kFileMark) ? NodeIcon::File : NodeIcon::NoLinks);
      return true;
    }
    tree.SetIcon(node, NodeIcon::PageWithLinks);
  } else {
    tree.SetTopOfChart(node);
  }

  const bool childrenReadable = depth + 1 < settings.depth;
  const std::string domain = ToLower(settings.domainKey);
  for (const std::string& entry : links) {
    SiteNode* child = nullptr;
    try {
      child = tree.AddLink(node, entry);
    } catch (const std::bad_alloc&) {
      // The tree keeps what it has; the crawl cannot go on without room for its nodes.
      queue.AbortAll();
      page.NoRoomForNodes();
      tree.ApplyIconFor(node);
      return false;
    }
    if (queue.Aborting()) return false;
    if (!childrenReadable) continue;
    if (IsUnreadableLabel(entry)) continue;
    if (settings.stayInDomain && !ContainsNoCase(entry, domain)) continue;
    std::string key;
    if (settings.linksOnce) {
      key = ReadingKey(*child, entry);
      if (putForward.count(key)) continue;
    }
    // The test comes before the count is raised, so pageLimit + 1 pages pass (start page included).
    if (settings.limitPages && settings.pageLimit < pageCount) {
      tree.SetIcon(*child, NodeIcon::PageLimit);
      continue;
    }
    tree.SetIcon(*child, NodeIcon::Queued);
    queue.Append(QueueEntry{child, child->label, depth + 1});
    ++pageCount;
    if (settings.linksOnce) putForward.insert(std::move(key));
  }
  tree.ApplyIconFor(node);
  return true;
}
