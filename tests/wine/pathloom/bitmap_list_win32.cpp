// bitmap_list PROGRAM.EXE
// Loads each bitmap resource of the program as the pages do and prints one line per bitmap:
// id, width, height, bits per pixel, entries of its colour table.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct ModuleFree { void operator()(HMODULE m) const { FreeLibrary(m); } };
struct BitmapFree { void operator()(HBITMAP b) const { DeleteObject(b); } };
struct DcFree { void operator()(HDC dc) const { DeleteDC(dc); } };

BOOL CALLBACK CollectId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids) {
  if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<WORD>*>(ids)->push_back(LOWORD(name));
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::unique_ptr<HINSTANCE__, ModuleFree> module(LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return 3;
  std::vector<WORD> ids;
  EnumResourceNamesA(module.get(), RT_BITMAP, CollectId, reinterpret_cast<LONG_PTR>(&ids));
  std::unique_ptr<HDC__, DcFree> dc(CreateCompatibleDC(nullptr));
  for (WORD id : ids) {
    std::unique_ptr<HBITMAP__, BitmapFree> bitmap(static_cast<HBITMAP>(
        LoadImageA(module.get(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    DIBSECTION dib{};
    if (!bitmap || GetObjectA(bitmap.get(), sizeof dib, &dib) != sizeof dib) {
      printf("%u unreadable\n", id);
      continue;
    }
    HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
    RGBQUAD table[256];
    UINT entries = GetDIBColorTable(dc.get(), 0, 256, table);
    SelectObject(dc.get(), old);
    printf("%u %ld %ld %u %u\n", id, static_cast<long>(dib.dsBmih.biWidth), static_cast<long>(dib.dsBmih.biHeight),
           dib.dsBmih.biBitCount, entries);
  }
  return 0;
}
