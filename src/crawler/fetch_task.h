// Reads one URL for one node of the site tree and hands the links it finds to the crawl.
// A local file is read inside Start; a web page or an FTP directory goes through the
// internet client, one operation at a time, continuing in its status notifications.
#pragma once
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "crawler/crawl.h"
#include "crawler/crawl_ports.h"
#include "crawler/internet_client.h"
#include "crawler/link_extractor.h"
#include "site/url.h"
#include "site/site_tree.h"

class FetchTask {
public:
  FetchTask(Crawl& crawl, SiteTree& tree, const CrawlerPorts& ports);
  ~FetchTask();
  FetchTask(const FetchTask&) = delete;
  FetchTask& operator=(const FetchTask&) = delete;

  // False when no client instance could be opened; the task then waits for its time-out.
  // A URL already read in this crawl ends at once with the kept result, unless depth is 0:
  // the start of a crawl and a reading by hand always read, and replace what was kept. When
  // each page's links are shown once, a reading by hand is filled from a kept page too.
  bool Start(std::string url, SiteNode& node, unsigned context, int depth);
  void OnStatus(InternetHandle handle, unsigned status, const StatusInfo& info);
  void Close();
  // A large local page is read a piece at each call (the tick), so the window stays
  // responsive; does nothing for any other task.
  void ReadNextPiece();
  // The time-out ends this reading: it is kept as failed for that reason, so that the crawl's
  // report knows of it and later readings of the URL do not wait as long again.
  void TimedOut();

  SiteNode& Node() const { return *node; }
  unsigned Context() const { return context; }
  const std::string& Url() const { return url; }

  bool inNotification = false;

private:
  void ReadLocalFile();
  void EndLocalReading(bool extracted);
  void ResponseArrived(InternetHandle handle);
  void Redirect(const std::string& location);
  void BodyRead(unsigned long error);
  void KeepPiece(size_t count);
  void EndPage(bool cut);
  // A reply that is no HTML page: a reading without links, its body left unread.
  void EndWithoutLinks();
  void BodyBroken(unsigned long error);
  void CompletePage(bool extracted);
  void FtpStep(InternetHandle handle, const StatusInfo& info);
  void FtpEnd(unsigned long error, std::string_view serverReply = {});
  void Line(int stringId);
  // Hands the result to the tree and ends the task; the queue is told at once.
  void Deliver(const LinkList& result, ReadStatus status);
  // A reading that failed after links had come: they stand, under a node that shows the failure,
  // and the reading is kept only so that its reason is known.
  void DeliverBrokenOff();
  void Replay(KeptReading kept);
  void KeepResult();
  void Keep();

  bool fromKept = false;
  ReadStatus status = ReadStatus::ReadOk;
  std::string reason;  // why the reading failed
  bool readAgain = false;
  std::vector<unsigned short> shownLines;

  Crawl& crawl;
  CrawlerState& crawler;
  SiteTree& tree;
  const CrawlerPorts ports;

  SiteNode* node = nullptr;
  LinkList links;
  UrlKind kind = UrlKind::Http;
  bool ftpFirstStep = true;
  bool ftpHasPath = false;
  bool dirChangeIssued = false;
  // The body read has been issued; from then on the client's progress shows as lines.
  bool readIssued = false;
  int depth = 0;
  // One read's buffer; the page is read into it piece by piece, each kept in pageText.
  std::shared_ptr<ReadBuffer> body;
  std::string pageText;
  bool typed = false;  // the reply named its type (an HTML one, or the body is not read)
  std::string contentType;  // of a reply that was no HTML page
  unsigned pieces = 0;  // reads completed before the one outstanding
  std::string url;
  std::string base;  // where the page came from: the URL after any redirects
  std::string ftpPath;
  InternetHandle instance = 0;
  InternetHandle request = 0;
  InternetHandle listing = 0;  // the FTP find handle, once the listing runs
  unsigned context = 0;
  int redirects = 0;
  std::ifstream localFile;  // open while a local page is read in pieces
  std::streamoff localSize = 0;  // its size when it was opened
  std::string localText;
};

// A page may be read from the local disk only when it was found on local pages all the way
// from the top of its branch (the page the user gave). A link on a web or FTP page naming a
// drive path or a share is never opened as a file.
bool LocalReadingAllowed(const SiteNode& node);

// A reading of url for node opens a local file.
bool ReadsLocalFile(const SiteNode& node, const std::string& url);
// What a reading of url for node is kept by: the path of a local file, else the URL after
// NormalizeRemoteUrl.
std::string ReadingKey(const SiteNode& node, std::string url);

// Host and port of an FTP server name as FtpHostOf gives it: "host:2121" connects to 2121;
// without a port, 0 (the default port).
void SplitFtpPort(const std::string& server, std::string& host, unsigned short& port);
