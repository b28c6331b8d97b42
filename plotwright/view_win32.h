// The main window: draws the current session's latest document, scrolls and zooms, saves it
// as SVG (by menu, and by itself when a run ends normally) and ends the server when closed or
// idle too long. One class, its jobs in files of their own: the frame and its children
// (view_win32.cpp), painting, scroll and zoom, the pointer's tooltip and links, saving, and
// closing.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "plotwright/geometry.h"
#include "plotwright/server_win32.h"

class LabelFonts;

class PlotView : public SessionObserver {
public:
  bool Create(HINSTANCE instance, int show);
  HWND window() const { return frame; }
  HACCEL accelerators() const { return acceleratorTable; }

  void OnSessionStarted(const std::shared_ptr<Session>& session) override;
  void OnDrawingChanged(Session& session) override;
  void OnRunEnded(Session& session, bool normal) override;

private:
  // The frame: its window procedures and what it shows besides the drawing.
  static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK CanvasProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleFrame(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleCanvas(UINT message, WPARAM wParam, LPARAM lParam);
  void OnSize();
  void OnCommand(int id);
  void OnTimer(UINT_PTR id);
  const Document* ShownDocument() const;
  void Refresh(bool viewChanged = true);  // bounds, scroll bars, status and a repaint
  RECT ViewRect() const;
  POINT PixelOf(Point chart) const;
  void SetStatus(const std::string& text);
  void UpdateTitle();

  // Painting (view_paint_win32.cpp).
  void OnPaint();
  void Paint(HDC dc, const RECT& area);
  void PaintLabel(HDC dc, const Shape& shape, double fontPixels, LabelFonts& fonts);

  // Scroll and zoom (view_scroll_win32.cpp).
  void OnScroll(int bar, int code);
  void OnWheel(WPARAM wParam, LPARAM lParam);
  void OnKey(WPARAM key);
  void OnZoomCommand(int id);
  void ScrollTo(double x, double y);
  void Zoom(double scale, Point anchor);
  void ZoomToFit();

  // The pointer: the tooltip of the shape under it, and the link a Ctrl+click opens
  // (view_pointer_win32.cpp).
  void CreateTooltip(HINSTANCE instance);
  void OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam);
  void OnClick(WPARAM wParam, LPARAM lParam, bool twice);
  int ShapeAtPixel(LPARAM lParam) const;
  void OpenLink(const Shape& shape);

  // Saving as SVG (view_save_win32.cpp).
  void ChooseFolder();
  void OnSaveAs();
  void SaveRunDrawing(const Session& session);
  bool SaveTo(const std::string& path);
  std::string NextDrawingPath();

  // Closing, by the user or when idle (view_close_win32.cpp).
  void CloseIfIdle();
  void Close();
  void OnDestroy();

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
