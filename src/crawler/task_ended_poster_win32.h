// Brings the end of a reading back to the task queue through the window's message queue,
// so the next reading starts at once (CrawlPage::PostTaskEnded is Post).
//
// Posted messages are taken before input, painting and timers. Local pages and kept results
// end inside the handling of the last end, so a long run of them would post message after
// message and starve the window: once such a run has lasted about 20 ms and input, painting or
// a timer waits, the next end comes by a short timer instead, behind whatever waits.
#pragma once
#include <windows.h>

class TaskQueue;

class TaskEndedPoster {
public:
  static constexpr UINT kMessage = WM_APP + 0x52;
  static constexpr UINT_PTR kTimer = 15;  // beside the page's tick (13) and time-out (14)

  explicit TaskEndedPoster(HWND window) : window(window) {}
  ~TaskEndedPoster();
  TaskEndedPoster(const TaskEndedPoster&) = delete;
  TaskEndedPoster& operator=(const TaskEndedPoster&) = delete;

  void Post();
  // From the window procedure: true when the message was the poster's (kMessage, or WM_TIMER
  // with kTimer) and has been handed to queue.OnTaskEnded.
  bool Handle(UINT message, WPARAM wParam, TaskQueue& queue);

private:
  HWND window;
  bool handling = false;
  DWORD runStart = 0;
};
