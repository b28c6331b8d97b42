// The tree view control over the site tree: one item per node, mirrored as the model changes,
// except in a large tree, where a node's links get their items when it is opened.
// Changes are made with the control's redraw off and shown together (ShowChanges, once per
// tick): a tree view lays out every open item again after each insert it may draw, so
// showing each node as it comes costs time in proportion to the whole tree.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "site/site_tree.h"
#include "wizard/pages/tree_page_rules.h"

class SiteTreeViewWin32 : public SiteTreeView {
public:
  // Called for the root of a branch about to be deleted, before its items go.
  std::function<void(SiteNode&)> onNodeDeleting;

  // The control shows `shown`, which it answers TVM_GETCOUNT from.
  void Attach(HWND control, HIMAGELIST nodeImages, const SiteTree& shown);
  HWND Handle() const { return control; }

  // Throws std::bad_alloc when the control cannot take the item or the program's address
  // space runs low.
  void NodeAdded(SiteNode& node) override;
  void IconChanged(SiteNode& node) override;
  void LabelChanged(SiteNode& node) override;
  void NodeDeleting(SiteNode& node) override;

  // Answers the control's request for a node's picture (TVN_GETDISPINFO).
  void FillDisplayInfo(TVITEMA& item) const;
  // A node is being opened (TVN_ITEMEXPANDING): its children get their items if they have none.
  void Opening(SiteNode& node);

  // Lays out and repaints what changed since it was last called, when ShowPacing says so.
  void ShowChanges();

  // Empties the control (the model is cleared by its owner).
  void Clear();
  // Bulk changes (an import, emptying a big tree) are shown at their end, at once.
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

  void InsertItem(SiteNode& node, bool closed);
  void ShowClosed(SiteNode& node);
  // Turns redraw off until the changes are shown.
  void Hold();
  void Show();

  HWND control = nullptr;
  const SiteTree* tree = nullptr;
  WNDPROC controlProc = nullptr;
  int bulkDepth = 0;
  bool held = false;
  // Rows repainted one by one since the last showing; past a few the control is held instead.
  int rowsInvalidated = 0;
  ShowPacing pacing;
  unsigned insertsSinceRoomCheck = 0;
};
