#include "wizard/pages/tree_page_win32.h"

#include <windowsx.h>

#include <new>

#include "crawler/crawl.h"
#include "crawler/task_ended_poster_win32.h"
#include "crawler/task_queue.h"
#include "site/url.h"
#include "resources/pathloom/resource.h"
#include "sitemap/sitemap_reader.h"
#include "sitemap/sitemap_writer.h"
#include "wizard/pages/broken_links_file_win32.h"
#include "wizard/pages/clipboard_win32.h"
#include "wizard/pages/popup_menu_win32.h"
#include "wizard/pages/sitemap_file_dialog_win32.h"
#include "wizard/pages/tree_page_images_win32.h"
#include "wizard/pages/wizard_page_win32.h"

namespace {

POINT MessagePoint() {
  DWORD position = GetMessagePos();
  return {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
}

}  // namespace

CTreeDialog::CTreeDialog(PageShell& shell, StartSettings& settings, WizardFlags& flags, SiteTree& tree,
                         Crawl& crawl, TaskQueue& queue)
    : shell(shell), settings(settings), flags(flags), tree(tree), crawl(crawl), queue(queue) {}

// The control goes with the page window; the image lists after it.
CTreeDialog::~CTreeDialog() = default;

HPROPSHEETPAGE CTreeDialog::CreatePage(HINSTANCE instance) {
  return CreateWizardPage(instance, IDD_TREE_PAGE, DialogProc, this);
}

CrawlerPorts CTreeDialog::Ports(InternetClient& client, MessagePort& messages) {
  return {client, *this, messages, *this, *this};
}

INT_PTR CALLBACK CTreeDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = PageOf<CTreeDialog>(window, message, lParam);
  if (!self) return FALSE;
  if (self->taskEnded && self->taskEnded->Handle(message, wParam, self->queue)) return TRUE;
  switch (message) {
    case WM_INITDIALOG:
      self->page = window;
      return self->OnInitDialog();
    case WM_DESTROY:
      self->OnDestroy();
      return FALSE;
    case WM_NOTIFY:
      return self->OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
      self->OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_TIMER:
      self->OnTimer(wParam);
      return TRUE;
    case WM_CONTEXTMENU:
      return self->OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
    case WM_LBUTTONDBLCLK:
      self->OnBackgroundDoubleClick({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      return TRUE;
    case WM_DRAWITEM:
      if (wParam != IDC_BUSY_PICTURE) return FALSE;
      self->OnDrawBusyPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
  }
  return FALSE;
}

BOOL CTreeDialog::OnInitDialog() {
  images = std::make_unique<TreePageImages>(shell.Instance());
  taskEnded = std::make_unique<TaskEndedPoster>(page);

  treeControl.Attach(GetDlgItem(page, IDC_SITE_TREE), images->Nodes(), tree);
  treeControl.onNodeDeleting = [this](SiteNode& node) { queue.DropEntriesIn(node); };
  tree.SetView(&treeControl);
  SetTimer(page, kTickTimer, TaskQueue::kTickMilliseconds, nullptr);
  ShowSettings();
  return TRUE;
}

void CTreeDialog::OnDestroy() {
  // From here on AddLinks and the status lines do nothing.
  closing = true;
  crawl.Stop();
  KillTimer(page, kTickTimer);
  KillTimer(page, kTimeoutTimer);
  queue.AbortAll();
  tree.SetView(nullptr);
  taskEnded.reset();
}

INT_PTR CTreeDialog::OnNotify(const NMHDR& header) {
  switch (header.idFrom) {
    case IDC_SITE_TREE:
      return OnTreeNotify(header);
    default:
      return OnSheetNotify(header);
  }
}

INT_PTR CTreeDialog::OnTreeNotify(const NMHDR& header) {
  switch (header.code) {
    case NM_DBLCLK:
      OnTreeDoubleClick();
      return FALSE;
    case NM_RCLICK:
      if (SiteNode* node = treeControl.NodeAt(MessagePoint())) {
        treeControl.Select(*node);
        ShowContextMenu(*node, MessagePoint());
      }
      return NotifyResult(page, TRUE);  // handled: no WM_CONTEXTMENU follows
    case TVN_GETDISPINFOA:
    case TVN_GETDISPINFOW:  // the image fields lie alike in both
      treeControl.FillDisplayInfo(reinterpret_cast<NMTVDISPINFOA&>(const_cast<NMHDR&>(header)).item);
      return FALSE;
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {  // the action and the item's parameter lie alike in both
      const auto& expanding = reinterpret_cast<const NMTREEVIEWA&>(header);
      if ((expanding.action & TVE_EXPAND) && expanding.itemNew.lParam)
        treeControl.Opening(*reinterpret_cast<SiteNode*>(expanding.itemNew.lParam));
      return FALSE;
    }
    case TVN_KEYDOWN:
      if (reinterpret_cast<const NMTVKEYDOWN&>(header).wVKey == VK_DELETE) OnDeleteBranch();
      return FALSE;
  }
  return FALSE;
}

INT_PTR CTreeDialog::OnSheetNotify(const NMHDR& header) {
  switch (header.code) {
    case PSN_SETACTIVE:
      OnSetActive();
      return NotifyResult(page, 0);
    case PSN_WIZBACK:
      OnWizardBack();
      return NotifyResult(page, 0);
    case PSN_WIZNEXT:
      OnWizardNext();
      return NotifyResult(page, 0);
    case PSN_HELP:
      shell.ShowHelp();
      return TRUE;
  }
  return FALSE;
}

void CTreeDialog::OnCommand(int id, int code) {
  switch (id) {
    case IDC_TREE_DEPTH: if (code == EN_CHANGE) OnDepthChanged(); break;
    case IDC_TREE_TIMEOUT: if (code == EN_CHANGE) OnTimeoutChanged(); break;
    case IDC_ABORT_ALL: if (code == BN_CLICKED) queue.AbortAll(); break;
    case IDC_ABORT_ACTIVE: if (code == BN_CLICKED) queue.AbortActive(); break;
    case ID_TREE_TOP_OF_CHART: OnSetTopOfChart(); break;
    case ID_TREE_DONT_MAP: OnToggleDontMap(); break;
    case ID_TREE_DELETE_BRANCH: OnDeleteBranch(); break;
    case ID_TREE_EXPORT: OnExport(); break;
    case ID_TREE_OPEN_BROWSER: OnOpenInBrowser(); break;
    case ID_TREE_COPY_URL: OnCopyUrl(); break;
    case ID_TREE_SAVE_BROKEN_LINKS: SaveBrokenLinks(shell, tree, crawl.State().kept); break;
  }
}

void CTreeDialog::OnTimer(UINT_PTR id) {
  if (id == kTickTimer) {
    queue.OnTick();
    treeControl.ShowChanges();
    if (largeTree.Due(tree.NodeCount())) AddStatusLine(StringText(IDS_MILLION_NODES));
    ShowStatusLines();
    // Said here rather than where it happened, inside a reading.
    if (memoryFull) {
      memoryFull = false;
      shell.MessageBoxId(IDS_OUT_OF_MEMORY);
    }
  }
  if (id == kTimeoutTimer) queue.OnTimeout();
}

bool CTreeDialog::OnContextMenu(HWND from, LPARAM position) {
  if (from != treeControl.Handle()) return false;
  SiteNode* node = nullptr;
  POINT point{};
  if (GET_X_LPARAM(position) == -1 && GET_Y_LPARAM(position) == -1) {  // from the keyboard: the selected node
    node = treeControl.Selected();
    if (node) point = treeControl.MenuPointFor(*node);
  } else {
    point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    node = treeControl.NodeAt(point);
    if (node) treeControl.Select(*node);
  }
  if (node) ShowContextMenu(*node, point);
  return true;
}

void CTreeDialog::OnBackgroundDoubleClick(POINT client) {
  if (ChildWindowFromPointEx(page, client, CWP_SKIPINVISIBLE) == page) animation.Reverse();
}

void CTreeDialog::OnDrawBusyPicture(const DRAWITEMSTRUCT& draw) { DrawBusyFrame(draw.hDC); }

void CTreeDialog::OnSetActive() {
  PropSheet_SetWizButtons(GetParent(page), PSWIZB_BACK | PSWIZB_NEXT);
  WizardFlags::TreeRebuild rebuild = flags.TakeTreeRebuild();
  if (rebuild != WizardFlags::TreeRebuild::Keep) Rebuild(rebuild == WizardFlags::TreeRebuild::ImportFile);
}

void CTreeDialog::OnWizardBack() {
  queue.AbortAll();
  flags.TreeBack();
}

void CTreeDialog::OnWizardNext() {
  flags.TreeNext();
  queue.AbortAll();
}

void CTreeDialog::OnDepthChanged() {
  crawl.SetDepth(shell.ClampEditValue(kDepthRange, GetDlgItem(page, IDC_TREE_DEPTH)));
}

void CTreeDialog::OnTimeoutChanged() {
  // An empty field gives -1, taken as an unsigned number of seconds.
  queue.SetTimeout(
      static_cast<unsigned>(shell.ClampEditValue(kTimeoutRange, GetDlgItem(page, IDC_TREE_TIMEOUT))));
}

void CTreeDialog::OnTreeDoubleClick() {
  SiteNode* node = treeControl.NodeAt(MessagePoint());
  if (!node) return;
  switch (ActionForDoubleClick(*node)) {
    case DoubleClickAction::Nothing:
      return;
    case DoubleClickAction::RefuseUnreadable:
      shell.MessageBoxId(IDS_CANNOT_EXPAND);
      return;
    case DoubleClickAction::Read:
      queue.StartOrQueue(node->label, *node, 0);
      // A local reading has already ended inside the call and set the node's final icon.
      if (!localCrawl) tree.SetIcon(*node, NodeIcon::Queued);
      return;
  }
}

void CTreeDialog::OnDeleteBranch() {
  SiteNode* node = treeControl.Selected();
  switch (ActionForDelete(queue.HasActiveTask(), node)) {
    case DeleteAction::RefuseWhileActive:
      shell.MessageBoxId(IDS_NO_DELETE_WHILE_ACTIVE);
      return;
    case DeleteAction::Nothing:
      return;
    case DeleteAction::Ask:
      break;
  }
  if (shell.MessageBoxText(DeleteQuestion(StringText(IDS_DELETE_BRANCH), node->label), MB_YESNO) != IDYES)
    return;
  treeControl.BeginBulk();
  tree.DeleteSubtree(*node);
  treeControl.EndBulk();
}

void CTreeDialog::OnSetTopOfChart() {
  if (SiteNode* node = treeControl.Selected()) tree.SetTopOfChart(*node);
}

void CTreeDialog::OnToggleDontMap() {
  if (SiteNode* node = treeControl.Selected()) tree.ToggleDontMap(*node);
}

void CTreeDialog::OnExport() {
  SiteNode* node = treeControl.Selected();
  if (!node) return;
  std::optional<std::string> path = AskSitemapFile(shell.Wizard(), true);
  if (!path) return;
  SitemapWriter writer(shell.StartDirectory(), shell);
  if (!writer.Write(tree, node, *path)) shell.MessageBoxId(IDS_CANNOT_OPEN_FILE);
}

void CTreeDialog::OnOpenInBrowser() {
  SiteNode* node = treeControl.Selected();
  if (!node) return;
  std::string command = BrowserCommandLine(shell.BrowserCommand(), node->label);
  if (!command.empty()) WinExec(command.c_str(), SW_SHOWNORMAL);
}

void CTreeDialog::OnCopyUrl() {
  SiteNode* node = treeControl.Selected();
  if (node && !node->label.empty()) CopyToClipboard(page, node->label);
}

void CTreeDialog::Rebuild(bool import) {
  localCrawl = false;
  largeTree.Begin();
  EmptyTree();
  // The start page's choices, taken once for the whole crawl.
  CrawlSettings crawlSettings = CrawlSettingsOf(settings);
  if (import) crawl.BeginImport(std::move(crawlSettings));
  else crawl.Begin(std::move(crawlSettings));
  ShowSettings();

  if (import) {
    Import(settings.importPath);
    return;
  }
  NormalizeUrl(settings.startUrl);
  SiteNode* start = tree.AddChild(nullptr, settings.startUrl, NodeIcon::Queued);
  crawl.CountStartPage();
  queue.StartOrQueue(settings.startUrl, *start, 0);
}

void CTreeDialog::EmptyTree() {
  // An aborted task lives until a tick disposes of it; that tick runs now, so no task or
  // pending entry outlives the nodes it refers to.
  queue.AbortAll();
  queue.OnTick();
  for (SiteNode* top = tree.FirstTopLevel(); top; top = top->nextSibling) queue.DropEntriesIn(*top);
  treeControl.Clear();
  tree.Clear();
}

void CTreeDialog::Import(const std::string& path) {
  treeControl.BeginBulk();
  SitemapReader reader(shell);
  bool read = false;
  try {
    read = reader.Read(tree, path);
  } catch (const std::bad_alloc&) {
    read = true;  // what was read so far stays
    memoryFull = true;
  }
  if (read) tree.RefreshIcons();
  treeControl.EndBulk();
}

void CTreeDialog::ShowSettings() {
  // -1 stands for an empty field.
  auto show = [this](int id, int value) {
    SetDlgItemTextA(page, id, value == -1 ? "" : std::to_string(value).c_str());
  };
  show(IDC_TREE_DEPTH, crawl.Settings().depth);
  show(IDC_TREE_TIMEOUT, static_cast<int>(queue.TimeoutSeconds()));
}

void CTreeDialog::ShowContextMenu(SiteNode& node, POINT screen) {
  PopupMenu menu(shell.Instance(), IDR_TREE_MENU);
  HMENU popup = menu.First();
  if (!popup) return;
  ContextMenuState state = MenuStateFor(&node);
  CheckMenuItem(popup, ID_TREE_DONT_MAP, MF_BYCOMMAND | (state.dontMapChecked ? MF_CHECKED : MF_UNCHECKED));
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, page, nullptr);
}

void CTreeDialog::DrawBusyFrame(HDC dc) { ImageList_Draw(images->Busy(), shownFrame, dc, 0, 0, ILD_NORMAL); }
