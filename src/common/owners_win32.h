// Owners of Win32 handles, one idiom for every kind: an Owner closes its handle with the call
// that kind needs when it goes; a window's device context is given back when it goes.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <type_traits>

template <auto close>
struct Closer {
  template <class Handle>
  void operator()(Handle handle) const { close(handle); }
};
template <class Handle, auto close>
using Owner = std::unique_ptr<std::remove_pointer_t<Handle>, Closer<close>>;

using KeyOwner = Owner<HKEY, RegCloseKey>;
using HandleOwner = Owner<HANDLE, CloseHandle>;
using MemoryOwner = Owner<HGLOBAL, GlobalFree>;
template <class GdiObject>
using GdiOwner = Owner<GdiObject, DeleteObject>;
using MemoryDcOwner = Owner<HDC, DeleteDC>;
using ImageListOwner = Owner<HIMAGELIST, ImageList_Destroy>;

// A window's device context (GetDC), released when it goes; null when the window has none.
class WindowDc {
public:
  explicit WindowDc(HWND window) : window(window), dc(GetDC(window)) {}
  ~WindowDc() {
    if (dc) ReleaseDC(window, dc);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc; }

private:
  HWND window;
  HDC dc;
};
