// WinInet adapter of the internet client. WinInet notifies on threads of its own; every
// notification goes through one process-wide queue to a message-only window of the
// user-interface thread, which turns it into the port's terms and hands it to the sink.
#include "crawler/internet_client_win32.h"

#include <windows.h>
#include <wininet.h>

#include <map>
#include <vector>

#include "crawler/ftp_session_win32.h"
#include "crawler/handles_win32.h"
#include "crawler/internet_events_win32.h"

struct InternetClientWin32::Impl final : InternetEventReceiver {
  enum class Kind { Instance, Web, FtpConnection, FtpFind };

  struct Record {
    Kind kind;
    HINTERNET h = nullptr;                 // Instance, Web: closed by CloseHandle
    std::string agent;                     // Instance
    InternetStatusSink* sink = nullptr;    // Instance
    std::shared_ptr<FtpSession> session;   // FtpConnection, FtpFind
    unsigned context = 0;                  // all but Instance
  };

  // Per task context. Holds the read's buffer and count until WinInet is done with them.
  struct ContextState {
    enum class Op { None, OpenUrl, Read };
    InternetHandle instance = 0;
    Op op = Op::None;
    InternetHandle request = 0;
    InternetHandle ftpConnection = 0;
    InternetHandle ftpFind = 0;
    std::shared_ptr<ReadBuffer> buffer;
    DWORD count = 0;
    bool closed = false;
  };

  std::map<InternetHandle, Record> handles;
  std::map<unsigned, std::unique_ptr<ContextState>> contexts;
  InternetHandle nextHandle = 1;
  InternetEventWindow events{*this};  // made once the tables exist, gone before them

  InternetHandle Register(Record record) {
    InternetHandle handle = nextHandle++;
    handles.emplace(handle, std::move(record));
    return handle;
  }

  Record* Find(InternetHandle handle, Kind kind) {
    auto it = handles.find(handle);
    return it != handles.end() && it->second.kind == kind ? &it->second : nullptr;
  }

  ContextState& StateFor(unsigned context, InternetHandle instance) {
    auto& state = contexts[context];
    if (!state) state = std::make_unique<ContextState>();
    state->instance = instance;
    state->closed = false;
    return *state;
  }

  void PushImmediate(unsigned context, InternetHandle handle, DWORD error) {
    InternetEvent event;
    event.source = EventSource::Immediate;
    event.context = context;
    event.status = INTERNET_STATUS_REQUEST_COMPLETE;
    event.handle = handle;
    event.error = error;
    PushInternetEvent(std::move(event));
  }

  void FinishRead(ContextState& state) {
    if (state.buffer) state.buffer->bytesRead = state.count;
    state.buffer.reset();
    state.op = ContextState::Op::None;
  }

  void Deliver(InternetEvent& event) override {
    auto found = contexts.find(event.context);
    if (found == contexts.end()) return;
    ContextState& state = *found->second;
    InternetHandle handle = 0;
    StatusInfo info;
    bool complete = event.status == INTERNET_STATUS_REQUEST_COMPLETE;

    switch (event.source) {
    case EventSource::WinInet: {
      handle = state.request;
      if (complete) {
        if (state.op == ContextState::Op::OpenUrl) {
          state.op = ContextState::Op::None;
          auto request = reinterpret_cast<HINTERNET>(event.result);
          if (event.error == 0 && request) {
            state.request = Register({Kind::Web, request, {}, nullptr, {}, event.context});
            handle = info.result = state.request;
          } else {
            info.error = event.error ? event.error : ERROR_INTERNET_INTERNAL_ERROR;
          }
        } else if (state.op == ContextState::Op::Read) {
          FinishRead(state);
          handle = info.result = state.request;
          info.error = event.error;
        } else {
          return;  // no operation outstanding: not ours to report twice
        }
      } else if (event.status == INTERNET_STATUS_HANDLE_CLOSING && state.closed &&
                 state.op == ContextState::Op::Read) {
        FinishRead(state);  // the request is gone; WinInet writes no more
      }
      break;
    }
    case EventSource::Immediate:
      if (state.op == ContextState::Op::Read) FinishRead(state);
      state.op = ContextState::Op::None;
      handle = info.result = event.error ? 0 : event.handle;
      info.error = event.error;
      break;
    case EventSource::FtpProgress:
      break;
    case EventSource::FtpDone:
      if (event.which == FtpWhich::Find && !event.error && !state.ftpFind) {
        Record* connection = Find(state.ftpConnection, Kind::FtpConnection);
        if (connection)
          state.ftpFind =
              Register({Kind::FtpFind, nullptr, {}, nullptr, connection->session, event.context});
      }
      handle = event.which == FtpWhich::Find && state.ftpFind ? state.ftpFind : state.ftpConnection;
      info.result = event.error ? 0 : handle;
      info.error = event.error;
      if (event.entry) info.entry = &*event.entry;
      info.serverReply = std::move(event.reply);
      break;
    }

    if (state.closed) {
      if (state.op != ContextState::Op::Read) contexts.erase(found);
      return;
    }
    Record* instance = Find(state.instance, Kind::Instance);
    if (!instance || !instance->sink) return;
    // The sink may close handles and so change the tables: nothing here is used after it.
    instance->sink->OnStatus(handle, event.context, event.status, info);
  }

  void Close(InternetHandle handle) {
    auto it = handles.find(handle);
    if (it == handles.end()) return;
    Record record = std::move(it->second);
    handles.erase(it);
    switch (record.kind) {
    case Kind::Instance:
      InternetCloseHandle(record.h);
      for (auto c = contexts.begin(); c != contexts.end();) {
        ContextState& state = *c->second;
        if (state.instance == handle) {
          state.closed = true;
          // A read may still be written into: its state goes when WinInet is done.
          if (state.op != ContextState::Op::Read) {
            c = contexts.erase(c);
            continue;
          }
        }
        ++c;
      }
      break;
    case Kind::Web:
      InternetCloseHandle(record.h);
      break;
    case Kind::FtpConnection:
      record.session->Post(FtpSession::Command::Quit);
      break;
    case Kind::FtpFind: {
      record.session->Post(FtpSession::Command::CloseFind);
      auto c = contexts.find(record.context);
      if (c != contexts.end()) c->second->ftpFind = 0;
      break;
    }
    }
  }
};

InternetClientWin32::InternetClientWin32() : impl(std::make_unique<Impl>()) {}

InternetClientWin32::~InternetClientWin32() {
  impl->events.Stop();
  while (!impl->handles.empty()) impl->Close(impl->handles.begin()->first);
  // Reads still outstanding keep their buffers for good: WinInet may write into them yet.
  static auto& keep = *std::make_unique<std::vector<std::unique_ptr<Impl::ContextState>>>()
                           .release();
  for (auto& [context, state] : impl->contexts)
    if (state->op == Impl::ContextState::Op::Read) keep.push_back(std::move(state));
}

InternetHandle InternetClientWin32::Open(const std::string& agent) {
  HINTERNET instance = InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                     nullptr, INTERNET_FLAG_ASYNC);
  if (!instance) return 0;
  return impl->Register({Impl::Kind::Instance, instance, agent, nullptr, {}, 0});
}

void InternetClientWin32::LimitWaiting(InternetHandle, unsigned milliseconds) {
  SetWaitLimit(milliseconds);
}

bool InternetClientWin32::SetStatusCallback(InternetHandle instance, InternetStatusSink& sink) {
  Impl::Record* record = impl->Find(instance, Impl::Kind::Instance);
  if (!record) return false;
  if (InternetSetStatusCallbackA(record->h, WebStatusCallback) == INTERNET_INVALID_STATUS_CALLBACK)
    return false;
  record->sink = &sink;
  return true;
}

InternetHandle InternetClientWin32::OpenUrl(InternetHandle instance, const std::string& url,
                                            unsigned context) {
  Impl::Record* record = impl->Find(instance, Impl::Kind::Instance);
  if (!record) return 0;
  Impl::ContextState& state = impl->StateFor(context, instance);
  state.op = Impl::ContextState::Op::OpenUrl;
  // Redirects are the crawler's to follow: WinInet's own follow a loop without end. A page is
  // read once a crawl, so a copy in the cache would only fill the disk (and cost a file and
  // its writes for each page).
  HINTERNET request = InternetOpenUrlA(record->h, url.c_str(), nullptr, 0,
                                       INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_CACHE_WRITE,
                                       context);
  if (request) {
    state.request = impl->Register({Impl::Kind::Web, request, {}, nullptr, {}, context});
    impl->PushImmediate(context, state.request, 0);
    return state.request;
  }
  DWORD error = GetLastError();
  if (error != ERROR_IO_PENDING) impl->PushImmediate(context, 0, LastFailure());
  return 0;
}

InternetHandle InternetClientWin32::ConnectFtp(InternetHandle instance, const std::string& host,
                                               unsigned short port, unsigned context) {
  Impl::Record* record = impl->Find(instance, Impl::Kind::Instance);
  if (!record) return 0;
  auto session = std::make_shared<FtpSession>(record->agent, host, port, context);
  Impl::ContextState& state = impl->StateFor(context, instance);
  state.ftpConnection =
      impl->Register({Impl::Kind::FtpConnection, nullptr, {}, nullptr, session, context});
  state.ftpFind = 0;
  if (session->StartThread(session)) {
    session->Post(FtpSession::Command::Connect);
  } else {
    InternetEvent failed;
    failed.source = EventSource::FtpDone;
    failed.context = context;
    failed.status = INTERNET_STATUS_REQUEST_COMPLETE;
    failed.error = LastFailure();
    PushInternetEvent(std::move(failed));
  }
  return state.ftpConnection;
}

namespace {

// A header of a completed request as text; false when it is not there.
// Empty when the reply has no such header.
bool QueryHeader(HINTERNET request, DWORD which, std::string& text) {
  text.assign(256, '\0');
  DWORD length = static_cast<DWORD>(text.size());
  bool found = HttpQueryInfoA(request, which, text.data(), &length, nullptr);
  if (!found && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    text.assign(length + 1, '\0');
    found = HttpQueryInfoA(request, which, text.data(), &length, nullptr);
  }
  text.resize(found ? length : 0);
  return found;
}

}  // namespace

bool InternetClientWin32::QueryResponse(InternetHandle request, HttpResponse& response) {
  response = HttpResponse{};
  Impl::Record* record = impl->Find(request, Impl::Kind::Web);
  if (!record) return false;
  DWORD status = 0;
  DWORD length = sizeof status;
  if (!HttpQueryInfoA(record->h, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                      &length, nullptr) ||
      status < 100 || status > 599)
    return false;
  // WinInet takes a reply without a status line for an old-style one and makes up
  // "200 OK" for it, with no header at all: a real server sends at least one.
  std::string raw;
  if (!QueryHeader(record->h, HTTP_QUERY_RAW_HEADERS_CRLF, raw)) return false;
  size_t lineEnd = raw.find("\r\n");
  if (lineEnd == std::string::npos || raw.compare(lineEnd, 4, "\r\n\r\n") == 0 ||
      lineEnd + 2 >= raw.size())
    return false;
  response.status = status;
  QueryHeader(record->h, HTTP_QUERY_LOCATION, response.location);
  QueryHeader(record->h, HTTP_QUERY_CONTENT_TYPE, response.contentType);
  QueryHeader(record->h, HTTP_QUERY_STATUS_TEXT, response.statusText);
  return true;
}

void InternetClientWin32::ReadFile(InternetHandle request, std::shared_ptr<ReadBuffer> buffer) {
  Impl::Record* record = impl->Find(request, Impl::Kind::Web);
  if (!record) return;
  auto found = impl->contexts.find(record->context);
  if (found == impl->contexts.end()) return;  // its instance is closed
  Impl::ContextState& state = *found->second;
  state.op = Impl::ContextState::Op::Read;
  state.buffer = std::move(buffer);
  state.count = 0;
  if (InternetReadFile(record->h, state.buffer->data.data(),
                       static_cast<DWORD>(state.buffer->data.size()), &state.count)) {
    // Complete at once: WinInet will not notify, so the completion is ours to deliver.
    impl->PushImmediate(record->context, request, 0);
  } else if (GetLastError() != ERROR_IO_PENDING) {
    impl->PushImmediate(record->context, request, LastFailure());
  }
}

void InternetClientWin32::ChangeFtpDirectory(InternetHandle connection, const std::string& path,
                                             unsigned) {
  if (Impl::Record* record = impl->Find(connection, Impl::Kind::FtpConnection))
    record->session->Post(FtpSession::Command::SetDirectory, path);
}

void InternetClientWin32::FindFirstFtpEntry(InternetHandle connection, const std::string& pattern,
                                            unsigned) {
  if (Impl::Record* record = impl->Find(connection, Impl::Kind::FtpConnection))
    record->session->Post(FtpSession::Command::FindFirst, pattern);
}

void InternetClientWin32::FindNextFtpEntry(InternetHandle find) {
  if (Impl::Record* record = impl->Find(find, Impl::Kind::FtpFind))
    record->session->Post(FtpSession::Command::FindNext);
}

void InternetClientWin32::CloseHandle(InternetHandle handle) { impl->Close(handle); }
