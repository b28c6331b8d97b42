// The crawl: which links a reading puts forward for reading (depth, domain and page limit),
// the pages it has counted, and what the readings of this crawl came to. The tree only holds
// what was found; the queue only reads what it is given.
#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/link_list.h"
#include "crawler/crawl_ports.h"
#include "crawler/internet_client.h"
#include "site/site_tree.h"

class FetchTask;
class TaskQueue;

// How a reading ended: a failed one marks its node and adds nothing.
enum class ReadStatus { ReadOk, ReadFailed };

// One reading put forward: the node, its label when it was put forward, and its depth.
struct QueueEntry {
  SiteNode* node;
  std::string url;
  int depth;
};

// What one reading of the current crawl came to, kept so that later tasks for the same URL
// end the same way without reading it again.
struct KeptReading {
  std::shared_ptr<const LinkList> links;  // one list, whatever the number of nodes it fills
  ReadStatus status = ReadStatus::ReadOk;
  bool ftpFile = false;  // the FTP path named a file: the node's label gets " (file)"
  // The status lines it showed, by string number; kResultLine marks where its result went to
  // the tree, so the lines come before and after it as they did.
  std::vector<unsigned short> lines;
  static constexpr unsigned short kResultLine = 0;
  std::string contentType;  // of a web reply that was no HTML page, for its status line
  std::string reason;  // why it failed, as the status list and the broken-links report say it
  // Broken off mid-way: what was read stands, and a later reading tries the page again.
  bool readAgain = false;
};

// One for the program: the done flag and the tasks by context number. The client's status
// routine is installed here, so notifications of a task that is gone find nothing.
class CrawlerState : public InternetStatusSink {
public:
  // Set when the active task has finished or been aborted; notifications are ignored then.
  bool done = true;
  std::unordered_map<unsigned, FetchTask*> tasks;
  // How long the client may wait by itself; set by the queue from its time-out.
  unsigned waitLimitMilliseconds = 0;
  // By the URL as read: the path of a local file, else the URL after NormalizeUrl.
  std::unordered_map<std::string, KeptReading> kept;

  void OnStatus(InternetHandle handle, unsigned context, unsigned status,
                const StatusInfo& info) override;
};

// The start page's choices as a crawl starts; only the depth changes during a crawl (the tree
// page's own field).
struct CrawlSettings {
  int depth = 1;  // the start page is read at depth 0; -1 (an empty field) reads no link
  std::string domainKey;  // DomainOf the start URL as typed
  bool stayInDomain = true;
  bool limitPages = false;
  unsigned pageLimit = 100;
  // A link to a page already put forward in this crawl stays an unread leaf, so each page's
  // links are shown once (a densely linked site otherwise repeats every branch under every link).
  bool linksOnce = false;
};

class Crawl {
public:
  // Made before the queue, which it keeps a reference to and uses only once readings run.
  Crawl(SiteTree& tree, TaskQueue& queue, CrawlPage& page, TaskTimer& timer);
  Crawl(const Crawl&) = delete;
  Crawl& operator=(const Crawl&) = delete;

  // A new crawl: no page counted, nothing read before kept.
  void Begin(CrawlSettings settings);
  // An imported tree: as a new crawl, but readings by hand keep the domain of the crawl before.
  void BeginImport(CrawlSettings settings);
  // The start page is put forward: it counts against the page limit.
  void CountStartPage() { pageCount = 1; }
  void SetDepth(int depth) { settings.depth = depth; }
  const CrawlSettings& Settings() const { return settings; }
  unsigned PageCount() const { return pageCount; }
  // A page read at depth 0 (the start page, a reading by hand) is put forward by the reading
  // itself; by the key of the kept readings.
  void PutForward(std::string key) { putForward.insert(std::move(key)); }
  // Nothing read before is kept for the readings to come.
  void ForgetReadings() { state.kept.clear(); }
  // The page that shows the crawl is going: from now on a reading's result changes nothing.
  void Stop() { stopped = true; }

  // A reading's result: the node becomes the top of chart if there is none, its links become
  // its children, and those within the depth, domain and page limits go to the queue. False
  // when nothing more may be read (stopped, aborted, or no room for another node).
  bool AddLinks(SiteNode& node, int depth, const LinkList& links, ReadStatus status);

  CrawlerState& State() { return state; }

private:
  SiteTree& tree;
  TaskQueue& queue;
  CrawlPage& page;
  TaskTimer& timer;
  CrawlSettings settings;
  unsigned pageCount = 0;
  // Pages put forward in this crawl, kept only when each page's links are shown once.
  std::unordered_set<std::string> putForward;
  bool stopped = false;
  CrawlerState state;
};
