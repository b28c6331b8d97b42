// The tree page's pictures: the node images in NodeIcon order, and the busy animation's frames.
#pragma once
#include <windows.h>

#include <commctrl.h>

class TreePageImages {
public:
  explicit TreePageImages(HINSTANCE instance);
  ~TreePageImages();
  TreePageImages(const TreePageImages&) = delete;
  TreePageImages& operator=(const TreePageImages&) = delete;

  HIMAGELIST Nodes() const { return nodes; }
  HIMAGELIST Busy() const { return busy; }

private:
  HIMAGELIST nodes = nullptr;
  HIMAGELIST busy = nullptr;
};
