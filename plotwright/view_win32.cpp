#include "plotwright/view_win32.h"

#include <commctrl.h>
#include <windowsx.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "plotwright/label_wrap.h"
#include "plotwright/link_target.h"
#include "plotwright/resource.h"
#include "plotwright/svg_writer.h"

namespace {

constexpr char kClassName[] = "PlotwrightFrame";
constexpr char kCanvasClassName[] = "PlotwrightCanvas";
constexpr UINT_PTR kRedrawTimer = 1;
constexpr UINT_PTR kIdleTimer = 2;
// Changes arrive with every call; the window redraws at most this often while they do, so that
// a run's calls are not held up by repainting a drawing that grows.
constexpr UINT kRedrawDelayMs = 300;
// Labels are drawn down to this font size in pixels; below it a grey bar stands for each line.
constexpr double kSmallestFont = 3.0;
constexpr double kSmallestEdgedFont = 8.0;
// The tooltip control keeps at most this much text.
constexpr std::size_t kLongestTip = 1000;
constexpr double kMargin = 0.5;
constexpr double kZoomStep = 1.25;
constexpr int kLineStep = 40;

template <typename T>
class GdiObject {
public:
  explicit GdiObject(T handle) : object(handle) {}
  ~GdiObject() {
    if (object) DeleteObject(object);
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  T get() const { return object; }

private:
  T object;
};

class Selected {
public:
  Selected(HDC context, HGDIOBJ object) : dc(context), old(SelectObject(context, object)) {}
  ~Selected() { SelectObject(dc, old); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

private:
  HDC dc;
  HGDIOBJ old;
};

COLORREF Colour(Rgb c) {
  Rgb d = DrawnColour(c);
  return RGB(d.r, d.g, d.b);
}

std::string Format(UINT id, const std::string& text) {
  std::string format = LoadText(id);
  std::vector<char> buffer(format.size() + text.size() + 64);
  std::snprintf(buffer.data(), buffer.size(), format.c_str(), text.c_str());
  return buffer.data();
}

std::string DefaultFolder() {
  char documents[MAX_PATH] = "";
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, documents)) || !documents[0])
    GetTempPathA(MAX_PATH, documents);
  std::string folder = documents;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + "Plotwright Drawings";
}

// Creates the folder and any missing folder above it.
bool MakeFolder(const std::string& folder) {
  for (std::size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1))
    CreateDirectoryA(folder.substr(0, at).c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
  DWORD attributes = GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

POINT ToPoint(Point p) { return {LONG(std::lround(p.x)), LONG(std::lround(p.y))}; }

}  // namespace

std::string LoadText(UINT id) {
  char buffer[1024] = "";
  LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
  return buffer;
}

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
  folder = Server().options.svgFolder.empty() ? DefaultFolder() : Server().options.svgFolder;
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
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
  // One tool over the whole canvas; its rectangle and text follow the shape under the pointer.
  tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, canvas, nullptr, instance,
                             nullptr);
  if (tooltip) {
    TTTOOLINFOA tool = {TTTOOLINFOA_V2_SIZE};
    tool.hwnd = canvas;
    tool.uId = 1;
    tool.lpszText = const_cast<char*>("");
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    // A width makes the control break long labels and honour the line feed before the address.
    SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, 480);
  }
  statusText = Format(IDS_FOLDER, folder);
  // A journal asked for but not writable is said at once: a run would otherwise leave no trace.
  if (!Server().options.journal.empty() && !(Server().journal && Server().journal->isOpen()))
    statusText = Format(IDS_NO_JOURNAL, Server().options.journal);
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
    case WM_DESTROY:
      WithdrawClassObject();
      Server().observer = nullptr;
      current.reset();
      PostQuitMessage(0);
      return 0;
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
  if (!normal) {
    statusText = LoadText(IDS_RUN_ABORTED);
  } else if (ShownDocument()) {
    double perMs = double(TicksPerSecond()) / 1000.0;
    char cost[160];
    std::snprintf(cost, sizeof cost, "# cost %d calls answered in %.1f ms, %d repaints in %.1f ms",
                  session.callsAnswered(), double(session.answerTicks()) / perMs, paints, double(paintTicks) / perMs);
    JournalNote(cost);
    std::string path = NextDrawingPath();
    bool saved = MakeFolder(folder) && SaveTo(path);
    JournalNote((saved ? "# svg " : "# svg-failed ") + path);
    statusText = saved ? Format(IDS_SAVED, path) : Format(IDS_SAVE_FAILED, path);
  }
  Refresh();
  ZoomToFit();
}

const Document* PlotView::ShownDocument() const { return current ? current->app().latestDocument() : nullptr; }

RECT PlotView::ViewRect() const {
  RECT client = {};
  if (canvas) GetClientRect(canvas, &client);
  return client;
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

void PlotView::UpdateTitle() {
  std::string title = "Plotwright " + Server().options.version;
  if (const Document* doc = ShownDocument()) title += " - document" + std::to_string(doc->number);
  SetWindowTextA(frame, title.c_str());
}

void PlotView::OnPaint() {
  LONGLONG start = Ticks();
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(canvas, &ps);
  RECT r = ViewRect();
  if (r.right > 0 && r.bottom > 0) {
    // Drawn off screen first, so a drawing of many shapes does not flicker as it grows.
    HDC memory = CreateCompatibleDC(dc);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, r.right, r.bottom));
    {
      Selected keep(memory, bitmap.get());
      Paint(memory, r);
      BitBlt(dc, 0, 0, r.right, r.bottom, memory, 0, 0, SRCCOPY);
    }
    DeleteDC(memory);
  }
  EndPaint(canvas, &ps);
  ++paints;
  paintTicks += Ticks() - start;
}

void PlotView::Paint(HDC dc, const RECT& area) {
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const Document* doc = ShownDocument();
  SetBkMode(dc, TRANSPARENT);
  if (!doc || doc->shapes.empty()) {
    std::string text = LoadText(IDS_WAITING);
    RECT box = area;
    DrawTextA(dc, text.c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    return;
  }
  const Application& app = current->app();
  Point topLeft = viewport.ToChart({0, 0}), bottomRight = viewport.ToChart({double(area.right), double(area.bottom)});
  auto visible = [&](const Bounds& b) {
    return b.right >= topLeft.x && b.left <= bottomRight.x && b.bottom >= topLeft.y && b.top <= bottomRight.y;
  };
  auto pixels = [&](const std::vector<Point>& points) {
    std::vector<POINT> out;
    for (const Point& p : points) out.push_back(ToPoint(viewport.ToPixel(p)));
    return out;
  };

  GdiObject<HPEN> solid(CreatePen(PS_SOLID, 1, RGB(80, 80, 80)));
  GdiObject<HPEN> dotted(CreatePen(PS_DOT, 1, RGB(80, 80, 80)));
  for (int n : doc->lines) {
    const Line& l = app.line(n);
    const Shape &from = app.shape(l.from), &to = app.shape(l.to);
    if (!from.placed || !to.placed) continue;
    if (!visible(ShapeBox(from.master, {from.x, from.y}).Union(ShapeBox(to.master, {to.x, to.y})))) continue;
    std::vector<POINT> route = pixels(LineRoute(l, from, to));
    Selected pen(dc, l.laidOut ? solid.get() : dotted.get());
    Polyline(dc, route.data(), int(route.size()));
  }

  GdiObject<HPEN> outline(CreatePen(PS_SOLID, 1, RGB(32, 32, 32)));
  double fontPixels = kFontSize * viewport.scale;
  GdiObject<HFONT> font(CreateFontA(-int(std::lround(fontPixels)), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_SWISS, "Arial"));
  Selected pen(dc, outline.get());
  Selected typeface(dc, font.get());
  SetTextAlign(dc, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
  SetTextColor(dc, RGB(0, 0, 0));
  for (int n : doc->shapes) {
    const Shape& s = app.shape(n);
    if (!s.placed || !visible(ShapeExtent(s))) continue;
    GdiObject<HBRUSH> fill(CreateSolidBrush(Colour(s.fill.value_or(MasterFill(s.master)))));
    Selected brush(dc, fill.get());
    for (const Figure& f : ShapeOutline(s.master, {s.x, s.y})) {
      std::vector<POINT> p = pixels(f.points);
      switch (f.kind) {
        case FigureKind::Polygon: Polygon(dc, p.data(), int(p.size())); break;
        case FigureKind::Ellipse: Ellipse(dc, p[0].x, p[0].y, p[1].x + 1, p[1].y + 1); break;
        case FigureKind::Stroke: Polyline(dc, p.data(), int(p.size())); break;
      }
    }
    PaintLabel(dc, s, fontPixels);
  }
}

void PlotView::PaintLabel(HDC dc, const Shape& s, double fontPixels) {
  // A label taller than its box crosses the outline: its lines get a white edge, as in the SVG,
  // where the letters are large enough to keep their shape inside one.
  bool edged = fontPixels >= kSmallestEdgedFont &&
               s.labelLines.size() * kLineHeight > LabelBox(s.master, {s.x, s.y}).height();
  for (std::size_t i = 0; i < s.labelLines.size(); ++i) {
    const LabelLine& line = s.labelLines[i];
    Point origin = viewport.ToPixel(LabelLineOrigin(s, i));
    if (fontPixels < kSmallestFont) {
      // Too small to read: a bar the width of the line, as tall as its lower-case letters.
      double height = std::max(1.0, fontPixels * 0.5);
      RECT bar = {LONG(std::lround(origin.x)), LONG(std::lround(origin.y - height)),
                  LONG(std::lround(origin.x + line.width * viewport.scale)), LONG(std::lround(origin.y))};
      if (bar.right <= bar.left) bar.right = bar.left + 1;
      if (bar.bottom <= bar.top) bar.bottom = bar.top + 1;
      FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
      continue;
    }
    // Each character is placed where the width model puts it, so the lines stay as wide as
    // they were wrapped, whatever the face and size the system draws them in.
    std::vector<INT> advances(line.text.size());
    double x = 0.0;
    for (std::size_t c = 0; c < line.text.size(); ++c) {
      double next = x + CharWidth(line.text[c]) * viewport.scale;
      advances[c] = INT(std::lround(next) - std::lround(x));
      x = next;
    }
    int left = int(std::lround(origin.x)), baseline = int(std::lround(origin.y));
    if (edged) {
      SetTextColor(dc, RGB(255, 255, 255));
      for (POINT d : {POINT{-1, 0}, POINT{1, 0}, POINT{0, -1}, POINT{0, 1}})
        ExtTextOutA(dc, left + d.x, baseline + d.y, 0, nullptr, line.text.c_str(), UINT(line.text.size()),
                    advances.data());
      SetTextColor(dc, RGB(0, 0, 0));
    }
    ExtTextOutA(dc, left, baseline, 0, nullptr, line.text.c_str(), UINT(line.text.size()), advances.data());
  }
}

int PlotView::ShapeAtPixel(LPARAM lParam) const {
  const Document* doc = ShownDocument();
  if (!doc) return 0;
  return ShapeAt(current->app(), *doc, viewport.ToChart({double(GET_X_LPARAM(lParam)), double(GET_Y_LPARAM(lParam))}));
}

void PlotView::OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!tooltip) return;
  int shape = ShapeAtPixel(lParam);
  if (shape != hovered) {
    hovered = shape;
    TTTOOLINFOA tool = {TTTOOLINFOA_V2_SIZE};
    tool.hwnd = canvas;
    tool.uId = 1;
    std::string text;
    if (shape) {
      const Shape& s = current->app().shape(shape);
      Bounds b = ShapeBox(s.master, {s.x, s.y}).Union(s.labelLines.empty() ? LabelBox(s.master, {s.x, s.y}) : LabelArea(s));
      POINT a = ToPoint(viewport.ToPixel({b.left, b.top})), z = ToPoint(viewport.ToPixel({b.right, b.bottom}));
      tool.rect = {a.x, a.y, z.x + 1, z.y + 1};
      text = HoverText(s);
      if (text.size() > kLongestTip) text = text.substr(0, kLongestTip - 3) + "...";
    }
    // Off every shape the tool has no area and no text, so nothing shows.
    SendMessageA(tooltip, TTM_POP, 0, 0);
    SendMessageA(tooltip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  MSG relayed = {canvas, message, wParam, lParam};
  SendMessageA(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void PlotView::OnClick(WPARAM wParam, LPARAM lParam, bool twice) {
  // A Ctrl+click opens at once; the second click of a Ctrl+double-click does not open again.
  bool control = wParam & MK_CONTROL;
  if (twice == control) return;
  if (int shape = ShapeAtPixel(lParam)) OpenLink(current->app().shape(shape));
}

void PlotView::OpenLink(const Shape& s) {
  if (s.linkCommand.empty() && s.linkAddress.empty()) {
    SetStatus(LoadText(IDS_NO_LINK));
    return;
  }
  LinkTarget target = LinkToOpen(s.linkCommand, s.linkAddress);
  if (target.kind == LinkKind::LocalPage) {
    DWORD attributes = GetFileAttributesA(target.address.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      SetStatus(Format(IDS_NO_PAGE, target.address));
      return;
    }
  }
  if (target.kind == LinkKind::None) {
    SetStatus(Format(IDS_LINK_REFUSED, s.linkCommand.empty() ? s.linkAddress : s.linkCommand));
    return;
  }
  // The shell opens the address with whatever the system has for it; nothing of the link's
  // command line is run.
  auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(frame, "open", target.address.c_str(), nullptr, nullptr,
                                                         SW_SHOWNORMAL));
  SetStatus(Format(result > 32 ? IDS_LINK_OPENED : IDS_LINK_FAILED, target.address));
}

void PlotView::SetStatus(const std::string& text) {
  statusText = text;
  SendMessageA(statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(statusText.c_str()));
}

void PlotView::OnSize() {
  SendMessageA(statusBar, WM_SIZE, 0, 0);
  RECT client = {}, bar = {};
  GetClientRect(frame, &client);
  if (statusBar) GetWindowRect(statusBar, &bar);
  MoveWindow(canvas, 0, 0, client.right, std::max(0L, client.bottom - (bar.bottom - bar.top)), TRUE);
  Refresh();
}

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

void PlotView::OnCommand(int id) {
  RECT r = ViewRect();
  Point centre = {r.right / 2.0, r.bottom / 2.0};
  switch (id) {
    case IDM_SAVE_SVG: OnSaveAs(); break;
    case IDM_EXIT: Close(); break;
    case IDM_ZOOM_IN: Zoom(viewport.scale * kZoomStep, centre); break;
    case IDM_ZOOM_OUT: Zoom(viewport.scale / kZoomStep, centre); break;
    case IDM_ZOOM_ACTUAL: Zoom(kActualScale, centre); break;
    case IDM_ZOOM_FIT: ZoomToFit(); break;
  }
}

void PlotView::OnTimer(UINT_PTR id) {
  if (id == kRedrawTimer) {
    // Shapes only come while a run goes on: the one under the pointer stays where it is.
    Refresh(false);
    return;
  }
  ServerState& s = Server();
  DWORD idleMs = DWORD(s.options.idleSeconds) * 1000;
  if (id == kIdleTimer && s.locks == 0 && GetTickCount() - s.lastActivity >= idleMs) Close();
}

void PlotView::Close() {
  // Withdrawn while the window is still shown (destroying it hides it first), so that once it is
  // gone a new client starts a new server instead of reaching this one as it ends.
  WithdrawClassObject();
  DestroyWindow(frame);
}

void PlotView::OnSaveAs() {
  if (!ShownDocument()) {
    std::string text = LoadText(IDS_NOTHING_TO_SAVE);
    MessageBoxA(frame, text.c_str(), "Plotwright", MB_OK | MB_ICONINFORMATION);
    return;
  }
  std::string filter = LoadText(IDS_SVG_FILTER);
  std::replace(filter.begin(), filter.end(), '|', '\0');
  char file[MAX_PATH] = "";
  std::snprintf(file, sizeof file, "document%d.svg", ShownDocument()->number);
  MakeFolder(folder);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = frame;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = folder.c_str();
  ofn.lpstrDefExt = "svg";
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetSaveFileNameA(&ofn)) return;
  if (SaveTo(file)) {
    JournalNote(std::string("# svg ") + file);
    statusText = Format(IDS_SAVED, file);
    Refresh();
  } else {
    std::string text = Format(IDS_SAVE_FAILED, file);
    MessageBoxA(frame, text.c_str(), "Plotwright", MB_OK | MB_ICONEXCLAMATION);
  }
}

bool PlotView::SaveTo(const std::string& path) {
  const Document* doc = ShownDocument();
  if (!doc) return false;
  std::string svg = SvgDocument(current->app(), *doc);
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) return false;
  bool ok = std::fwrite(svg.data(), 1, svg.size(), file.get()) == svg.size();
  return std::fclose(file.release()) == 0 && ok;
}

std::string PlotView::NextDrawingPath() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char name[64];
  std::snprintf(name, sizeof name, "\\plotwright-%04d%02d%02d-%02d%02d%02d-%d.svg", t.wYear, t.wMonth, t.wDay,
                t.wHour, t.wMinute, t.wSecond, ++saves);
  return folder + name;
}
