#include "crawler/ftp_session_win32.h"

#include <algorithm>

#include "crawler/internet_events_win32.h"

namespace {

// The FTP server's last reply on this thread; empty when there was none.
std::string LastFtpReply() {
  std::string text(512, '\0');
  DWORD error = 0;
  DWORD length = static_cast<DWORD>(text.size());
  if (!InternetGetLastResponseInfoA(&error, text.data(), &length)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return {};
    text.resize(length + 1);
    length = static_cast<DWORD>(text.size());
    if (!InternetGetLastResponseInfoA(&error, text.data(), &length)) return {};
  }
  text.resize(std::min<size_t>(length, text.size()));
  return text;
}

// The FTP server's last reply on this thread was a positive completion ("226 ..."). A listing
// whose connection dropped before that reply ends as if complete in WinInet's find calls.
bool LastFtpReplyWasSuccess() {
  std::string reply = LastFtpReply();
  return !reply.empty() && reply[0] == '2';
}

FindEntry EntryOf(const WIN32_FIND_DATAA& data) {
  return FindEntry{data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

}  // namespace

FtpSession::FtpSession(std::string agent, std::string host, INTERNET_PORT port,
                       unsigned context)
    : agent(std::move(agent)), host(std::move(host)), port(port), context(context),
      limit(WaitLimit()), wake(CreateSemaphoreA(nullptr, 0, 0x7fffffff, nullptr)) {}

bool FtpSession::StartThread(const std::shared_ptr<FtpSession>& self) {
  if (!wake) return false;
  auto holder = std::make_unique<std::shared_ptr<FtpSession>>(self);
  HANDLE thread = CreateThread(nullptr, 0, &FtpSession::ThreadMain, holder.get(), 0, nullptr);
  if (!thread) return false;
  holder.release();  // the thread owns it now
  ::CloseHandle(thread);
  return true;
}

void FtpSession::Post(Command command, std::string text) {
  {
    Lock lock(cs);
    commands.push_back({command, std::move(text)});
  }
  ReleaseSemaphore(wake.get(), 1, nullptr);
}

DWORD WINAPI FtpSession::ThreadMain(LPVOID param) {
  std::unique_ptr<std::shared_ptr<FtpSession>> self(
      static_cast<std::shared_ptr<FtpSession>*>(param));
  (*self)->Run();
  return 0;
}

FtpSession::Queued FtpSession::Next() {
  WaitForSingleObject(wake.get(), INFINITE);
  Lock lock(cs);
  Queued next = std::move(commands.front());
  commands.pop_front();
  return next;
}

void FtpSession::Run() {
  UniqueInternet instance, connection, find;
  WIN32_FIND_DATAA data;
  for (;;) {
    Queued next = Next();
    InternetEvent done;
    done.source = EventSource::FtpDone;
    done.context = context;
    done.status = INTERNET_STATUS_REQUEST_COMPLETE;
    switch (next.command) {
    case Command::Connect:
      instance.reset(InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                   nullptr, 0));
      if (!instance) {
        done.error = LastFailure();
        break;
      }
      InternetSetStatusCallbackA(instance.get(), FtpStatusCallback);
      LimitHandleWaiting(instance.get(), limit);
      connection.reset(InternetConnectA(instance.get(), host.c_str(), port, nullptr, nullptr,
                                        INTERNET_SERVICE_FTP, 0, context));
      if (!connection) done.error = LastFailure();
      break;
    case Command::SetDirectory:
      if (!connection || !FtpSetCurrentDirectoryA(connection.get(), next.text.c_str()))
        done.error = LastFailure();
      break;
    case Command::FindFirst:
      find.reset();
      if (connection)
        find.reset(FtpFindFirstFileA(connection.get(), next.text.c_str(), &data, 0, context));
      if (find) {
        done.which = FtpWhich::Find;
        done.entry = EntryOf(data);
        listingCut = !LastFtpReplyWasSuccess();
      } else if (DWORD error = GetLastError()) {
        done.error = error;
      } else {
        // Wine fails an empty listing without an error code.
        done.error = connection && LastFtpReplyWasSuccess() ? ERROR_NO_MORE_FILES
                                                            : ERROR_INTERNET_CONNECTION_ABORTED;
      }
      break;
    case Command::FindNext:
      done.which = FtpWhich::Find;
      if (find && InternetFindNextFileA(find.get(), &data)) {
        done.entry = EntryOf(data);
      } else {
        done.error = LastFailure();
        if (done.error == ERROR_NO_MORE_FILES && listingCut)
          done.error = ERROR_INTERNET_CONNECTION_ABORTED;
      }
      break;
    case Command::CloseFind:
      find.reset();
      continue;
    case Command::Quit:
      return;
    }
    // Why the server said no, for the reading's reason.
    if (done.error && done.error != ERROR_NO_MORE_FILES) done.reply = LastFtpReply();
    PushInternetEvent(std::move(done));
  }
}
