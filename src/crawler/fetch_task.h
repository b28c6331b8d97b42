// Reads one URL for one node of the site tree and hands the links it finds to the tree.
// A local file is read inside Start; a web page or an FTP directory goes through the
// internet client, one operation at a time, continuing in its status notifications.
#pragma once
#include <memory>
#include <string>
#include <unordered_map>

#include "crawler/crawl_ports.h"
#include "crawler/internet_client.h"
#include "crawler/link_extractor.h"
#include "crawler/url.h"

class FetchTask;
class SiteTree;
struct SiteNode;

// One for the program: the done flag and the tasks by context number. The client's status
// routine is installed here, so notifications of a task that is gone find nothing.
class CrawlerState : public InternetStatusSink {
public:
  // Set when the active task has finished or been aborted; notifications are ignored then.
  bool done = true;
  std::unordered_map<unsigned, FetchTask*> tasks;

  void OnStatus(InternetHandle handle, unsigned context, unsigned status,
                const StatusInfo& info) override;
};

class FetchTask {
public:
  FetchTask(CrawlerState& crawler, SiteTree& tree, const CrawlerPorts& ports);
  ~FetchTask();
  FetchTask(const FetchTask&) = delete;
  FetchTask& operator=(const FetchTask&) = delete;

  // False when no client instance could be opened; the task then waits for its time-out.
  bool Start(std::string url, SiteNode& node, unsigned context, int depth);
  void OnStatus(InternetHandle handle, unsigned status, const StatusInfo& info);
  void Close();

  SiteNode& Node() const { return *node; }
  unsigned Context() const { return context; }
  const std::string& Url() const { return url; }

  bool inNotification = false;

private:
  void ReadLocalFile();
  void BodyRead(unsigned long error);
  void CompletePage(bool extracted);
  void FtpStep(InternetHandle handle, const StatusInfo& info);
  void FtpEnd();
  void Line(int stringId);

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
  std::shared_ptr<ReadBuffer> body;
  std::string url;
  std::string ftpPath;
  InternetHandle instance = 0;
  InternetHandle request = 0;
  InternetHandle listing = 0;  // the FTP find handle, once the listing runs
  unsigned context = 0;
};

// Host and port of an FTP server name as FtpHostOf gives it: "host:2121" connects to 2121;
// without a port, 0 (the default port).
void SplitFtpPort(const std::string& server, std::string& host, unsigned short& port);
