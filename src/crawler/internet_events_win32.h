// The process-wide queue through which the internet client hears of its work. WinInet notifies
// on threads of its own and the FTP workers finish on theirs; each pushes an event, and a
// message-only window of the user-interface thread takes the events out in order and hands
// them to the client there.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <optional>
#include <string>

#include "crawler/internet_client.h"

enum class EventSource {
  WinInet,      // a notification of the asynchronous web handles
  Immediate,    // a web operation that completed inside its call
  FtpProgress,  // a notification of a worker's synchronous FTP handles
  FtpDone,      // a worker finished an FTP operation
};

enum class FtpWhich { Connection, Find };

struct InternetEvent {
  EventSource source = EventSource::WinInet;
  unsigned context = 0;
  DWORD status = 0;
  DWORD_PTR result = 0;            // WinInet request complete
  DWORD error = 0;
  InternetHandle handle = 0;       // Immediate
  FtpWhich which = FtpWhich::Connection;
  std::optional<FindEntry> entry;  // FtpDone of a find
  std::string reply;               // FtpDone with an error: the server's last reply
};

// From any thread. Dropped while no event window takes the queue's events.
void PushInternetEvent(InternetEvent event);

// The client's side of the window: given each event on the user-interface thread.
class InternetEventReceiver {
public:
  virtual void Deliver(InternetEvent& event) = 0;

protected:
  ~InternetEventReceiver() = default;
};

// The queue's end on the user-interface thread: made there, it takes the queue's events from
// then on and hands them to the receiver one by one through that thread's message loop.
class InternetEventWindow {
public:
  explicit InternetEventWindow(InternetEventReceiver& receiver);
  ~InternetEventWindow();  // stops as well
  InternetEventWindow(const InternetEventWindow&) = delete;
  InternetEventWindow& operator=(const InternetEventWindow&) = delete;

  // The events waiting are dropped, and so is every event pushed from now on.
  void Stop();

private:
  HWND window = nullptr;
};

// How long the requests of web and FTP handles made from now on may wait on a silent server;
// 0 leaves WinInet's own limits.
void SetWaitLimit(DWORD milliseconds);
DWORD WaitLimit();
void LimitHandleWaiting(HINTERNET handle, DWORD milliseconds);

// The status routines: of the asynchronous web instances, and of a worker's synchronous FTP
// instance.
void CALLBACK WebStatusCallback(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info,
                                DWORD infoLength);
void CALLBACK FtpStatusCallback(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info,
                                DWORD infoLength);
