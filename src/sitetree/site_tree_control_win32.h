// The tree view control over the site tree: one item per node, mirrored as the model changes.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "sitetree/site_tree.h"

class SiteTreeControl : public SiteTreeView {
public:
  // Called for the root of a branch about to be deleted, before its items go.
  std::function<void(SiteNode&)> onNodeDeleting;

  void Attach(HWND control, HIMAGELIST nodeImages);
  HWND Handle() const { return control; }

  void NodeAdded(SiteNode& node) override;
  void IconChanged(SiteNode& node) override;
  void LabelChanged(SiteNode& node) override;
  void NodeDeleting(SiteNode& node) override;

  // Answers the control's request for a node's picture (TVN_GETDISPINFO).
  void FillDisplayInfo(TVITEMA& item) const;

  // Empties the control (the model is cleared by its owner).
  void Clear();
  // Bulk changes (an import, emptying a big tree) run with redraw off and repaint once.
  void BeginBulk();
  void EndBulk();

  SiteNode* Selected() const;
  void Select(SiteNode& node);
  // The node under a point in screen coordinates, or none.
  SiteNode* NodeAt(POINT screen) const;
  // Screen point at the lower left of the node's text, for a menu opened from the keyboard.
  POINT MenuPointFor(SiteNode& node) const;

private:
  static SiteNode* NodeOf(HWND control, HTREEITEM item);
  static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

  HWND control = nullptr;
  WNDPROC controlProc = nullptr;
  int bulkDepth = 0;
};
