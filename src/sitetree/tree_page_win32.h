// The tree page: the site tree while the crawl fills it. An empty page until the tree page lands.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "sitetree/site_tree.h"

class CTreeDialog {
public:
  HPROPSHEETPAGE CreatePage(HINSTANCE instance);
  SiteTree& Tree() { return tree; }

private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnNotify(HWND window, const NMHDR& header);

  SiteTree tree;
};
