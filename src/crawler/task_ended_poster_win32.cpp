#include "crawler/task_ended_poster_win32.h"

#include "crawler/task_queue.h"

namespace {
constexpr DWORD kLongestRunMilliseconds = 20;
}

TaskEndedPoster::~TaskEndedPoster() { KillTimer(window, kTimer); }

void TaskEndedPoster::Post() {
  // An end outside our own handling came from the network: the loop has been free since.
  if (!handling) runStart = GetTickCount();
  // A long run gives way only to what waits behind it: with nothing waiting, the timer's
  // pause would leave the thread idle.
  if (GetTickCount() - runStart >= kLongestRunMilliseconds &&
      !HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER)))
    runStart = GetTickCount();
  if (GetTickCount() - runStart < kLongestRunMilliseconds)
    PostMessageA(window, kMessage, 0, 0);
  else
    SetTimer(window, kTimer, USER_TIMER_MINIMUM, nullptr);
}

bool TaskEndedPoster::Handle(UINT message, WPARAM wParam, TaskQueue& queue) {
  if (message == WM_TIMER && wParam == kTimer) {
    KillTimer(window, kTimer);
    runStart = GetTickCount();  // a timer came through, so everything before it did too
  } else if (message != kMessage) {
    return false;
  }
  handling = true;
  queue.OnTaskEnded();
  handling = false;
  return true;
}
