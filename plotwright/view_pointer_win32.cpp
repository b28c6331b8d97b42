// The pointer over the canvas: a tooltip with the whole label and link of the shape under it,
// and a Ctrl+click that opens the shape's link when it is one that may be opened.
#include "plotwright/view_win32.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "plotwright/link_target.h"
#include "plotwright/numbered_text_win32.h"
#include "plotwright/resource.h"

namespace {

// The tooltip control keeps at most this much text.
constexpr std::size_t kLongestTip = 1000;

}  // namespace

void PlotView::CreateTooltip(HINSTANCE instance) {
  // One tool over the whole canvas; its rectangle and text follow the shape under the pointer.
  // A window of the W calls, so that a label shows in every character it has.
  tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, canvas, nullptr, instance,
                            nullptr);
  if (tooltip) {
    TTTOOLINFOW tool = {TTTOOLINFOW_V2_SIZE};
    tool.hwnd = canvas;
    tool.uId = 1;
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // A width makes the control break long labels and honour the line feed before the address.
    SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, 480);
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
    TTTOOLINFOW tool = {TTTOOLINFOW_V2_SIZE};
    tool.hwnd = canvas;
    tool.uId = 1;
    std::wstring text;
    if (shape) {
      const Shape& s = current->app().shape(shape);
      Bounds b = ShapeBox(s.master, {s.x, s.y}).Union(s.labelLines.empty() ? LabelBox(s.master, {s.x, s.y}) : LabelArea(s));
      POINT a = PixelOf({b.left, b.top}), z = PixelOf({b.right, b.bottom});
      tool.rect = {a.x, a.y, z.x + 1, z.y + 1};
      text = WideText(HoverText(s));
      if (text.size() > kLongestTip) {
        text.resize(kLongestTip - 3);
        if (text.back() >= 0xD800 && text.back() <= 0xDBFF) text.pop_back();  // half a pair
        text += L"...";
      }
    }
    // Off every shape the tool has no area and no text, so nothing shows.
    SendMessageW(tooltip, TTM_POP, 0, 0);
    SendMessageW(tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  MSG relayed = {canvas, message, wParam, lParam};
  SendMessageW(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
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
    DWORD attributes = GetFileAttributesW(WideText(target.address).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      SetStatus(FormatText(IDS_NO_PAGE, AnsiText(target.address)));
      return;
    }
  }
  if (target.kind == LinkKind::None) {
    SetStatus(FormatText(IDS_LINK_REFUSED, AnsiText(s.linkCommand.empty() ? s.linkAddress : s.linkCommand)));
    return;
  }
  // The shell opens the address with whatever the system has for it; nothing of the link's
  // command line is run.
  auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(frame, L"open", WideText(target.address).c_str(), nullptr,
                                                         nullptr, SW_SHOWNORMAL));
  SetStatus(FormatText(result > 32 ? IDS_LINK_OPENED : IDS_LINK_FAILED, AnsiText(target.address)));
}
