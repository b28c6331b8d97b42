// The pages' pictures: a bitmap resource in the display's own colours or through its palette,
// and pictures drawn with white left transparent.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "common/owners_win32.h"

// Draws bitmap trueColorId at (x, y) when the display has more than 8 bits per pixel; otherwise
// bitmap paletteId, through a palette made from its own colour table. Draws nothing without it.
void DrawPicture(HDC dc, int x, int y, HINSTANCE instance, UINT trueColorId, UINT paletteId);

// An image list of pictures in which white is transparent.
class TransparentPictures {
public:
  // Adds bitmap `id` (width by height); a missing bitmap leaves a gap that draws nothing.
  void Add(HINSTANCE instance, UINT id, int width, int height);
  void Draw(int index, HDC dc, int x, int y) const;

private:
  ImageListOwner list;
  std::vector<int> slots;  // the list's index of each picture added, -1 for a missing one
};

// The top-left corner of a control in its parent's client area.
POINT ControlOrigin(HWND control);
