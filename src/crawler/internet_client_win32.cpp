// WinInet adapter of the internet client. WinInet notifies on threads of its own; every
// notification goes through one process-wide queue to a message-only window of the
// user-interface thread, which turns it into the port's terms and hands it to the sink.
#include "crawler/internet_client_win32.h"

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <deque>
#include <map>
#include <optional>
#include <vector>

namespace {

constexpr UINT kWakeMessage = WM_APP + 0x51;
constexpr char kWindowClass[] = "PathloomInternetClient";

class CriticalSection {
public:
  CriticalSection() { InitializeCriticalSection(&cs); }
  ~CriticalSection() { DeleteCriticalSection(&cs); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;
  void Enter() { EnterCriticalSection(&cs); }
  void Leave() { LeaveCriticalSection(&cs); }

private:
  CRITICAL_SECTION cs;
};

class Lock {
public:
  explicit Lock(CriticalSection& cs) : cs(cs) { cs.Enter(); }
  ~Lock() { cs.Leave(); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

private:
  CriticalSection& cs;
};

struct InternetCloser {
  void operator()(HINTERNET h) const { InternetCloseHandle(h); }
};
using UniqueInternet = std::unique_ptr<void, InternetCloser>;

struct HandleCloser {
  void operator()(HANDLE h) const { ::CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

DWORD LastFailure() {
  DWORD error = GetLastError();
  // A completion without an error code would read as success.
  return error ? error : ERROR_INTERNET_INTERNAL_ERROR;
}

enum class Source {
  WinInet,      // a notification of the asynchronous web handles
  Immediate,    // a web operation that completed inside its call
  FtpProgress,  // a notification of a worker's synchronous FTP handles
  FtpDone,      // a worker finished an FTP operation
};

enum class FtpWhich { Connection, Find };

struct Event {
  Source source = Source::WinInet;
  unsigned context = 0;
  DWORD status = 0;
  DWORD_PTR result = 0;            // WinInet request complete
  DWORD error = 0;
  InternetHandle handle = 0;       // Immediate
  FtpWhich which = FtpWhich::Connection;
  std::optional<FindEntry> entry;  // FtpDone of a find
};

// Outlives every client: WinInet and the FTP workers may still notify while one goes away.
class EventQueue {
public:
  static EventQueue& Get() {
    static EventQueue& queue = *std::make_unique<EventQueue>().release();
    return queue;
  }

  void Push(Event event) {
    Lock lock(cs);
    if (!target) return;
    events.push_back(std::move(event));
    if (!wakePosted) wakePosted = PostMessageA(target, kWakeMessage, 0, 0) != FALSE;
  }

  // One at a time, so that a nested message loop inside a delivery keeps the order.
  std::optional<Event> Pop() {
    Lock lock(cs);
    if (events.empty()) {
      wakePosted = false;
      return std::nullopt;
    }
    Event event = std::move(events.front());
    events.pop_front();
    return event;
  }

  void SetTarget(HWND window) {
    Lock lock(cs);
    target = window;
    events.clear();
    wakePosted = false;
  }

private:
  CriticalSection cs;
  HWND target = nullptr;
  std::deque<Event> events;
  bool wakePosted = false;
};

// Set before a request starts waiting: WinInet reads it then, and never again.
std::atomic<DWORD> waitLimit{0};

void LimitHandleWaiting(HINTERNET handle, DWORD milliseconds) {
  if (!handle || !milliseconds) return;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
}

void CALLBACK WebStatusCallback(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info,
                                DWORD /*infoLength*/) {
  // The request of InternetOpenUrlA exists only from here on; its wait has not begun yet.
  if (status == INTERNET_STATUS_HANDLE_CREATED && info)
    LimitHandleWaiting(
        reinterpret_cast<HINTERNET>(static_cast<const INTERNET_ASYNC_RESULT*>(info)->dwResult),
        waitLimit.load());
  Event event;
  event.source = Source::WinInet;
  event.context = static_cast<unsigned>(context);
  event.status = status;
  if (status == INTERNET_STATUS_REQUEST_COMPLETE && info) {
    const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(info);
    event.result = result->dwResult;
    event.error = result->dwError;
  }
  EventQueue::Get().Push(std::move(event));
}

// Synchronous FTP: the worker reports its own completions, so only progress passes here.
void CALLBACK FtpStatusCallback(HINTERNET, DWORD_PTR context, DWORD status, LPVOID, DWORD) {
  if (status == INTERNET_STATUS_REQUEST_COMPLETE) return;
  Event event;
  event.source = Source::FtpProgress;
  event.context = static_cast<unsigned>(context);
  event.status = status;
  EventQueue::Get().Push(std::move(event));
}

// The FTP server's last reply on this thread was a positive completion ("226 ..."). A listing
// whose connection dropped before that reply ends as if complete in WinInet's find calls.
bool LastFtpReplyWasSuccess() {
  std::string text(512, '\0');
  DWORD error = 0;
  DWORD length = static_cast<DWORD>(text.size());
  if (!InternetGetLastResponseInfoA(&error, text.data(), &length)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    text.resize(length + 1);
    length = static_cast<DWORD>(text.size());
    if (!InternetGetLastResponseInfoA(&error, text.data(), &length)) return false;
  }
  return length > 0 && text[0] == '2';
}

FindEntry EntryOf(const WIN32_FIND_DATAA& data) {
  return FindEntry{data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
}

// One FTP connection: WinInet in synchronous mode on a thread of its own, fed commands one
// at a time by the user-interface thread.
class FtpSession {
public:
  enum class Command { Connect, SetDirectory, FindFirst, FindNext, CloseFind, Quit };

  FtpSession(std::string agent, std::string host, INTERNET_PORT port, unsigned context)
      : agent(std::move(agent)), host(std::move(host)), port(port), context(context),
        limit(waitLimit.load()),
        wake(CreateSemaphoreA(nullptr, 0, 0x7fffffff, nullptr)) {}

  bool StartThread(const std::shared_ptr<FtpSession>& self) {
    if (!wake) return false;
    auto holder = std::make_unique<std::shared_ptr<FtpSession>>(self);
    HANDLE thread = CreateThread(nullptr, 0, &FtpSession::ThreadMain, holder.get(), 0, nullptr);
    if (!thread) return false;
    holder.release();  // the thread owns it now
    ::CloseHandle(thread);
    return true;
  }

  void Post(Command command, std::string text = {}) {
    {
      Lock lock(cs);
      commands.push_back({command, std::move(text)});
    }
    ReleaseSemaphore(wake.get(), 1, nullptr);
  }

private:
  struct Queued {
    Command command;
    std::string text;
  };

  static DWORD WINAPI ThreadMain(LPVOID param) {
    std::unique_ptr<std::shared_ptr<FtpSession>> self(
        static_cast<std::shared_ptr<FtpSession>*>(param));
    (*self)->Run();
    return 0;
  }

  Queued Next() {
    WaitForSingleObject(wake.get(), INFINITE);
    Lock lock(cs);
    Queued next = std::move(commands.front());
    commands.pop_front();
    return next;
  }

  void Run() {
    UniqueInternet instance, connection, find;
    WIN32_FIND_DATAA data;
    for (;;) {
      Queued next = Next();
      Event done;
      done.source = Source::FtpDone;
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
      EventQueue::Get().Push(std::move(done));
    }
  }

  const std::string agent;
  const std::string host;
  const INTERNET_PORT port;
  const unsigned context;
  const DWORD limit;
  bool listingCut = false;  // the worker's own
  CriticalSection cs;
  UniqueHandle wake;
  std::deque<Queued> commands;
};

}  // namespace

struct WinInetClient::Impl {
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

  HWND window = nullptr;
  std::map<InternetHandle, Record> handles;
  std::map<unsigned, std::unique_ptr<ContextState>> contexts;
  InternetHandle nextHandle = 1;

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
    Event event;
    event.source = Source::Immediate;
    event.context = context;
    event.status = INTERNET_STATUS_REQUEST_COMPLETE;
    event.handle = handle;
    event.error = error;
    EventQueue::Get().Push(std::move(event));
  }

  void FinishRead(ContextState& state) {
    if (state.buffer) state.buffer->bytesRead = state.count;
    state.buffer.reset();
    state.op = ContextState::Op::None;
  }

  void Drain() {
    while (std::optional<Event> event = EventQueue::Get().Pop()) Deliver(*event);
  }

  void Deliver(Event& event) {
    auto found = contexts.find(event.context);
    if (found == contexts.end()) return;
    ContextState& state = *found->second;
    InternetHandle handle = 0;
    StatusInfo info;
    bool complete = event.status == INTERNET_STATUS_REQUEST_COMPLETE;

    switch (event.source) {
    case Source::WinInet: {
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
    case Source::Immediate:
      if (state.op == ContextState::Op::Read) FinishRead(state);
      state.op = ContextState::Op::None;
      handle = info.result = event.error ? 0 : event.handle;
      info.error = event.error;
      break;
    case Source::FtpProgress:
      break;
    case Source::FtpDone:
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

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kWakeMessage) {
      if (auto* impl = reinterpret_cast<Impl*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
        impl->Drain();
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }
};

WinInetClient::WinInetClient() : impl(std::make_unique<Impl>()) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  if (!GetClassInfoA(module, kWindowClass, &windowClass)) {
    windowClass.lpfnWndProc = &Impl::WindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
  }
  impl->window = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 module, nullptr);
  SetWindowLongPtrA(impl->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(impl.get()));
  EventQueue::Get().SetTarget(impl->window);
}

WinInetClient::~WinInetClient() {
  EventQueue::Get().SetTarget(nullptr);
  while (!impl->handles.empty()) impl->Close(impl->handles.begin()->first);
  // Reads still outstanding keep their buffers for good: WinInet may write into them yet.
  static auto& keep = *std::make_unique<std::vector<std::unique_ptr<Impl::ContextState>>>()
                           .release();
  for (auto& [context, state] : impl->contexts)
    if (state->op == Impl::ContextState::Op::Read) keep.push_back(std::move(state));
  DestroyWindow(impl->window);
}

InternetHandle WinInetClient::Open(const std::string& agent) {
  HINTERNET instance = InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                     nullptr, INTERNET_FLAG_ASYNC);
  if (!instance) return 0;
  return impl->Register({Impl::Kind::Instance, instance, agent, nullptr, {}, 0});
}

void WinInetClient::LimitWaiting(InternetHandle, unsigned milliseconds) {
  waitLimit = milliseconds;
}

bool WinInetClient::SetStatusCallback(InternetHandle instance, InternetStatusSink& sink) {
  Impl::Record* record = impl->Find(instance, Impl::Kind::Instance);
  if (!record) return false;
  if (InternetSetStatusCallbackA(record->h, WebStatusCallback) == INTERNET_INVALID_STATUS_CALLBACK)
    return false;
  record->sink = &sink;
  return true;
}

InternetHandle WinInetClient::OpenUrl(InternetHandle instance, const std::string& url,
                                      unsigned context) {
  Impl::Record* record = impl->Find(instance, Impl::Kind::Instance);
  if (!record) return 0;
  Impl::ContextState& state = impl->StateFor(context, instance);
  state.op = Impl::ContextState::Op::OpenUrl;
  // Redirects are the crawler's to follow: WinInet's own follow a loop without end.
  HINTERNET request =
      InternetOpenUrlA(record->h, url.c_str(), nullptr, 0, INTERNET_FLAG_NO_AUTO_REDIRECT, context);
  if (request) {
    state.request = impl->Register({Impl::Kind::Web, request, {}, nullptr, {}, context});
    impl->PushImmediate(context, state.request, 0);
    return state.request;
  }
  DWORD error = GetLastError();
  if (error != ERROR_IO_PENDING) impl->PushImmediate(context, 0, LastFailure());
  return 0;
}

InternetHandle WinInetClient::ConnectFtp(InternetHandle instance, const std::string& host,
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
    Event failed;
    failed.source = Source::FtpDone;
    failed.context = context;
    failed.status = INTERNET_STATUS_REQUEST_COMPLETE;
    failed.error = LastFailure();
    EventQueue::Get().Push(std::move(failed));
  }
  return state.ftpConnection;
}

namespace {

// A header of a completed request as text; false when it is not there.
bool QueryHeader(HINTERNET request, DWORD which, std::string& text) {
  text.assign(256, '\0');
  DWORD length = static_cast<DWORD>(text.size());
  if (!HttpQueryInfoA(request, which, text.data(), &length, nullptr)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    text.assign(length + 1, '\0');
    if (!HttpQueryInfoA(request, which, text.data(), &length, nullptr)) return false;
  }
  text.resize(length);
  return true;
}

}  // namespace

bool WinInetClient::QueryResponse(InternetHandle request, HttpResponse& response) {
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
  return true;
}

void WinInetClient::ReadFile(InternetHandle request, std::shared_ptr<ReadBuffer> buffer) {
  Impl::Record* record = impl->Find(request, Impl::Kind::Web);
  if (!record) return;
  auto found = impl->contexts.find(record->context);
  if (found == impl->contexts.end()) return;  // its instance is closed
  Impl::ContextState& state = *found->second;
  state.op = Impl::ContextState::Op::Read;
  state.buffer = std::move(buffer);
  state.count = 0;
  if (InternetReadFile(record->h, state.buffer->data.data(), kBodyBufferSize, &state.count)) {
    // Complete at once: WinInet will not notify, so the completion is ours to deliver.
    impl->PushImmediate(record->context, request, 0);
  } else if (GetLastError() != ERROR_IO_PENDING) {
    impl->PushImmediate(record->context, request, LastFailure());
  }
}

void WinInetClient::ChangeFtpDirectory(InternetHandle connection, const std::string& path,
                                       unsigned) {
  if (Impl::Record* record = impl->Find(connection, Impl::Kind::FtpConnection))
    record->session->Post(FtpSession::Command::SetDirectory, path);
}

void WinInetClient::FindFirstFtpEntry(InternetHandle connection, const std::string& pattern,
                                      unsigned) {
  if (Impl::Record* record = impl->Find(connection, Impl::Kind::FtpConnection))
    record->session->Post(FtpSession::Command::FindFirst, pattern);
}

void WinInetClient::FindNextFtpEntry(InternetHandle find) {
  if (Impl::Record* record = impl->Find(find, Impl::Kind::FtpFind))
    record->session->Post(FtpSession::Command::FindNext);
}

void WinInetClient::CloseHandle(InternetHandle handle) { impl->Close(handle); }
