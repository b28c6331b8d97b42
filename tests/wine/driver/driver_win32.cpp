// Test driver: finds windows by caption (or "class:NAME"), reads their texts and presses buttons.
//   wait WINDOW [ms]            wait until the window exists; prints its handle
//   gone WINDOW [ms]            wait until it no longer exists
//   texts WINDOW                prints "class<TAB>text" for every child window
//   press WINDOW BUTTON [ms]    clicks the child button whose text (without '&') is BUTTON
//   key WINDOW return|escape    sends Enter or Escape to the window's dialog
//   close WINDOW                posts WM_CLOSE
//   list                        prints every visible top-level window
//   rects WINDOW                prints "left top right bottom" of the work area, then of every
//                               visible top-level window by that name, topmost first
//   screen FILE.bmp             saves the whole screen as a bitmap
//   tree WINDOW                 prints "depth<TAB>image<TAB>label" for every item of its tree view
//   select WINDOW LABEL         selects the tree item with that label
//   dblclick WINDOW LABEL       double-clicks the tree item with that label (real mouse input)
//   rclick WINDOW LABEL         right-clicks the tree item with that label (real mouse input)
//   treekey WINDOW KEY          focuses the tree view and types delete, apps, shift-f10, end or right
//   view WINDOW                 prints "selected<TAB>label", "first<TAB>label" and "last<TAB>label":
//                               the tree's selected item, the item at the top of its view and
//                               the last item shown when scrolled to the end
//   scroll WINDOW LINES         scrolls the tree view down by LINES lines (up when negative)
//   menu KEY|-                  in the open popup menu, prints its items ("checked" marked)
//                               and chooses the item whose mnemonic is KEY (-: closes it)
//   save CAPTION PATH [-]       types PATH into the file dialog CAPTION and presses its OK (-: no OK)
//   clipboard                   prints the clipboard's text
//   type WINDOW ID TEXT         replaces the text of edit ID by typing TEXT (empty: one backspace)
//   click WINDOW ID             clicks button ID (a push button, check box or radio button)
//   control WINDOW ID           prints "enabled|disabled<TAB>checked|unchecked<TAB>text" of control ID
//   page WINDOW                 prints the index of the wizard's current page
//   pageclick WINDOW X Y        clicks the current page's own surface at X, Y (client pixels)
//   f1 WINDOW                   brings the window to the front and presses F1 (real keyboard input)
//   watch WINDOW MS UNTIL [BUTTON [IN]]  presses BUTTON in a window of that caption (or of
//                               caption IN) if given, then
//                               asks the tree view for its item count every 10 ms until UNTIL
//                               holds: "idle" (both task counters read 0 after showing work),
//                               "count>=N" or "count<=N"; prints "items N ms T" at
//                               each thousand items passed, "slow A ms at N items, ms T" for an
//                               answer slower than half a second, then "done ms T items N answer_ms A",
//                               A being the longest the window took to answer (timings for benches)
//   point WINDOW CLASS DX DY move|dblclick|ctrlclick
//                               brings the window to the front and points, double-clicks or
//                               Ctrl+clicks (real input) DX, DY pixels from the middle of its
//                               child window of class CLASS
//   tip [ms]                    waits until a tooltip shows and prints its text
//   command WINDOW ID           posts the menu command ID to the window
// Controls are found by id among the visible descendants, so the current page's come first.
// Exit status 0 on success, 1 when the window or button was not found in time.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string TextOf(HWND window) {
  char buffer[4096] = "";
  // WM_GETTEXT, unlike GetWindowTextA, also reads an edit control of another process.
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                      &length);
  return buffer;
}

std::string ClassOf(HWND window) {
  char buffer[256] = "";
  GetClassNameA(window, buffer, sizeof buffer);
  return buffer;
}

std::string WithoutAmpersands(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '&') out += c;
  return out;
}

bool Matches(HWND window, const std::string& windowName) {
  if (windowName.rfind("class:", 0) == 0) return ClassOf(window) == windowName.substr(6);
  return TextOf(window) == windowName;
}

struct Search {
  const std::string* windowName;
  HWND found;
};

BOOL CALLBACK FindTopProc(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  if (IsWindowVisible(window) && Matches(window, *s->windowName)) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindTop(const std::string& windowName) {
  Search search = {&windowName, nullptr};
  EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Asks DONE every 50 ms until it holds or MS have passed; true when it held.
template <class Done>
bool Poll(DWORD ms, Done done) {
  for (DWORD start = GetTickCount();; Sleep(50)) {
    if (done()) return true;
    if (GetTickCount() - start >= ms) return false;
  }
}

HWND WaitFor(const std::string& windowName, DWORD ms) {
  HWND window = nullptr;
  Poll(ms, [&] { return (window = FindTop(windowName)) != nullptr; });
  return window;
}

BOOL CALLBACK CollectProc(HWND child, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
  return TRUE;
}

void PrintRect(const RECT& r) { printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom); }

BOOL CALLBACK RectsProc(HWND window, LPARAM param) {
  RECT rect;
  if (IsWindowVisible(window) && Matches(window, *reinterpret_cast<const std::string*>(param)) &&
      GetWindowRect(window, &rect))
    PrintRect(rect);
  return TRUE;
}

BOOL CALLBACK ListProc(HWND window, LPARAM) {
  if (IsWindowVisible(window)) printf("%s\t%s\n", ClassOf(window).c_str(), TextOf(window).c_str());
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> out;
  EnumChildWindows(parent, CollectProc, reinterpret_cast<LPARAM>(&out));
  return out;
}

bool SaveScreen(const char* path) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB};
  int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  FILE* file = fopen(path, "wb");
  if (!file) return false;
  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  fwrite(&header, sizeof header, 1, file);
  fwrite(&info, sizeof info, 1, file);
  fwrite(pixels.data(), 1, pixels.size(), file);
  fclose(file);
  return true;
}


// Memory in the process that owns a window, for the control messages that take pointers.
class RemoteMemory {
public:
  RemoteMemory(HWND window, size_t size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process) address = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
  }
  ~RemoteMemory() {
    if (address) VirtualFreeEx(process, address, 0, MEM_RELEASE);
    if (process) CloseHandle(process);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  bool Ok() const { return address != nullptr; }
  char* At(size_t offset) const { return address + offset; }
  bool Write(size_t offset, const void* data, size_t size) {
    return WriteProcessMemory(process, address + offset, data, size, nullptr);
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return ReadProcessMemory(process, address + offset, data, size, nullptr);
  }

private:
  HANDLE process = nullptr;
  char* address = nullptr;
};

struct TreeItem {
  HTREEITEM item;
  int depth;
  int image;
  std::string label;
};

HWND ChildOfClass(HWND parent, const char* className) {
  for (HWND child : Children(parent))
    if (ClassOf(child) == className && IsWindowVisible(child)) return child;
  return nullptr;
}

bool ReadTreeItem(HWND tree, RemoteMemory& remote, TreeItem& item) {
  constexpr size_t kTextAt = sizeof(TVITEMA), kTextSize = 4096;
  TVITEMA data = {};
  data.mask = TVIF_TEXT | TVIF_IMAGE;
  data.hItem = item.item;
  data.pszText = remote.At(kTextAt);
  data.cchTextMax = kTextSize;
  if (!remote.Write(0, &data, sizeof data)) return false;
  if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.At(0)))) return false;
  std::vector<char> text(kTextSize + 1, '\0');
  if (!remote.Read(0, &data, sizeof data) || !remote.Read(kTextAt, text.data(), kTextSize)) return false;
  item.image = data.iImage;
  item.label = text.data();
  return true;
}

// Every item in pre-order, collapsed branches included; siblings by loop. With a label, the
// items up to the first that has it: a tree of thousands of items takes seconds to read.
std::vector<TreeItem> TreeItems(HWND tree, const std::string* until = nullptr) {
  std::vector<TreeItem> items;
  RemoteMemory remote(tree, sizeof(TVITEMA) + 4097);
  if (!remote.Ok()) return items;
  auto next = [&](HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
  };
  HTREEITEM item = next(nullptr, TVGN_ROOT);
  int depth = 0;
  while (item) {
    TreeItem entry = {item, depth, -1, ""};
    ReadTreeItem(tree, remote, entry);
    items.push_back(entry);
    if (until && entry.label == *until) break;
    if (HTREEITEM child = next(item, TVGN_CHILD)) {
      item = child;
      ++depth;
      continue;
    }
    while (item && !next(item, TVGN_NEXT)) {
      item = next(item, TVGN_PARENT);
      --depth;
    }
    if (item) item = next(item, TVGN_NEXT);
  }
  return items;
}

HTREEITEM FindTreeItem(HWND tree, const std::string& label) {
  std::vector<TreeItem> items = TreeItems(tree, &label);
  return !items.empty() && items.back().label == label ? items.back().item : nullptr;
}

// Screen point at the middle of an item's text, scrolled into view first.
bool TreeItemPoint(HWND tree, HTREEITEM item, POINT& point) {
  SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
  RemoteMemory remote(tree, sizeof(RECT));
  RECT rect = {};
  // TVM_GETITEMRECT takes the item in the rectangle's first field.
  if (!remote.Ok() || !remote.Write(0, &item, sizeof item)) return false;
  if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.At(0)))) return false;
  remote.Read(0, &rect, sizeof rect);
  point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(tree, &point);
  return true;
}

void MouseAt(POINT point, DWORD down, DWORD up, int clicks) {
  SetCursorPos(point.x, point.y);
  Sleep(50);
  for (int i = 0; i < clicks; ++i) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = down;
    input[1].mi.dwFlags = up;
    SendInput(2, input, sizeof(INPUT));
  }
}

void Keys(const std::vector<WORD>& keys) {
  std::vector<INPUT> input;
  for (WORD key : keys) {
    INPUT down = {};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = key;
    input.push_back(down);
  }
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    INPUT up = {};
    up.type = INPUT_KEYBOARD;
    up.ki.wVk = *key;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    input.push_back(up);
  }
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

int PrintTree(HWND window) {
  HWND tree = ChildOfClass(window, "SysTreeView32");
  if (!tree) return 1;
  for (const TreeItem& item : TreeItems(tree)) printf("%d\t%d\t%s\n", item.depth, item.image, item.label.c_str());
  return 0;
}

int PrintTreeView(HWND window) {
  HWND tree = ChildOfClass(window, "SysTreeView32");
  RemoteMemory remote(tree ? tree : window, sizeof(TVITEMA) + 4097);
  if (!tree || !remote.Ok()) return 1;
  for (auto [name, which] : {std::pair{"selected", TVGN_CARET}, std::pair{"first", TVGN_FIRSTVISIBLE},
                             std::pair{"last", TVGN_LASTVISIBLE}}) {
    TreeItem item = {reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, which, 0)), 0, -1, ""};
    if (item.item) ReadTreeItem(tree, remote, item);
    printf("%s\t%s\n", name, item.label.c_str());
  }
  return 0;
}

int ScrollTree(HWND window, int lines) {
  HWND tree = ChildOfClass(window, "SysTreeView32");
  if (!tree) return 1;
  for (int i = 0; i < (lines < 0 ? -lines : lines); ++i)
    SendMessageA(tree, WM_VSCROLL, lines < 0 ? SB_LINEUP : SB_LINEDOWN, 0);
  return 0;
}

int SelectTreeItem(HWND window, const std::string& label) {
  HWND tree = ChildOfClass(window, "SysTreeView32");
  HTREEITEM item = tree ? FindTreeItem(tree, label) : nullptr;
  if (!item) return 1;
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  return 0;
}

int ClickTreeItem(HWND window, const std::string& label, bool right, int clicks) {
  HWND tree = ChildOfClass(window, "SysTreeView32");
  HTREEITEM item = tree ? FindTreeItem(tree, label) : nullptr;
  POINT point;
  if (!item || !TreeItemPoint(tree, item, point)) return 1;
  if (right)
    MouseAt(point, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, clicks);
  else
    MouseAt(point, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, clicks);
  return 0;
}

int TreeKey(HWND window, const std::string& key) {
  HWND tree = ChildOfClass(window, "SysTreeView32");
  if (!tree) return 1;
  // Focus belongs to the window's own thread: share its input state to move it.
  DWORD target = GetWindowThreadProcessId(tree, nullptr), self = GetCurrentThreadId();
  AttachThreadInput(self, target, TRUE);
  SetForegroundWindow(window);
  SetFocus(tree);
  AttachThreadInput(self, target, FALSE);
  Sleep(100);
  if (key == "delete")
    Keys({VK_DELETE});
  else if (key == "apps")
    Keys({VK_APPS});
  else if (key == "shift-f10")
    Keys({VK_SHIFT, VK_F10});
  else if (key == "end")
    Keys({VK_END});
  else if (key == "right")
    Keys({VK_RIGHT});
  else
    return 2;
  return 0;
}

HWND WaitForPopupMenu(DWORD ms) {
  std::string windowName = "class:#32768";
  return WaitFor(windowName, ms);
}

// The popup's items as its window draws them are not readable across processes; the menu
// handle is, in the programs' shared user objects.
int ChooseMenuItem(const std::string& key) {
  HWND popup = WaitForPopupMenu(5000);
  if (!popup) return 1;
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
  int count = menu ? GetMenuItemCount(menu) : -1;
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    UINT state = GetMenuState(menu, i, MF_BYPOSITION);
    printf("%s\t%s\n", text, (state & MF_CHECKED) ? "checked" : "");
  }
  fflush(stdout);
  if (key == "-")
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 1);
  else
    PostMessageA(popup, WM_CHAR, static_cast<unsigned char>(key[0]), 1);
  // Gone before this returns: a menu opened next is not mistaken for this one.
  return Poll(5000, [&] { return !IsWindowVisible(popup); }) ? 0 : 1;
}

int AnswerFileDialog(HWND dialog, const std::string& path, bool pressOk) {
  bool typed = false;
  for (HWND child : Children(dialog)) {
    int id = GetDlgCtrlID(child);
    if ((id == 1148 || id == 1152) && IsWindowVisible(child)) {  // cmb13 or edt1: the file name
      SendMessageA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
      typed = true;
    }
  }
  if (!typed) return 1;
  if (!pressOk) return 0;
  // A folder is opened before this returns, so that a name typed next lands in it; a file's OK
  // is posted, since it may raise a box that waits for an answer.
  DWORD attributes = GetFileAttributesA(path.c_str());
  WPARAM ok = MAKEWPARAM(IDOK, BN_CLICKED);
  LPARAM button = reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    SendMessageA(dialog, WM_COMMAND, ok, button);
  else
    PostMessageA(dialog, WM_COMMAND, ok, button);
  return 0;
}

int PrintClipboard() {
  if (!OpenClipboard(nullptr)) return 1;
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  if (text) {
    printf("%s\n", text);
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text ? 0 : 1;
}

BOOL CALLBACK FindControlProc(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<std::pair<int, HWND>*>(param);
  if (GetDlgCtrlID(child) == search->first && IsWindowVisible(child)) {
    search->second = child;
    return FALSE;
  }
  return TRUE;
}

HWND FindControl(HWND window, int id) {
  std::pair<int, HWND> search = {id, nullptr};
  EnumChildWindows(window, FindControlProc, reinterpret_cast<LPARAM>(&search));
  if (!search.second) fprintf(stderr, "no control %d\n", id);
  return search.second;
}

int TypeText(HWND window, int id, const std::string& text) {
  HWND edit = FindControl(window, id);
  if (!edit) return 1;
  // Sent, not posted: the text stands in the field when this returns, whatever comes next.
  DWORD_PTR ignored;
  auto send = [&](UINT message, WPARAM w, LPARAM l) {
    return SendMessageTimeoutA(edit, message, w, l, SMTO_NORMAL, 5000, &ignored) != 0;
  };
  bool ok = send(EM_SETSEL, 0, -1);
  if (text.empty()) ok = ok && send(WM_CHAR, VK_BACK, 1);
  for (char c : text) ok = ok && send(WM_CHAR, static_cast<unsigned char>(c), 1);
  return ok ? 0 : 1;
}

int ClickButton(HWND window, int id) {
  HWND button = FindControl(window, id);
  if (!button) return 1;
  PostMessageA(button, BM_CLICK, 0, 0);
  return 0;
}

int PrintControl(HWND window, int id) {
  HWND control = FindControl(window, id);
  if (!control) return 1;
  DWORD_PTR checked = 0;
  SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &checked);
  printf("%s\t%s\t%s\n", IsWindowEnabled(control) ? "enabled" : "disabled",
         checked == BST_CHECKED ? "checked" : "unchecked", TextOf(control).c_str());
  return 0;
}

HWND CurrentPage(HWND wizard) {
  DWORD_PTR page = 0;
  SendMessageTimeoutA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, 2000, &page);
  return reinterpret_cast<HWND>(page);
}

int PrintPage(HWND wizard) {
  DWORD_PTR index = 0;
  SendMessageTimeoutA(wizard, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(CurrentPage(wizard)), 0, SMTO_ABORTIFHUNG,
                      2000, &index);
  printf("%d\n", static_cast<int>(index));
  return 0;
}

int ClickPage(HWND wizard, int x, int y) {
  HWND page = CurrentPage(wizard);
  if (!page) return 1;
  PostMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(page, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  return 0;
}

void BringToFront(HWND window) {
  for (int tries = 0; tries < 50 && GetForegroundWindow() != window; ++tries) {
    SetForegroundWindow(window);
    Sleep(100);
  }
}

int PointAt(HWND window, const char* childClass, int dx, int dy, const std::string& action) {
  HWND child = ChildOfClass(window, childClass);
  if (!child) return 1;
  BringToFront(window);
  RECT client = {};
  GetClientRect(child, &client);
  POINT point = {client.right / 2 + dx, client.bottom / 2 + dy};
  ClientToScreen(child, &point);
  // A window that another program just opened may lie over the point for a while.
  for (int tries = 0; tries < 100 && WindowFromPoint(point) != child; ++tries) {
    BringToFront(window);
    Sleep(100);
  }
  if (WindowFromPoint(point) != child) {
    fprintf(stderr, "another window lies over the point\n");
    return 1;
  }
  if (action == "move") {
    // A warp alone need not reach the window as a mouse move; an absolute move does.
    SetCursorPos(point.x, point.y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return SendInput(1, &input, sizeof(INPUT)) == 1 ? 0 : 1;
  }
  if (action == "dblclick") {
    MouseAt(point, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
    return 0;
  }
  if (action == "ctrlclick") {
    // The pointer is moved first and the key goes down with the click: under X, the pointer's
    // move reports the real keyboard's modifiers, which would let Ctrl go again.
    SetCursorPos(point.x, point.y);
    Sleep(50);
    INPUT input[4] = {};
    input[0].type = input[3].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[3].ki.wVk = VK_CONTROL;
    input[3].ki.dwFlags = KEYEVENTF_KEYUP;
    input[1].type = input[2].type = INPUT_MOUSE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(4, input, sizeof(INPUT)) == 4 ? 0 : 1;
  }
  return 2;
}

BOOL CALLBACK FindTipProc(HWND window, LPARAM param) {
  if (IsWindowVisible(window) && ClassOf(window) == TOOLTIPS_CLASSA && !TextOf(window).empty()) {
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
  }
  return TRUE;
}

int PrintTip(DWORD ms) {
  HWND tip = nullptr;
  auto shown = [&] {
    EnumWindows(FindTipProc, reinterpret_cast<LPARAM>(&tip));
    return tip != nullptr;
  };
  if (!Poll(ms, shown)) return 1;
  printf("%s\n", TextOf(tip).c_str());
  return 0;
}

int PressF1(HWND window) {
  // The help request comes from real key input only, not from a posted key message.
  BringToFront(window);
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = VK_F1;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(2, input, sizeof(INPUT)) == 2 ? 0 : 1;
}

struct TopSearch {
  const std::string* windowName;
  std::vector<HWND> found;
};

BOOL CALLBACK FindAllTopProc(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<TopSearch*>(param);
  if (IsWindowVisible(window) && Matches(window, *s->windowName)) s->found.push_back(window);
  return TRUE;
}

// Every visible top-level window of that caption: a message box may share the wizard's.
std::vector<HWND> AllTops(const std::string& windowName) {
  TopSearch search = {&windowName, {}};
  EnumWindows(FindAllTopProc, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

double Milliseconds() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * double(counter.QuadPart) / double(frequency.QuadPart);
}

// The control's own text without a message to its window (GetWindowTextA reads another
// process's window from the server), so reading it never waits on a busy program.
std::string StoredText(HWND window) {
  char buffer[256] = "";
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

// The tree view (and the task counters beside it) among the visible windows of that caption.
bool FindTreePage(const std::string& windowName, HWND& tree, HWND& active, HWND& queued) {
  for (HWND top : AllTops(windowName)) {
    if (!(tree = ChildOfClass(top, "SysTreeView32"))) continue;
    active = FindControl(top, 1035);
    queued = FindControl(top, 1036);
    return true;
  }
  return false;
}

bool PressIn(const std::string& windowName, const std::string& button) {
  for (HWND top : AllTops(windowName))
    for (HWND child : Children(top))
      if (ClassOf(child) == "Button" && WithoutAmpersands(TextOf(child)) == button) {
        PostMessageA(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                     reinterpret_cast<LPARAM>(child));
        return true;
      }
  return false;
}

int Watch(const std::string& windowName, DWORD ms, const std::string& until, const char* button,
          const std::string& buttonWindow) {
  long target = 0;
  bool atLeast = until.rfind("count>=", 0) == 0, atMost = until.rfind("count<=", 0) == 0;
  if (atLeast || atMost) target = atol(until.c_str() + 7);
  else if (until != "idle") return 2;
  double started = Milliseconds();
  if (button && !PressIn(buttonWindow, button)) return 1;
  HWND tree = nullptr, active = nullptr, queued = nullptr;
  double longest = 0, idleSince = started;
  long shownThousands = -1, idleItems = -1;
  bool seenWork = false;
  for (;; Sleep(10)) {
    double asked = Milliseconds();
    if (asked - started > ms) return 1;
    if (!tree && !FindTreePage(windowName, tree, active, queued)) continue;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutA(tree, TVM_GETCOUNT, 0, 0, SMTO_NORMAL, ms, &count)) return 1;
    double now = Milliseconds();
    if (now - asked > longest) longest = now - asked;
    long items = static_cast<long>(count);
    if (now - asked > 500) printf("slow %.0f ms at %ld items, ms %.0f\n", now - asked, items, now - started);
    if (items / 1000 != shownThousands) {
      shownThousands = items / 1000;
      printf("items %ld ms %.0f\n", items, now - started);
    }
    bool done = atLeast ? items >= target : atMost ? items <= target : false;
    if (until == "idle" && active && queued) {
      // The counters read 0 before the crawl's first tick too: done once they have shown work,
      // or have read 0 with the same count for half a second.
      bool zero = StoredText(active) == "0 Active tasks" && StoredText(queued) == "0 Tasks in the queue";
      seenWork = seenWork || !zero;
      if (!zero || items != idleItems) idleSince = now, idleItems = items;
      done = zero && (seenWork || now - idleSince > 500);
    }
    if (done) {
      printf("done ms %.0f items %ld answer_ms %.0f\n", now - started, items, longest);
      return 0;
    }
  }
}

HWND ButtonOf(HWND window, const std::string& button) {
  for (HWND child : Children(window))
    if (ClassOf(child) == "Button" && WithoutAmpersands(TextOf(child)) == button) return child;
  return nullptr;
}

struct BoxSearch {
  const std::string* windowName;
  const std::string* button;
  HWND found;
};

BOOL CALLBACK FindBoxProc(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<BoxSearch*>(param);
  if (IsWindowVisible(window) && Matches(window, *s->windowName) && ButtonOf(window, *s->button)) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

// Presses a message box's button, waits until the box is gone and its owner's thread has
// answered a message after it, then prints the texts of any box with the same title and button
// that the thread showed next: a thread that shows a second box has it up before it reads
// messages again.
int AnswerMessage(const std::string& windowName, const std::string& button) {
  BoxSearch search = {&windowName, &button, nullptr};
  EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&search));
  HWND box = search.found;
  HWND pressed = box ? ButtonOf(box, button) : nullptr;
  if (!pressed) return 1;
  HWND owner = GetWindow(box, GW_OWNER);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(pressed), BN_CLICKED), reinterpret_cast<LPARAM>(pressed));
  if (!Poll(20000, [&] { return !IsWindow(box); })) return 1;
  DWORD_PTR ignored;
  if (owner && !SendMessageTimeoutA(owner, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored)) return 1;
  search.found = nullptr;
  EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&search));
  if (search.found)
    for (HWND child : Children(search.found)) printf("%s\t%s\n", ClassOf(child).c_str(), TextOf(child).c_str());
  return 0;
}

int Run(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: driver wait|gone|texts|press|key|close|list|screen ...\n");
    return 2;
  }
  std::string verb = argv[1];
  auto msArg = [&](int index) -> DWORD { return argc > index ? strtoul(argv[index], nullptr, 10) : 10000; };

  if (verb == "list") {
    EnumWindows(ListProc, 0);
    return 0;
  }
  if (verb == "screen" && argc > 2) return SaveScreen(argv[2]) ? 0 : 1;
  if (verb == "clipboard") return PrintClipboard();
  if (verb == "menu" && argc > 2) return ChooseMenuItem(argv[2]);
  if (verb == "tip") return PrintTip(argc > 2 ? msArg(2) : 5000);
  if (argc < 3) return 2;
  std::string windowName = argv[2];

  if (verb == "answer" && argc > 3) return AnswerMessage(windowName, WithoutAmpersands(argv[3]));
  if (verb == "gone") return Poll(msArg(3), [&] { return !FindTop(windowName); }) ? 0 : 1;
  HWND window = WaitFor(windowName, verb == "wait" ? msArg(3) : (verb == "press" ? msArg(4) : 10000));
  if (!window) {
    fprintf(stderr, "no window \"%s\"\n", windowName.c_str());
    return 1;
  }
  if (verb == "wait") {
    printf("%p\n", static_cast<void*>(window));
    return 0;
  }
  if (verb == "painted") {
    // What is invalid is painted before this returns (WM_PAINT is sent, not posted, to the owner's
    // thread), and the thread then answers once more, so its drawing has reached the screen.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    DWORD_PTR ignored;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored) ? 0 : 1;
  }
  if (verb == "rects") {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    PrintRect(work);
    EnumWindows(RectsProc, reinterpret_cast<LPARAM>(&windowName));
    return 0;
  }
  if (verb == "texts") {
    printf("%s\t%s\n", ClassOf(window).c_str(), TextOf(window).c_str());
    for (HWND child : Children(window)) printf("%s\t%s\n", ClassOf(child).c_str(), TextOf(child).c_str());
    return 0;
  }
  if (verb == "press" && argc > 3) {
    std::string wanted = WithoutAmpersands(argv[3]);
    // A wizard enables its buttons by a posted message, which may still wait in its queue after
    // the text that enables them was typed: a disabled button is waited for, as a person would.
    HWND button = nullptr;
    auto enabled = [&] {
      for (HWND child : Children(window))
        if (ClassOf(child) == "Button" && WithoutAmpersands(TextOf(child)) == wanted && IsWindowEnabled(child))
          return (button = child) != nullptr;
      return !IsWindow(window);
    };
    if (!Poll(msArg(4), enabled) || !button) {
      fprintf(stderr, "no enabled button \"%s\"\n", argv[3]);
      return 1;
    }
    PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return 0;
  }
  if (verb == "key" && argc > 3) {
    std::string key = argv[3];
    WORD vk = key == "escape" ? VK_ESCAPE : VK_RETURN;
    // Posted to the focused control, so the dialog's own message loop handles it as typed.
    GUITHREADINFO info = {sizeof info};
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) target = info.hwndFocus;
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
    return 0;
  }
  if (verb == "tree") return PrintTree(window);
  if (verb == "view") return PrintTreeView(window);
  if (verb == "scroll" && argc > 3) return ScrollTree(window, atoi(argv[3]));
  if (verb == "select" && argc > 3) return SelectTreeItem(window, argv[3]);
  if (verb == "dblclick" && argc > 3) return ClickTreeItem(window, argv[3], false, 2);
  if (verb == "rclick" && argc > 3) return ClickTreeItem(window, argv[3], true, 1);
  if (verb == "treekey" && argc > 3) return TreeKey(window, argv[3]);
  if (verb == "save" && argc > 3) return AnswerFileDialog(window, argv[3], argc < 5 || std::string(argv[4]) != "-");
  auto idArg = [&](int index) { return argc > index ? atoi(argv[index]) : 0; };
  if (verb == "type" && argc > 3) return TypeText(window, idArg(3), argc > 4 ? argv[4] : "");
  if (verb == "click" && argc > 3) return ClickButton(window, idArg(3));
  if (verb == "control" && argc > 3) return PrintControl(window, idArg(3));
  if (verb == "page") return PrintPage(window);
  if (verb == "f1") return PressF1(window);
  if (verb == "pageclick" && argc > 4) return ClickPage(window, idArg(3), idArg(4));
  if (verb == "watch" && argc > 4)
    return Watch(windowName, msArg(3), argv[4], argc > 5 ? argv[5] : nullptr, argc > 6 ? argv[6] : windowName);
  if (verb == "point" && argc > 6) return PointAt(window, argv[3], idArg(4), idArg(5), argv[6]);
  if (verb == "command" && argc > 3) {
    // Sent, so that the command has been carried out when this returns.
    DWORD_PTR ignored;
    return SendMessageTimeoutA(window, WM_COMMAND, MAKEWPARAM(idArg(3), 0), 0, SMTO_NORMAL, 20000, &ignored) ? 0 : 1;
  }
  if (verb == "close") {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
  }
  return 2;
}

// Answers requests until its input ends: one a line, its arguments separated by 0x1F, each answer
// followed by a line of 0x1E and the request's status. One Wine process then serves a whole test,
// where a process a request cost about 0.4 s.
int Serve() {
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> args = {"wine_driver"};
    for (size_t start = 0;;) {
      size_t end = line.find('\x1f', start);
      args.push_back(line.substr(start, end - start));
      if (end == std::string::npos) break;
      start = end + 1;
    }
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    int status = Run(static_cast<int>(argv.size()), argv.data());
    printf("\x1e%d\n", status);
    fflush(stdout);
    fflush(stderr);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "serve") return Serve();
  return Run(argc, argv);
}
