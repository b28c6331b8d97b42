#include "wizard/pages/picture_win32.h"

#include <vector>

#include "common/owners_win32.h"

namespace {

using Bitmap = GdiOwner<HBITMAP>;
using Palette = GdiOwner<HPALETTE>;

// One palette entry per colour of the bitmap's table, 2 to the power of its bits per pixel.
Palette PaletteOf(HDC memory, HBITMAP bitmap) {
  DIBSECTION section = {};
  if (!GetObjectA(bitmap, sizeof section, &section) || section.dsBmih.biBitCount > 8) return nullptr;
  UINT colours = 1u << section.dsBmih.biBitCount;
  std::vector<RGBQUAD> table(colours);
  HGDIOBJ old = SelectObject(memory, bitmap);
  colours = GetDIBColorTable(memory, 0, colours, table.data());
  SelectObject(memory, old);
  if (colours == 0) return nullptr;
  std::vector<char> storage(sizeof(LOGPALETTE) + colours * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(colours);
  for (UINT i = 0; i < colours; ++i)
    logical->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
  return Palette(CreatePalette(logical));
}

}  // namespace

void DrawPicture(HDC dc, int x, int y, HINSTANCE instance, UINT trueColorId, UINT paletteId) {
  bool trueColor = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) > 8;
  Bitmap bitmap(static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(trueColor ? trueColorId : paletteId),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) return;
  BITMAP size = {};
  GetObjectA(bitmap.get(), sizeof size, &size);
  MemoryDcOwner memory(CreateCompatibleDC(dc));
  Palette palette = trueColor ? nullptr : PaletteOf(memory.get(), bitmap.get());
  HPALETTE oldPalette = nullptr;
  if (palette) {
    oldPalette = SelectPalette(dc, palette.get(), FALSE);
    RealizePalette(dc);
  }
  HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
  BitBlt(dc, x, y, size.bmWidth, size.bmHeight, memory.get(), 0, 0, SRCCOPY);
  SelectObject(memory.get(), old);
  if (palette) {
    SelectPalette(dc, oldPalette, FALSE);
    RealizePalette(dc);
  }
}

void TransparentPictures::Add(HINSTANCE instance, UINT id, int width, int height) {
  if (!list) list.reset(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 3, 1));
  Bitmap bitmap(static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
  slots.push_back(list && bitmap ? ImageList_AddMasked(list.get(), bitmap.get(), RGB(255, 255, 255)) : -1);
}

void TransparentPictures::Draw(int index, HDC dc, int x, int y) const {
  if (index >= 0 && static_cast<size_t>(index) < slots.size() && slots[index] >= 0)
    ImageList_Draw(list.get(), slots[index], dc, x, y, ILD_TRANSPARENT);
}

POINT ControlOrigin(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  POINT origin = {rect.left, rect.top};
  ScreenToClient(GetParent(control), &origin);
  return origin;
}
