#include "wizard/pages/site_tree_view_win32.h"

#include <new>

namespace {

HTREEITEM ItemOf(const SiteNode& node) { return static_cast<HTREEITEM>(node.viewItem); }

bool ShiftF10(UINT message, WPARAM key) {
  return (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP) && key == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000);
}

constexpr int kMostRowsInvalidated = 32;
// Address space kept for all but the tree (a page's links, a chart run, a message box): a
// 32-bit program has 4 GB at most, and a densely linked site fills it with nodes.
constexpr DWORDLONG kReservedAddressSpace = 192ull << 20;
constexpr unsigned kInsertsBetweenRoomChecks = 256;
// Wine's tree view walks every open item to lay them out at each showing, at each paint and at
// each change to a shown item, and looks an item up by a search of all items at each message
// naming it (emptying it costs the square of its items). Once the tree has this many nodes,
// each with its item until then, a node's links get no items: the node shows its + and they
// get theirs when it is opened. The model holds the whole tree, at a few dozen bytes a node.
constexpr size_t kMostItems = 100000;

bool RoomLeft() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  return !GlobalMemoryStatusEx(&status) || status.ullAvailVirtual >= kReservedAddressSpace;
}

}  // namespace

// Shift+F10 asks for the context menu, as the menu key does (Wine's tree view does not).
// Subclassed by hand: older common controls export SetWindowSubclass by ordinal only.
LRESULT CALLBACK SiteTreeViewWin32::ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  // In the window's own user data, not a property: under Wine reading a property asks the
  // server, and every message to the control comes through here.
  auto* self = reinterpret_cast<SiteTreeViewWin32*>(GetWindowLongPtrA(control, GWLP_USERDATA));
  if (ShiftF10(message, wParam)) {
    if (message == WM_SYSKEYDOWN)
      SendMessageA(GetParent(control), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), -1);
    return 0;
  }
  // The tree's size, not the items': a closed branch holds nodes that have no items yet.
  if (message == TVM_GETCOUNT && self->tree) return static_cast<LRESULT>(self->tree->NodeCount());
  WNDPROC original = self->controlProc;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    SetWindowLongPtrA(control, GWLP_USERDATA, 0);
  }
  if (message != WM_PAINT) return CallWindowProcA(original, control, message, wParam, lParam);
  // A paint is part of the cost of showing (Wine also walks every open item in it).
  DWORD started = GetTickCount();
  LRESULT result = CallWindowProcA(original, control, message, wParam, lParam);
  self->pacing.AddCost(GetTickCount() - started);
  return result;
}

void SiteTreeViewWin32::Attach(HWND treeControl, HIMAGELIST nodeImages, const SiteTree& shown) {
  control = treeControl;
  tree = &shown;
  TreeView_SetImageList(control, nodeImages, TVSIL_NORMAL);
  SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  controlProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc)));
}

void SiteTreeViewWin32::NodeAdded(SiteNode& node) {
  if (!control) return;
  if (++insertsSinceRoomCheck >= kInsertsBetweenRoomChecks) {
    insertsSinceRoomCheck = 0;
    if (!RoomLeft()) throw std::bad_alloc();
  }
  // A node's links get items when its first one got one (its item stayed open).
  SiteNode* parent = node.parent;
  if (parent && (!parent->viewItem || (parent->firstChild != &node && !parent->firstChild->viewItem))) return;
  Hold();
  if (parent && parent->firstChild == &node && tree && tree->NodeCount() > kMostItems) {
    ShowClosed(*parent);
    return;
  }
  // The user watches the tree grow: every item is open before its children arrive, which
  // costs no message of its own.
  InsertItem(node, false);
}

void SiteTreeViewWin32::InsertItem(SiteNode& node, bool closed) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = node.parent ? ItemOf(*node.parent) : TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN;
  insert.item.state = closed ? 0 : TVIS_EXPANDED;
  insert.item.stateMask = TVIS_EXPANDED;
  insert.item.cChildren = closed ? 1 : 0;
  insert.item.pszText = const_cast<char*>(node.label.c_str());
  insert.item.iImage = insert.item.iSelectedImage = I_IMAGECALLBACK;
  insert.item.lParam = reinterpret_cast<LPARAM>(&node);
  node.viewItem = reinterpret_cast<HTREEITEM>(
      SendMessageA(control, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!node.viewItem) throw std::bad_alloc();  // the control's heap is full
}

// Before its first child arrives, so that no link of it is ever laid out. A shown node costs
// one walk of the open items here.
void SiteTreeViewWin32::ShowClosed(SiteNode& node) {
  TVITEMA item{};
  item.mask = TVIF_STATE | TVIF_CHILDREN;
  item.hItem = ItemOf(node);
  item.stateMask = TVIS_EXPANDED;
  item.cChildren = 1;
  SendMessageA(control, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void SiteTreeViewWin32::Opening(SiteNode& node) {
  if (!node.firstChild || node.firstChild->viewItem) return;
  // Not held: the node is closed until this returns, so no insert lays anything out.
  try {
    for (SiteNode* child = node.firstChild; child; child = child->nextSibling) InsertItem(*child, child->firstChild);
  } catch (const std::bad_alloc&) {
    // The control's heap is full: the node shows the links that got items.
  }
}

// The picture is asked for at each paint, so a new icon needs only its row repainted; a held
// control is repainted whole when shown.
void SiteTreeViewWin32::IconChanged(SiteNode& node) {
  if (!control || !node.viewItem || held) return;
  if (++rowsInvalidated > kMostRowsInvalidated) {
    Hold();
    return;
  }
  RECT row;
  if (TreeView_GetItemRect(control, ItemOf(node), &row, FALSE)) InvalidateRect(control, &row, FALSE);
}

void SiteTreeViewWin32::FillDisplayInfo(TVITEMA& item) const {
  auto* node = reinterpret_cast<const SiteNode*>(item.lParam);
  if (!node) return;
  if (item.mask & TVIF_IMAGE) item.iImage = static_cast<int>(node->icon);
  if (item.mask & TVIF_SELECTEDIMAGE) item.iSelectedImage = static_cast<int>(node->icon);
}

void SiteTreeViewWin32::LabelChanged(SiteNode& node) {
  if (!control || !node.viewItem) return;
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = ItemOf(node);
  item.pszText = const_cast<char*>(node.label.c_str());
  SendMessageA(control, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void SiteTreeViewWin32::NodeDeleting(SiteNode& node) {
  if (onNodeDeleting) onNodeDeleting(node);
  if (!control) return;
  if (node.viewItem) {
    TreeView_DeleteItem(control, ItemOf(node));
    return;
  }
  // The only link of a closed node goes: it loses its +.
  SiteNode* parent = node.parent;
  if (parent && parent->viewItem && parent->firstChild == &node && !node.nextSibling) {
    TVITEMA item{};
    item.mask = TVIF_CHILDREN;
    item.hItem = ItemOf(*parent);
    SendMessageA(control, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
}

void SiteTreeViewWin32::Clear() {
  if (!control) return;
  BeginBulk();
  TreeView_DeleteAllItems(control);
  EndBulk();
}

void SiteTreeViewWin32::BeginBulk() {
  if (!control) return;
  ++bulkDepth;
  Hold();
}

void SiteTreeViewWin32::EndBulk() {
  if (!control || bulkDepth == 0 || --bulkDepth > 0) return;
  Show();
}

void SiteTreeViewWin32::Hold() {
  if (held) return;
  held = true;
  SendMessageA(control, WM_SETREDRAW, FALSE, 0);
}

void SiteTreeViewWin32::ShowChanges() {
  rowsInvalidated = 0;
  if (control && held && bulkDepth == 0 && pacing.Due(GetTickCount())) Show();
}

void SiteTreeViewWin32::Show() {
  DWORD started = GetTickCount();
  held = false;
  // Turning redraw on lays the items out, sets the scroll bars and has the control repainted;
  // the paint comes as a message of its own, so neither holds the window for long.
  SendMessageA(control, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(control, nullptr, TRUE);
  DWORD now = GetTickCount();
  pacing.Shown(now, now - started);
}

SiteNode* SiteTreeViewWin32::NodeOf(HWND treeControl, HTREEITEM item) {
  if (!item) return nullptr;
  TVITEMA data{};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  if (!SendMessageA(treeControl, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data))) return nullptr;
  return reinterpret_cast<SiteNode*>(data.lParam);
}

SiteNode* SiteTreeViewWin32::Selected() const {
  return control ? NodeOf(control, TreeView_GetSelection(control)) : nullptr;
}

void SiteTreeViewWin32::Select(SiteNode& node) {
  if (control && node.viewItem) TreeView_SelectItem(control, ItemOf(node));
}

SiteNode* SiteTreeViewWin32::NodeAt(POINT screen) const {
  if (!control) return nullptr;
  TVHITTESTINFO hit{};
  hit.pt = screen;
  ScreenToClient(control, &hit.pt);
  HTREEITEM item = TreeView_HitTest(control, &hit);
  return (hit.flags & TVHT_ONITEM) ? NodeOf(control, item) : nullptr;
}

POINT SiteTreeViewWin32::MenuPointFor(SiteNode& node) const {
  RECT rect{};
  POINT point{0, 0};
  if (control && node.viewItem && TreeView_GetItemRect(control, ItemOf(node), &rect, TRUE))
    point = {rect.left, rect.bottom};
  ClientToScreen(control, &point);
  return point;
}
