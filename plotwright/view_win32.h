// The main window: draws the current session's latest document, scrolls and zooms, saves it
// as SVG (by menu, and by itself when a run ends normally) and ends the server when closed or
// idle too long.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "plotwright/geometry.h"
#include "plotwright/server_win32.h"

class PlotView : public SessionObserver {
public:
  bool Create(HINSTANCE instance, int show);
  HWND window() const { return frame; }
  HACCEL accelerators() const { return acceleratorTable; }

  void OnSessionStarted(const std::shared_ptr<Session>& session) override;
  void OnDrawingChanged(Session& session) override;
  void OnRunEnded(Session& session, bool normal) override;

private:
  static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK CanvasProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleFrame(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleCanvas(UINT message, WPARAM wParam, LPARAM lParam);
  void OnPaint();
  void OnSize();
  void OnScroll(int bar, int code);
  void OnWheel(WPARAM wParam, LPARAM lParam);
  void OnKey(WPARAM key);
  void OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam);
  void OnClick(WPARAM wParam, LPARAM lParam, bool twice);
  void OpenLink(const Shape& shape);
  void OnCommand(int id);
  void OnTimer(UINT_PTR id);
  void OnSaveAs();
  void Close();

  void Paint(HDC dc, const RECT& area);
  void PaintLabel(HDC dc, const Shape& shape, double fontPixels);
  int ShapeAtPixel(LPARAM lParam) const;
  const Document* ShownDocument() const;
  void Refresh(bool viewChanged = true);  // bounds, scroll bars, status and a repaint
  void ScrollTo(double x, double y);
  void Zoom(double scale, Point anchor);
  void ZoomToFit();
  RECT ViewRect() const;
  void SetStatus(const std::string& text);
  void UpdateTitle();
  bool SaveTo(const std::string& path);
  std::string NextDrawingPath();

  HWND frame = nullptr;
  HWND canvas = nullptr;  // the drawing, with its scroll bars
  HWND statusBar = nullptr;
  HWND tooltip = nullptr;
  int hovered = -1;  // the shape the tooltip is set for; 0 none, -1 not known since the view changed
  HACCEL acceleratorTable = nullptr;
  std::shared_ptr<Session> current;
  Viewport viewport;
  std::string folder;
  std::string statusText;
  int saves = 0;
  bool redrawPending = false;
  // Repaints since the current session started, and their time in performance-counter ticks.
  int paints = 0;
  LONGLONG paintTicks = 0;
};

// Text of a numbered string, with %s or %d filled in.
std::string LoadText(UINT id);
