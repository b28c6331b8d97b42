#include "plotwright/view_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "plotwright/numbered_text_win32.h"
#include "plotwright/resource.h"

namespace {

constexpr char kClassName[] = "PlotwrightFrame";
constexpr char kCanvasClassName[] = "PlotwrightCanvas";
constexpr UINT_PTR kRedrawTimer = 1;
constexpr UINT_PTR kIdleTimer = 2;
// Changes arrive with every call; the window redraws at most this often while they do, so that
// a run's calls are not held up by repainting a drawing that grows.
constexpr UINT kRedrawDelayMs = 300;
constexpr double kMargin = 0.5;

}  // namespace

bool PlotView::Create(HINSTANCE instance, int show) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);
  wc.lpfnWndProc = CanvasProc;
  wc.hIcon = nullptr;
  wc.hbrBackground = nullptr;
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = kCanvasClassName;
  wc.style = CS_DBLCLKS;
  RegisterClassA(&wc);
  ChooseFolder();
  acceleratorTable = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));
  // Most of the screen, so that a fitted chart is drawn large enough for its labels.
  RECT work = {0, 0, 800, 600};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  int width = std::clamp(int((work.right - work.left) * 0.9), 640, 1280);
  int height = std::clamp(int((work.bottom - work.top) * 0.9), 480, 960);
  frame = CreateWindowExA(0, kClassName, "Plotwright", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                          CW_USEDEFAULT, width, height, nullptr, nullptr, instance, this);
  if (!frame) return false;
  canvas = CreateWindowExA(WS_EX_CLIENTEDGE, kCanvasClassName, "", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL |
                           WS_TABSTOP, 0, 0, 0, 0, frame, nullptr, instance, this);
  statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, frame,
                              nullptr, instance, nullptr);
  if (!canvas || !statusBar) return false;
  CreateTooltip(instance);
  statusText = FormatText(IDS_FOLDER, folder);
  // A journal asked for but not writable is said at once: a run would otherwise leave no trace.
  if (!Server().options.journal.empty() && !(Server().journal && Server().journal->isOpen()))
    statusText = FormatText(IDS_NO_JOURNAL, Server().options.journal);
  UpdateTitle();
  OnSize();
  SetTimer(frame, kIdleTimer, 1000, nullptr);
  ShowWindow(frame, show);
  UpdateWindow(frame);
  return true;
}

LRESULT CALLBACK PlotView::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* view = static_cast<PlotView*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    view->frame = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  }
  auto* view = reinterpret_cast<PlotView*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return view ? view->HandleFrame(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK PlotView::CanvasProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* view = static_cast<PlotView*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    view->canvas = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  }
  auto* view = reinterpret_cast<PlotView*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return view ? view->HandleCanvas(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT PlotView::HandleFrame(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: OnSize(); return 0;
    case WM_SETFOCUS: SetFocus(canvas); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_CLOSE: Close(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
  }
  return DefWindowProcA(frame, message, wParam, lParam);
}

LRESULT PlotView::HandleCanvas(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: Refresh(); return 0;
    case WM_HSCROLL: OnScroll(SB_HORZ, LOWORD(wParam)); return 0;
    case WM_VSCROLL: OnScroll(SB_VERT, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL: OnWheel(wParam, lParam); return 0;
    case WM_KEYDOWN: OnKey(wParam); return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: OnMouseMove(message, wParam, lParam); return 0;
    case WM_LBUTTONDOWN:
      OnMouseMove(message, wParam, lParam);
      SetFocus(canvas);
      OnClick(wParam, lParam, false);
      return 0;
    case WM_LBUTTONDBLCLK: OnClick(wParam, lParam, true); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
  }
  return DefWindowProcA(canvas, message, wParam, lParam);
}

void PlotView::OnSessionStarted(const std::shared_ptr<Session>& session) {
  current = session;
  paints = 0;
  paintTicks = 0;
  viewport = Viewport{};
  statusText = LoadText(IDS_RUNNING);
  UpdateTitle();
  Refresh();
}

void PlotView::OnDrawingChanged(Session& session) {
  if (current.get() != &session) {
    current = session.shared_from_this();
    UpdateTitle();
  }
  if (!redrawPending) {
    redrawPending = true;
    SetTimer(frame, kRedrawTimer, kRedrawDelayMs, nullptr);
  }
}

void PlotView::OnRunEnded(Session& session, bool normal) {
  if (current.get() != &session) current = session.shared_from_this();
  UpdateTitle();
  if (!normal) statusText = LoadText(IDS_RUN_ABORTED);
  else if (ShownDocument()) SaveRunDrawing(session);
  Refresh();
  ZoomToFit();
}

void PlotView::OnSize() {
  SendMessageA(statusBar, WM_SIZE, 0, 0);
  RECT client = {}, bar = {};
  GetClientRect(frame, &client);
  if (statusBar) GetWindowRect(statusBar, &bar);
  MoveWindow(canvas, 0, 0, client.right, std::max(0L, client.bottom - (bar.bottom - bar.top)), TRUE);
  Refresh();
}

void PlotView::OnCommand(int id) {
  switch (id) {
    case IDM_SAVE_SVG: OnSaveAs(); break;
    case IDM_EXIT: Close(); break;
    case IDM_ZOOM_IN:
    case IDM_ZOOM_OUT:
    case IDM_ZOOM_ACTUAL:
    case IDM_ZOOM_FIT: OnZoomCommand(id); break;
  }
}

void PlotView::OnTimer(UINT_PTR id) {
  if (id == kRedrawTimer) {
    // Shapes only come while a run goes on: the one under the pointer stays where it is.
    Refresh(false);
  } else if (id == kIdleTimer) {
    CloseIfIdle();
  }
}

const Document* PlotView::ShownDocument() const { return current ? current->app().latestDocument() : nullptr; }

RECT PlotView::ViewRect() const {
  RECT client = {};
  if (canvas) GetClientRect(canvas, &client);
  return client;
}

POINT PlotView::PixelOf(Point chart) const {
  Point p = viewport.ToPixel(chart);
  return {LONG(std::lround(p.x)), LONG(std::lround(p.y))};
}

void PlotView::Refresh(bool viewChanged) {
  redrawPending = false;
  if (viewChanged) hovered = -1;
  KillTimer(frame, kRedrawTimer);
  const Document* doc = ShownDocument();
  std::optional<Bounds> bounds = doc ? DrawingBounds(current->app(), *doc, kMargin) : std::nullopt;
  viewport.content = bounds.value_or(Bounds{0, 0, 2 * kMargin, 2 * kMargin});
  RECT r = ViewRect();
  viewport = Clamped(viewport, r.right, r.bottom);
  for (int bar : {SB_HORZ, SB_VERT}) {
    SCROLLINFO si = {sizeof si, SIF_ALL | SIF_DISABLENOSCROLL};
    si.nMax = int(bar == SB_HORZ ? viewport.contentWidth() : viewport.contentHeight());
    si.nPage = UINT(bar == SB_HORZ ? r.right : r.bottom) + 1;
    si.nPos = std::max(0, int(bar == SB_HORZ ? viewport.scrollX : viewport.scrollY));
    SetScrollInfo(canvas, bar, &si, TRUE);
  }
  int shapes = doc ? int(doc->shapes.size()) : 0, lines = doc ? int(doc->lines.size()) : 0;
  char counts[128], zoom[64];
  std::snprintf(counts, sizeof counts, LoadText(IDS_COUNTS).c_str(), shapes, lines);
  std::snprintf(zoom, sizeof zoom, LoadText(IDS_ZOOM).c_str(), int(std::lround(viewport.scale * 100 / kActualScale)));
  RECT client;
  GetClientRect(frame, &client);
  int parts[] = {std::max(100, int(client.right) - 230), std::max(200, int(client.right) - 90), -1};
  SendMessageA(statusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
  SendMessageA(statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(statusText.c_str()));
  SendMessageA(statusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(counts));
  SendMessageA(statusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(zoom));
  InvalidateRect(canvas, nullptr, FALSE);
}

void PlotView::SetStatus(const std::string& text) {
  statusText = text;
  SendMessageA(statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(statusText.c_str()));
}

void PlotView::UpdateTitle() {
  std::string title = "Plotwright " + Server().options.version;
  if (const Document* doc = ShownDocument()) title += " - document" + std::to_string(doc->number);
  SetWindowTextA(frame, title.c_str());
}
