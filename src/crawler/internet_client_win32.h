// The internet client over WinInet. Web pages use WinInet's asynchronous mode; FTP runs
// WinInet in synchronous mode on a worker thread per connection (its asynchronous FTP is
// broken under Wine). Every notification reaches the sink on the thread that created the
// client, in order, through that thread's message loop.
#pragma once
#include <memory>

#include "crawler/internet_client.h"

class InternetClientWin32 : public InternetClient {
public:
  InternetClientWin32();  // on the user-interface thread, which must pump messages
  ~InternetClientWin32() override;
  InternetClientWin32(const InternetClientWin32&) = delete;
  InternetClientWin32& operator=(const InternetClientWin32&) = delete;

  InternetHandle Open(const std::string& agent) override;
  void LimitWaiting(InternetHandle instance, unsigned milliseconds) override;
  bool SetStatusCallback(InternetHandle instance, InternetStatusSink& sink) override;
  InternetHandle OpenUrl(InternetHandle instance, const std::string& url,
                         unsigned context) override;
  InternetHandle ConnectFtp(InternetHandle instance, const std::string& host,
                            unsigned short port, unsigned context) override;
  bool QueryResponse(InternetHandle request, HttpResponse& response) override;
  void ReadFile(InternetHandle request, std::shared_ptr<ReadBuffer> buffer) override;
  void ChangeFtpDirectory(InternetHandle connection, const std::string& path,
                          unsigned context) override;
  void FindFirstFtpEntry(InternetHandle connection, const std::string& pattern,
                         unsigned context) override;
  void FindNextFtpEntry(InternetHandle find) override;
  void CloseHandle(InternetHandle handle) override;

  struct Impl;

private:
  std::unique_ptr<Impl> impl;
};
