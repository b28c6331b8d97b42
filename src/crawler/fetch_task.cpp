#include "crawler/fetch_task.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "common/strings.h"
#include "crawler/url.h"
#include "sitetree/site_tree.h"
#include "common/message_port.h"

void CrawlerState::OnStatus(InternetHandle handle, unsigned context, unsigned status,
                            const StatusInfo& info) {
  if (done) return;
  auto found = tasks.find(context);
  if (found == tasks.end()) return;
  found->second->OnStatus(handle, status, info);
}

FetchTask::FetchTask(CrawlerState& crawler, SiteTree& tree, const CrawlerPorts& ports)
    : crawler(crawler), tree(tree), ports(ports) {}

FetchTask::~FetchTask() {
  Close();
  auto found = crawler.tasks.find(context);
  if (found != crawler.tasks.end() && found->second == this) crawler.tasks.erase(found);
}

void FetchTask::Line(int stringId) {
  shownLines.push_back(static_cast<unsigned short>(stringId));
  std::string text = StringText(stringId);
  if (stringId == IDS_OPENING) text += url;
  ports.status.AddStatusLine(text);
}

bool FetchTask::Start(std::string startUrl, SiteNode& startNode, unsigned startContext,
                      int startDepth) {
  crawler.done = false;
  crawler.tasks[startContext] = this;
  node = &startNode;
  depth = startDepth;
  context = startContext;
  url = std::move(startUrl);

  if (IsLocalFile(url)) {
    kind = UrlKind::LocalFile;
    ports.page.TaskWasLocal();
  } else {
    NormalizeUrl(url);
    kind = ContainsNoCase(url, "ftp:") ? UrlKind::Ftp : UrlKind::Http;
  }

  auto found = depth > 0 ? crawler.kept.find(url) : crawler.kept.end();
  if (found != crawler.kept.end() || kind == UrlKind::LocalFile) {
    // Ends inside this call: a nested message loop of the view must not free the task.
    inNotification = true;
    if (found != crawler.kept.end()) Replay(found->second);
    else ReadLocalFile();
    inNotification = false;
    return true;
  }

  Line(IDS_CONNECTING_INTERNET);

  instance = ports.client.Open(StringText(IDS_APP_TITLE));
  if (instance && !ports.client.SetStatusCallback(instance, crawler)) {
    ports.messages.ShowMessage(IDS_INIT_FAILED);
    ports.client.CloseHandle(instance);
    instance = 0;
  }
  if (!instance) {
    ports.messages.ShowMessage(IDS_NO_INTERNET);
    return false;
  }

  Line(IDS_OPENING);
  if (kind == UrlKind::Http) {
    body = std::make_shared<ReadBuffer>();
    request = ports.client.OpenUrl(instance, url, context);
  } else {
    std::string host;
    unsigned short port = 0;
    SplitFtpPort(FtpHostOf(url), host, port);
    ftpPath = FtpPathOf(url);
    ftpHasPath = !ftpPath.empty();
    request = ports.client.ConnectFtp(instance, host, port, context);
  }
  return true;
}

void FetchTask::ReadLocalFile() {
  Line(IDS_READING_LOCAL);
  std::ifstream file(url, std::ios::binary);
  if (file) {
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    file.close();
    CompletePage(ExtractLinks(text, url, true, links));
  } else {
    CompletePage(false);
  }
  Line(IDS_DONE_READING);
  KeepResult();
}

void FetchTask::OnStatus(InternetHandle handle, unsigned status, const StatusInfo& info) {
  inNotification = true;
  switch (status) {
  case StatusResolvingName:
    Line(IDS_RESOLVING_NAME);
    break;
  case StatusConnectingToServer:
    Line(IDS_CONNECTING_TO_SERVER);
    break;
  case StatusSendingRequest:
    if (readIssued) Line(IDS_SENDING_REQUEST);
    break;
  case StatusReceivingResponse:
    if (readIssued) Line(IDS_RECEIVING_RESPONSE);
    break;
  case StatusRequestComplete:
    if (kind == UrlKind::Ftp) {
      if (info.error) FtpEnd();
      else FtpStep(handle, info);
    } else if (readIssued) {
      BodyRead(info.error);
    } else if (info.error) {
      Deliver(links, ReadStatus::ReadFailed);
      KeepResult();
    } else {
      if (!request) request = info.result;  // so that Close releases it
      readIssued = true;
      body->bytesRead = 0;
      ports.client.ReadFile(info.result, body);
    }
    break;
  default:
    break;
  }
  inNotification = false;
}

void FetchTask::BodyRead(unsigned long error) {
  // A body that never arrived is a failed request, not a page without links.
  if (error) {
    CompletePage(false);
    KeepResult();
    return;
  }
  std::string_view text(body->data.data(), std::min<std::uint32_t>(body->bytesRead, kBodyBufferSize));
  CompletePage(ExtractLinks(text, url, false, links));
  Line(IDS_DONE_READING);
  KeepResult();
}

void FetchTask::CompletePage(bool extracted) {
  Close();
  Deliver(links, extracted ? ReadStatus::ReadOk : ReadStatus::ReadFailed);
}

void FetchTask::Deliver(const LinkList& result, ReadStatus readStatus) {
  status = readStatus;
  shownLines.push_back(KeptReading::kResultLine);
  tree.AddLinks(*node, depth, result, readStatus);
  crawler.done = true;
  ports.page.PostTaskEnded();
}

void FetchTask::Replay(KeptReading reading) {
  fromKept = true;
  for (unsigned short line : reading.lines) {
    if (line != KeptReading::kResultLine) {
      Line(line);
      continue;
    }
    if (reading.ftpFile) tree.SetLabel(*node, node->label + " (file)");
    Deliver(*reading.links, reading.status);
  }
}

void FetchTask::KeepResult() {
  if (fromKept) return;
  crawler.kept[url] = KeptReading{std::make_shared<const LinkList>(std::move(links)), status,
                                  dirChangeIssued, std::move(shownLines)};
}

void FetchTask::FtpStep(InternetHandle handle, const StatusInfo& info) {
  if (ftpFirstStep) {
    if (ftpHasPath) {
      dirChangeIssued = true;
      ftpHasPath = false;
      ports.client.ChangeFtpDirectory(handle, ftpPath, context);
    } else {
      dirChangeIssued = false;
      ftpFirstStep = false;
      ports.client.FindFirstFtpEntry(handle, "*.*", context);
    }
    return;
  }
  if (!info.entry) {
    FtpEnd();
    return;
  }
  listing = handle;
  std::string entryUrl = url;
  if (entryUrl.empty() || entryUrl.back() != '/') entryUrl += '/';
  entryUrl += info.entry->name;
  if (!info.entry->isDirectory) entryUrl += " (file)";
  links.push_back(std::move(entryUrl));
  ports.client.FindNextFtpEntry(handle);
}

void FetchTask::FtpEnd() {
  if (dirChangeIssued) tree.SetLabel(*node, node->label + " (file)");
  Close();
  Deliver(links, ReadStatus::ReadOk);
  KeepResult();
}

void FetchTask::Close() {
  for (InternetHandle* handle : {&listing, &request, &instance}) {
    if (*handle) ports.client.CloseHandle(*handle);
    *handle = 0;
  }
}

void SplitFtpPort(const std::string& server, std::string& host, unsigned short& port) {
  host = server;
  port = 0;
  auto colon = server.rfind(':');
  if (colon == std::string::npos || colon + 1 == server.size() || server.size() - colon > 6)
    return;
  unsigned value = 0;
  for (size_t i = colon + 1; i < server.size(); ++i) {
    if (server[i] < '0' || server[i] > '9') return;
    value = value * 10 + unsigned(server[i] - '0');
  }
  if (value == 0 || value > 65535) return;
  host = server.substr(0, colon);
  port = static_cast<unsigned short>(value);
}
