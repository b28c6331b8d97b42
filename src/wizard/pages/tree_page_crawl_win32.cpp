// The tree page as the crawler sees it: status lines, counters, the busy picture, the end of a
// task, the settings fields read again as a task starts, no room for more nodes, and the time-out.
#include <string>
#include <utility>

#include "crawler/task_ended_poster_win32.h"
#include "crawler/task_queue.h"
#include "resources/pathloom/resource.h"
#include "wizard/pages/tree_page_win32.h"
#include "wizard/pages/wizard_page_win32.h"

void CTreeDialog::AddStatusLine(const std::string& line) {
  if (!closing) statusLog.Add(line);
}

void CTreeDialog::ShowStatusLines() {
  // A person reads a few lines a second; a redraw per line would slow a fast crawl down.
  DWORD now = GetTickCount();
  if (now - statusShown < kStatusRefreshMilliseconds || !statusLog.TakeChanged()) return;
  statusShown = now;
  HWND list = GetDlgItem(page, IDC_STATUS_LIST);
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : statusLog.Lines())
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  SendMessageA(list, LB_SETCURSEL, statusLog.Lines().size() - 1, 0);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void CTreeDialog::ShowActiveCounter(const std::string& text) {
  SetDlgItemTextA(page, IDC_ACTIVE_COUNTER, text.c_str());
}

void CTreeDialog::ShowQueueCounter(const std::string& text) {
  SetDlgItemTextA(page, IDC_QUEUE_COUNTER, text.c_str());
}

void CTreeDialog::NextBusyFrame() {
  // The frame is drawn by the picture's next paint, the frame number moves on at once.
  shownFrame = animation.Frame();
  animation.Advance();
  InvalidateRect(GetDlgItem(page, IDC_BUSY_PICTURE), nullptr, FALSE);
}

void CTreeDialog::PostTaskEnded() {
  if (taskEnded) taskEnded->Post();
}

void CTreeDialog::TaskWasLocal() { localCrawl = true; }

SettingsFieldValues CTreeDialog::RereadFields() {
  reread = ReadSettingsFields(ControlText(GetDlgItem(page, IDC_TREE_DEPTH)),
                              ControlText(GetDlgItem(page, IDC_TREE_TIMEOUT)));
  return {reread.depth, reread.timeoutSeconds};
}

void CTreeDialog::ComplainAboutFields() {
  const SettingsFields fields = std::exchange(reread, {});
  if (fields.complaint.empty()) {
    complainedAbout.clear();
    return;
  }
  // The message box runs the message loop, whose tick starts the next task and reads the
  // fields again: without this the boxes would pile up, one per task.
  int field = fields.complaintAboutTimeout ? IDC_TREE_TIMEOUT : IDC_TREE_DEPTH;
  std::string about = std::to_string(field) + ":" + ControlText(GetDlgItem(page, field));
  if (complaining || about == complainedAbout) return;
  complainedAbout = about;
  complaining = true;
  shell.MessageBoxText(fields.complaint);
  complaining = false;
  SetFocus(GetDlgItem(page, field));
}

void CTreeDialog::NoRoomForNodes() { memoryFull = true; }

void CTreeDialog::ArmTimeout(unsigned milliseconds) { SetTimer(page, kTimeoutTimer, milliseconds, nullptr); }

void CTreeDialog::DisarmTimeout() { KillTimer(page, kTimeoutTimer); }
