// The stand-in's owners of Win32 handles, one idiom for every kind: each releases its handle,
// when it has one, with the call that kind needs.
#pragma once
#include <windows.h>

template <typename Handle, auto release>
class Owned {
public:
  explicit Owned(Handle handle = nullptr) : owned(handle) {}
  ~Owned() {
    if (owned) release(owned);
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Handle get() const { return owned; }
  // For a call that hands the handle out through a pointer; the owner holds none yet.
  Handle* out() { return &owned; }

private:
  Handle owned;
};

using Key = Owned<HKEY, RegCloseKey>;
template <typename T>
using GdiObject = Owned<T, DeleteObject>;
using MemoryDc = Owned<HDC, DeleteDC>;
