// The tree page's pictures: the node images in NodeIcon order, and the busy animation's frames.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "common/owners_win32.h"

class TreePageImages {
public:
  explicit TreePageImages(HINSTANCE instance);

  HIMAGELIST Nodes() const { return nodes.get(); }
  HIMAGELIST Busy() const { return busy.get(); }

private:
  ImageListOwner nodes;
  ImageListOwner busy;
};
