// The internet client as the crawler sees it: the operations of the system's internet
// functions in asynchronous mode, and the status notifications they produce.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Opaque client handle; 0 is none.
using InternetHandle = std::uintptr_t;

enum InternetStatus : unsigned {
  StatusResolvingName = 10,
  StatusConnectingToServer = 20,
  StatusSendingRequest = 30,
  StatusReceivingResponse = 40,
  StatusRequestComplete = 100,
};

// The first read of a page; the reads after it may ask for more, up to kLargestRead.
constexpr unsigned kBodyBufferSize = 30000;
constexpr unsigned kLargestRead = 1u << 20;

// Error codes of a request-complete notification that the crawler tells apart.
constexpr unsigned long kErrorNoMoreFiles = 18;         // the end of an FTP listing
constexpr unsigned long kErrorServerRefused = 12003;    // the FTP server answered no

// The room of one read and its count. Shared with the client, which keeps it alive while a
// read into it is outstanding, so a task that goes away mid-read frees nothing still written to.
struct ReadBuffer {
  std::vector<char> data = std::vector<char>(kBodyBufferSize);  // a read asks for its size
  std::uint32_t bytesRead = 0;
};

// One FTP directory entry as the client delivered it.
struct FindEntry {
  std::string name;
  bool isDirectory = false;
};

// The head of an HTTP reply, as far as the crawler reads it.
struct HttpResponse {
  unsigned status = 0;
  std::string location;  // of a redirect; empty when there is none
  std::string contentType;  // empty when the reply names none
  std::string statusText{};  // the reason phrase of the status line, as the server sent it
};

struct StatusInfo {
  InternetHandle result = 0;        // request complete: the handle the operation produced
  unsigned long error = 0;          // request complete: 0 on success
  const FindEntry* entry = nullptr; // request complete of a successful find: the entry
  std::string serverReply{};        // request complete of a failed FTP operation: the server's last reply
};

class InternetStatusSink {
public:
  virtual ~InternetStatusSink() = default;
  virtual void OnStatus(InternetHandle handle, unsigned context, unsigned status,
                        const StatusInfo& info) = 0;
};

// Contract: every issued operation (OpenUrl, ConnectFtp, ReadFile, ChangeFtpDirectory,
// FindFirstFtpEntry, FindNextFtpEntry) ends in exactly one request-complete notification
// for its context, also when it could complete at once; notifications arrive in order on
// the thread that called the operations, never from inside an operation call. Context 0
// gets none.
class InternetClient {
public:
  virtual ~InternetClient() = default;

  // An instance in asynchronous mode with the system's proxy settings; 0 on failure.
  virtual InternetHandle Open(const std::string& agent) = 0;
  // How long the instance's requests may wait on a server that says nothing before they fail
  // by themselves. Closing a request does not end its wait: until then it keeps a thread
  // and a connection.
  virtual void LimitWaiting(InternetHandle /*instance*/, unsigned /*milliseconds*/) {}
  // False when the routine cannot be installed.
  virtual bool SetStatusCallback(InternetHandle instance, InternetStatusSink& sink) = 0;
  // Starts the request; the completion's result is the request handle. Returns the
  // request handle when the client has one at once, else 0. Redirects are not followed:
  // their reply is the request's reply.
  virtual InternetHandle OpenUrl(InternetHandle instance, const std::string& url,
                                 unsigned context) = 0;
  // Anonymous FTP connection; port 0 is the default port. Returns the connection handle
  // when the client has one at once, else 0; the completion's result is that handle too.
  virtual InternetHandle ConnectFtp(InternetHandle instance, const std::string& host,
                                    unsigned short port, unsigned context) = 0;
  // The reply of a completed request; false when it had no valid status line.
  virtual bool QueryResponse(InternetHandle request, HttpResponse& response) = 0;
  // One read of at most buffer->data.size() bytes; buffer->bytesRead is valid at its completion,
  // and 0 at the end of the data. A page is read by one read after another on its request.
  virtual void ReadFile(InternetHandle request, std::shared_ptr<ReadBuffer> buffer) = 0;
  virtual void ChangeFtpDirectory(InternetHandle connection, const std::string& path,
                                  unsigned context) = 0;
  // The completion comes on the find handle, with the first entry; an empty directory
  // completes with kErrorNoMoreFiles.
  virtual void FindFirstFtpEntry(InternetHandle connection, const std::string& pattern,
                                 unsigned context) = 0;
  // The end of the listing completes with kErrorNoMoreFiles; a listing that the server
  // broke off ends with another error.
  virtual void FindNextFtpEntry(InternetHandle find) = 0;
  virtual void CloseHandle(InternetHandle handle) = 0;
};
