// How the window ends the server: closed by the user or the menu, or after the idle time
// without clients or user input.
#include "plotwright/view_win32.h"

void PlotView::CloseIfIdle() {
  ServerState& s = Server();
  DWORD idleMs = DWORD(s.options.idleSeconds) * 1000;
  if (s.locks == 0 && GetTickCount() - s.lastActivity >= idleMs) Close();
}

void PlotView::Close() {
  // Withdrawn while the window is still shown (destroying it hides it first), so that once it is
  // gone a new client starts a new server instead of reaching this one as it ends.
  WithdrawClassObject();
  DestroyWindow(frame);
}

void PlotView::OnDestroy() {
  WithdrawClassObject();
  Server().observer = nullptr;
  current.reset();
  PostQuitMessage(0);
}
