#include "crawler/internet_events_win32.h"

#include <atomic>
#include <deque>
#include <memory>

#include "crawler/handles_win32.h"

namespace {

constexpr UINT kWakeMessage = WM_APP + 0x51;
constexpr char kWindowClass[] = "PathloomInternetClient";

// Outlives every client: WinInet and the FTP workers may still notify while one goes away.
class EventQueue {
public:
  static EventQueue& Get() {
    static EventQueue& queue = *std::make_unique<EventQueue>().release();
    return queue;
  }

  void Push(InternetEvent event) {
    Lock lock(cs);
    if (!target) return;
    events.push_back(std::move(event));
    if (!wakePosted) wakePosted = PostMessageA(target, kWakeMessage, 0, 0) != FALSE;
  }

  // One at a time, so that a nested message loop inside a delivery keeps the order.
  std::optional<InternetEvent> Pop() {
    Lock lock(cs);
    if (events.empty()) {
      wakePosted = false;
      return std::nullopt;
    }
    InternetEvent event = std::move(events.front());
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
  std::deque<InternetEvent> events;
  bool wakePosted = false;
};

LRESULT CALLBACK EventWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kWakeMessage) {
    if (auto* receiver =
            reinterpret_cast<InternetEventReceiver*>(GetWindowLongPtrA(window, GWLP_USERDATA)))
      while (std::optional<InternetEvent> event = EventQueue::Get().Pop())
        receiver->Deliver(*event);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Set before a request starts waiting: WinInet reads it then, and never again.
std::atomic<DWORD> waitLimit{0};

}  // namespace

void PushInternetEvent(InternetEvent event) { EventQueue::Get().Push(std::move(event)); }

InternetEventWindow::InternetEventWindow(InternetEventReceiver& receiver) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  if (!GetClassInfoA(module, kWindowClass, &windowClass)) {
    windowClass.lpfnWndProc = &EventWindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
  }
  window = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module,
                           nullptr);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&receiver));
  EventQueue::Get().SetTarget(window);
}

InternetEventWindow::~InternetEventWindow() {
  Stop();
  DestroyWindow(window);
}

void InternetEventWindow::Stop() { EventQueue::Get().SetTarget(nullptr); }

void SetWaitLimit(DWORD milliseconds) { waitLimit = milliseconds; }

DWORD WaitLimit() { return waitLimit.load(); }

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
  InternetEvent event;
  event.source = EventSource::WinInet;
  event.context = static_cast<unsigned>(context);
  event.status = status;
  if (status == INTERNET_STATUS_REQUEST_COMPLETE && info) {
    const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(info);
    event.result = result->dwResult;
    event.error = result->dwError;
  }
  PushInternetEvent(std::move(event));
}

// Synchronous FTP: the worker reports its own completions, so only progress passes here.
void CALLBACK FtpStatusCallback(HINTERNET, DWORD_PTR context, DWORD status, LPVOID,
                                DWORD /*infoLength*/) {
  if (status == INTERNET_STATUS_REQUEST_COMPLETE) return;
  InternetEvent event;
  event.source = EventSource::FtpProgress;
  event.context = static_cast<unsigned>(context);
  event.status = status;
  PushInternetEvent(std::move(event));
}
