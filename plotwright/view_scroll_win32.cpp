// Scrolling by the bars, the wheel and the keys, and zooming by the menu and by Ctrl+wheel about
// the point under the pointer.
#include "plotwright/view_win32.h"

#include <windowsx.h>

#include <cmath>

#include "plotwright/resource.h"

namespace {

constexpr double kZoomStep = 1.25;
constexpr int kLineStep = 40;

}  // namespace

void PlotView::ScrollTo(double x, double y) {
  viewport.scrollX = x;
  viewport.scrollY = y;
  Refresh();
}

void PlotView::OnScroll(int bar, int code) {
  SCROLLINFO si = {sizeof si, SIF_ALL};
  GetScrollInfo(canvas, bar, &si);
  double pos = si.nPos;
  switch (code) {
    case SB_LINEUP: pos -= kLineStep; break;
    case SB_LINEDOWN: pos += kLineStep; break;
    case SB_PAGEUP: pos -= si.nPage; break;
    case SB_PAGEDOWN: pos += si.nPage; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
  }
  if (bar == SB_HORZ) ScrollTo(pos, viewport.scrollY);
  else ScrollTo(viewport.scrollX, pos);
}

void PlotView::OnWheel(WPARAM wParam, LPARAM lParam) {
  int steps = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
  if (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) {
    POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(canvas, &at);
    Zoom(viewport.scale * std::pow(kZoomStep, steps), {double(at.x), double(at.y)});
  } else if (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT) {
    ScrollTo(viewport.scrollX - steps * 3 * kLineStep, viewport.scrollY);
  } else {
    ScrollTo(viewport.scrollX, viewport.scrollY - steps * 3 * kLineStep);
  }
}

void PlotView::OnKey(WPARAM key) {
  RECT r = ViewRect();
  switch (key) {
    case VK_LEFT: ScrollTo(viewport.scrollX - kLineStep, viewport.scrollY); break;
    case VK_RIGHT: ScrollTo(viewport.scrollX + kLineStep, viewport.scrollY); break;
    case VK_UP: ScrollTo(viewport.scrollX, viewport.scrollY - kLineStep); break;
    case VK_DOWN: ScrollTo(viewport.scrollX, viewport.scrollY + kLineStep); break;
    case VK_PRIOR: ScrollTo(viewport.scrollX, viewport.scrollY - r.bottom); break;
    case VK_NEXT: ScrollTo(viewport.scrollX, viewport.scrollY + r.bottom); break;
    case VK_HOME: ScrollTo(0, 0); break;
    case VK_END: ScrollTo(viewport.contentWidth(), viewport.contentHeight()); break;
  }
}

void PlotView::OnZoomCommand(int id) {
  RECT r = ViewRect();
  Point centre = {r.right / 2.0, r.bottom / 2.0};
  switch (id) {
    case IDM_ZOOM_IN: Zoom(viewport.scale * kZoomStep, centre); break;
    case IDM_ZOOM_OUT: Zoom(viewport.scale / kZoomStep, centre); break;
    case IDM_ZOOM_ACTUAL: Zoom(kActualScale, centre); break;
    case IDM_ZOOM_FIT: ZoomToFit(); break;
  }
}

void PlotView::Zoom(double scale, Point anchor) {
  RECT r = ViewRect();
  viewport = ZoomAbout(viewport, scale, anchor, r.right, r.bottom);
  Refresh();
}

void PlotView::ZoomToFit() {
  RECT r = ViewRect();
  viewport.scale = FitScale(viewport.content, r.right, r.bottom);
  viewport.scrollX = viewport.scrollY = 0;
  Refresh();
}
