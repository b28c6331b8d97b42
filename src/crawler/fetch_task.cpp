#include "crawler/fetch_task.h"

#include <algorithm>
#include <vector>

#include "common/strings.h"
#include "crawler/html_kind.h"
#include "crawler/read_failure.h"
#include "site/url.h"
#include "site/labels.h"
#include "site/site_tree.h"
#include "common/message_port.h"

namespace {

constexpr std::streamsize kLocalPiece = 4 << 20;
// Larger local files are not pages anyone charts, and would not fit a 32-bit process twice.
constexpr std::streamoff kLocalPageLimit = 64 << 20;
constexpr int kMaxRedirects = 10;
// A web page is read whole, one read after another, up to this size; the rest is not read,
// so a server that never ends a page cannot fill the memory of a 32-bit process.
constexpr size_t kWebPageLimit = 8u << 20;

bool IsRedirect(unsigned status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool IsWebUrl(const std::string& url) { return StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://"); }

// A later reading of a URL ends with what was kept, but a reading by hand (depth 0) reads again
// unless each page's links are shown once and the page was read; a page broken off mid-way is
// always read again.
bool ReplaysKept(const KeptReading& kept, int depth, bool linksOnce) {
  if (kept.readAgain) return false;
  return depth > 0 || (linksOnce && kept.status == ReadStatus::ReadOk);
}

}  // namespace

bool LocalReadingAllowed(const SiteNode& node) {
  std::vector<const SiteNode*> above;
  for (const SiteNode* parent = node.parent; parent; parent = parent->parent) above.push_back(parent);
  // From the top down, so that no label of a remote page's link is ever tried as a file.
  for (auto it = above.rbegin(); it != above.rend(); ++it)
    if (!IsLocalFile((*it)->label)) return false;
  return true;
}

bool ReadsLocalFile(const SiteNode& node, const std::string& url) {
  return LocalReadingAllowed(node) && IsLocalFile(url);
}

std::string ReadingKey(const SiteNode& node, std::string url) {
  if (!ReadsLocalFile(node, url)) NormalizeRemoteUrl(url);
  return url;
}

FetchTask::FetchTask(Crawl& crawl, SiteTree& tree, const CrawlerPorts& ports)
    : crawl(crawl), crawler(crawl.State()), tree(tree), ports(ports) {}

FetchTask::~FetchTask() {
  Close();
  auto found = crawler.tasks.find(context);
  if (found != crawler.tasks.end() && found->second == this) crawler.tasks.erase(found);
}

void FetchTask::Line(int stringId) {
  shownLines.push_back(static_cast<unsigned short>(stringId));
  std::string text = StringText(stringId);
  if (stringId == IDS_OPENING) text += url;
  if (stringId == IDS_NOT_HTML) text += contentType.empty() ? StringText(IDS_NO_CONTENT_TYPE) : contentType;
  if (stringId == IDS_READ_FAILED) text += reason;
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

  if (ReadsLocalFile(startNode, url)) {
    kind = UrlKind::LocalFile;
    ports.page.TaskWasLocal();
  } else {
    NormalizeRemoteUrl(url);
    kind = LooksLikeFtpUrl(url) ? UrlKind::Ftp : UrlKind::Http;
  }
  base = url;

  const bool linksOnce = crawl.Settings().linksOnce;
  if (linksOnce && depth == 0) crawl.PutForward(url);
  auto found = crawler.kept.find(url);
  if (found != crawler.kept.end() && !ReplaysKept(found->second, depth, linksOnce)) found = crawler.kept.end();
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
  if (crawler.waitLimitMilliseconds) ports.client.LimitWaiting(instance, crawler.waitLimitMilliseconds);

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
  localFile.open(url, std::ios::binary | std::ios::ate);
  // A file too large to hold is a failed reading, found before anything is read.
  localSize = localFile ? static_cast<std::streamoff>(localFile.tellg()) : 0;
  if (!localFile || localSize > kLocalPageLimit || !localFile.seekg(0)) {
    reason = StringText(localFile && localSize > kLocalPageLimit ? IDS_WHY_FILE_TOO_LARGE : IDS_WHY_NO_FILE);
    EndLocalReading(false);
    return;
  }
  ReadNextPiece();
}

void FetchTask::ReadNextPiece() {
  if (!localFile.is_open() || crawler.done) return;
  // Ends inside this call: a nested message loop of the view must not free the task.
  bool wasInNotification = inNotification;
  inNotification = true;
  size_t had = localText.size();
  // The room is zero-filled first, so a piece is no larger than the rest of the file, and one
  // byte more to find its end; only a file that has grown since goes on in whole pieces.
  const std::streamoff left = localSize - static_cast<std::streamoff>(had);
  const std::streamsize piece = left > 0 ? std::min<std::streamoff>(left + 1, kLocalPiece) : kLocalPiece;
  localText.resize(had + static_cast<size_t>(piece));
  localFile.read(localText.data() + had, piece);
  localText.resize(had + static_cast<size_t>(localFile.gcount()));
  // The file may have grown since its size was taken.
  if (static_cast<std::streamoff>(localText.size()) > kLocalPageLimit) {
    reason = StringText(IDS_WHY_FILE_TOO_LARGE);
    EndLocalReading(false);
  } else if (localFile.eof()) {
    // A file that is no HTML page is read, but it has no links.
    EndLocalReading(!IsHtmlFile(url, localText) || ExtractLinks(localText, url, true, links));
  } else if (!localFile) {
    reason = StringText(IDS_WHY_NO_FILE);
    EndLocalReading(false);
  }
  inNotification = wasInNotification;
}

void FetchTask::EndLocalReading(bool extracted) {
  if (!extracted && reason.empty()) reason = StringText(IDS_WHY_SAYS_NOT_FOUND);
  localFile.close();
  std::string().swap(localText);
  CompletePage(extracted);
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
  // Shown for the first read only: a page read in many pieces shows the lines of one.
  case StatusSendingRequest:
    if (readIssued && !pieces) Line(IDS_SENDING_REQUEST);
    break;
  case StatusReceivingResponse:
    if (readIssued && !pieces) Line(IDS_RECEIVING_RESPONSE);
    break;
  case StatusRequestComplete:
    if (kind == UrlKind::Ftp) {
      if (info.error) FtpEnd(info.error, info.serverReply);
      else FtpStep(handle, info);
    } else if (readIssued) {
      BodyRead(info.error);
    } else if (info.error) {
      reason = ClientErrorReason(info.error);
      CompletePage(false);
      KeepResult();
    } else {
      if (!request) request = info.result;  // so that Close releases it
      ResponseArrived(info.result);
    }
    break;
  default:
    break;
  }
  inNotification = false;
}

void FetchTask::ResponseArrived(InternetHandle handle) {
  HttpResponse response;
  if (!ports.client.QueryResponse(handle, response)) {
    reason = StringText(IDS_WHY_BAD_REPLY);
    CompletePage(false);
    KeepResult();
  } else if (IsRedirect(response.status) && !response.location.empty()) {
    Redirect(response.location);
  } else if (response.status >= 400) {
    reason = HttpStatusReason(response.status, response.statusText);
    CompletePage(false);  // an error page is no page of the site, whatever it links to
    KeepResult();
  } else if (!response.contentType.empty() && !IsHtmlContentType(response.contentType)) {
    contentType = response.contentType;
    EndWithoutLinks();
  } else {
    typed = !response.contentType.empty();
    readIssued = true;
    body->bytesRead = 0;
    ports.client.ReadFile(handle, body);
  }
}

// Followed here, not by the client, so that a loop ends and an aborted task stops following.
// The links of the page are then made absolute against the URL it came from.
void FetchTask::Redirect(const std::string& location) {
  std::string target = CombineUrl(base, location);
  // Only to another web page: a reply never makes the crawler open a file or another scheme.
  if (++redirects > kMaxRedirects || !IsWebUrl(target) || target.size() > kMaxUrlLength) {
    reason = StringText(redirects > kMaxRedirects ? IDS_WHY_TOO_MANY_REDIRECTS
                        : IsWebUrl(target)        ? IDS_WHY_INVALID_URL
                                                  : IDS_WHY_REDIRECT_AWAY);
    CompletePage(false);
    KeepResult();
    return;
  }
  target.erase(std::min(target.find('#'), target.size()));
  ports.client.CloseHandle(request);
  base = std::move(target);
  request = ports.client.OpenUrl(instance, base, context);
}

void FetchTask::BodyRead(unsigned long error) {
  if (error) {
    BodyBroken(error);
    return;
  }
  const size_t count = std::min<size_t>(body->bytesRead, body->data.size());
  if (count == 0) {  // the end of the data
    EndPage(false);
    return;
  }
  // Only a piece that goes past the limit cuts the page: one of exactly the limit is whole.
  const bool cut = count > kWebPageLimit - pageText.size();
  KeepPiece(cut ? kWebPageLimit - pageText.size() : count);
  if (cut) {
    EndPage(true);
    return;
  }
  ++pieces;
  // Each read after the first asks for as much as has come so far: a large page takes a few
  // reads, each a round trip through the message loop, instead of one per 30000 bytes.
  body->data.resize(std::min<size_t>(std::max<size_t>(pageText.size(), kBodyBufferSize), kLargestRead));
  body->bytesRead = 0;
  ports.client.ReadFile(request, body);
}

void FetchTask::KeepPiece(size_t count) {
  // Grown by doubling, but never beyond the limit, so a page near it never reserves twice that.
  if (pageText.size() + count > pageText.capacity())
    pageText.reserve(std::min(std::max(pageText.capacity() * 2, pageText.size() + count), kWebPageLimit));
  pageText.append(body->data.data(), count);
}

void FetchTask::EndPage(bool cut) {
  if (!typed && !StartsLikeHtml(pageText)) {
    std::string().swap(pageText);
    EndWithoutLinks();
    return;
  }
  bool extracted = ExtractLinks(pageText, base, false, links);
  std::string().swap(pageText);
  if (!extracted) reason = StringText(IDS_WHY_SAYS_NOT_FOUND);
  CompletePage(extracted);
  if (cut) Line(IDS_PAGE_CUT);
  Line(IDS_DONE_READING);
  KeepResult();
}

void FetchTask::EndWithoutLinks() {
  CompletePage(true);
  Line(IDS_NOT_HTML);
  KeepResult();
}

void FetchTask::BodyBroken(unsigned long error) {
  bool extracted = (typed || StartsLikeHtml(pageText)) && ExtractLinks(pageText, base, false, links);
  std::string().swap(pageText);
  reason = ClientErrorReason(error);
  // A body that never arrived is a failed request, not a page without links.
  if (!extracted || links.empty()) {
    CompletePage(false);
    KeepResult();
    return;
  }
  Close();
  DeliverBrokenOff();
}

void FetchTask::CompletePage(bool extracted) {
  Close();
  Deliver(links, extracted ? ReadStatus::ReadOk : ReadStatus::ReadFailed);
}

void FetchTask::Deliver(const LinkList& result, ReadStatus readStatus) {
  status = readStatus;
  shownLines.push_back(KeptReading::kResultLine);
  crawl.AddLinks(*node, depth, result, readStatus);
  crawler.done = true;
  ports.page.PostTaskEnded();
}

void FetchTask::DeliverBrokenOff() {
  Deliver(links, ReadStatus::ReadOk);
  tree.SetIcon(*node, NodeIcon::ReadError);
  status = ReadStatus::ReadFailed;
  readAgain = true;
  links.clear();  // never replayed
  KeepResult();
}

void FetchTask::TimedOut() {
  if (fromKept || crawler.done) return;
  status = ReadStatus::ReadFailed;
  reason = StringText(IDS_WHY_TIMEOUT);
  links.clear();
  // The queue's own line says it now; a later reading of the URL says it in these words.
  shownLines.push_back(KeptReading::kResultLine);
  shownLines.push_back(IDS_READ_FAILED);
  Keep();
}

void FetchTask::Replay(KeptReading reading) {
  fromKept = true;
  contentType = std::move(reading.contentType);
  reason = std::move(reading.reason);
  for (unsigned short line : reading.lines) {
    if (line != KeptReading::kResultLine) {
      Line(line);
      continue;
    }
    if (reading.ftpFile) tree.SetLabel(*node, node->label + std::string(kFileMark));
    Deliver(*reading.links, reading.status);
  }
}

void FetchTask::KeepResult() {
  if (fromKept) return;
  // The reason is a failed reading's last line, and is kept with the others.
  if (status == ReadStatus::ReadFailed) Line(IDS_READ_FAILED);
  Keep();
}

void FetchTask::Keep() {
  crawler.kept[url] = KeptReading{std::make_shared<const LinkList>(std::move(links)), status,
                                  dirChangeIssued, std::move(shownLines), std::move(contentType),
                                  std::move(reason), readAgain};
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
    FtpEnd(kErrorNoMoreFiles);
    return;
  }
  listing = handle;
  std::string entryUrl = url;
  if (entryUrl.empty() || entryUrl.back() != '/') entryUrl += '/';
  entryUrl += EncodeUrl(info.entry->name);
  if (!info.entry->isDirectory) entryUrl += kFileMark;
  links.push_back(std::move(entryUrl));
  ports.client.FindNextFtpEntry(handle);
}

void FetchTask::FtpEnd(unsigned long error, std::string_view serverReply) {
  bool failed;
  if (dirChangeIssued) {
    // The server said no to the change of directory: the path names a file. A connection
    // lost on the way says nothing of the kind.
    failed = error != kErrorServerRefused;
    if (!failed) tree.SetLabel(*node, node->label + std::string(kFileMark));
    else dirChangeIssued = false;  // kept as no file
  } else if (ftpFirstStep) {
    failed = true;  // no connection or no login: refused, busy, login denied
  } else {
    failed = error != kErrorNoMoreFiles;  // a listing broken off is no complete directory
  }
  Close();
  if (failed) reason = FtpFailureReason(error, serverReply);
  if (failed && !links.empty()) {
    // The entries listed before the break stay; a later reading tries the listing again.
    DeliverBrokenOff();
    return;
  }
  Deliver(links, failed ? ReadStatus::ReadFailed : ReadStatus::ReadOk);
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
