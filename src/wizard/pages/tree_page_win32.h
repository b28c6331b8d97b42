// The tree page: the site tree while the crawl fills it, the crawl's status list, counters and
// busy picture, and the commands on the tree. The program makes the crawl and its queue; the
// page starts each crawl and is what they report to.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <memory>
#include <string>

#include "crawler/crawl_ports.h"
#include "site/site_tree.h"
#include "wizard/pages/site_tree_view_win32.h"
#include "wizard/pages/tree_page_rules.h"
#include "wizard/pages/page_shell.h"
#include "wizard/pages/start_settings.h"
#include "wizard/pages/wizard_flags.h"

class Crawl;
class InternetClient;
class MessagePort;
class TaskEndedPoster;
class TaskQueue;
class TreePageImages;

class CTreeDialog : private StatusLineSink, private CrawlPage, private TaskTimer {
public:
  // `settings` is the start page's: a new crawl normalises its URL in place. The crawl and the
  // queue may be made after the page, with the ports it gives.
  CTreeDialog(PageShell& shell, StartSettings& settings, WizardFlags& flags, SiteTree& tree,
              Crawl& crawl, TaskQueue& queue);
  ~CTreeDialog() override;
  CTreeDialog(const CTreeDialog&) = delete;
  CTreeDialog& operator=(const CTreeDialog&) = delete;

  HPROPSHEETPAGE CreatePage(HINSTANCE instance);
  // What the crawl and its queue report to: this page, the client and the program's messages.
  CrawlerPorts Ports(InternetClient& client, MessagePort& messages);

private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  BOOL OnInitDialog();
  void OnDestroy();
  INT_PTR OnNotify(const NMHDR& header);
  INT_PTR OnTreeNotify(const NMHDR& header);
  INT_PTR OnSheetNotify(const NMHDR& header);
  void OnCommand(int id, int code);
  void OnTimer(UINT_PTR id);
  bool OnContextMenu(HWND from, LPARAM position);
  void OnBackgroundDoubleClick(POINT client);
  void OnDrawBusyPicture(const DRAWITEMSTRUCT& draw);

  void OnSetActive();
  void OnWizardBack();
  void OnWizardNext();
  void OnDepthChanged();
  void OnTimeoutChanged();
  void OnTreeDoubleClick();
  void OnDeleteBranch();
  void OnSetTopOfChart();
  void OnToggleDontMap();
  void OnExport();
  void OnOpenInBrowser();
  void OnCopyUrl();

  void Rebuild(bool import);
  void EmptyTree();
  void Import(const std::string& path);
  void ShowSettings();
  void ShowContextMenu(SiteNode& node, POINT screen);
  void DrawBusyFrame(HDC dc);
  void ShowStatusLines();

  // StatusLineSink, CrawlPage, TaskTimer: what the crawler asks of the page.
  void AddStatusLine(const std::string& line) override;
  void ShowActiveCounter(const std::string& text) override;
  void ShowQueueCounter(const std::string& text) override;
  void NextBusyFrame() override;
  void PostTaskEnded() override;
  void TaskWasLocal() override;
  SettingsFieldValues RereadFields() override;
  void ComplainAboutFields() override;
  void NoRoomForNodes() override;
  void ArmTimeout(unsigned milliseconds) override;
  void DisarmTimeout() override;

  static constexpr UINT_PTR kTickTimer = 13;
  static constexpr UINT_PTR kTimeoutTimer = 14;
  // A person reads a few status lines a second.
  static constexpr DWORD kStatusRefreshMilliseconds = 250;

  PageShell& shell;
  StartSettings& settings;
  WizardFlags& flags;
  SiteTree& tree;
  Crawl& crawl;
  TaskQueue& queue;
  SiteTreeViewWin32 treeControl;
  std::unique_ptr<TreePageImages> images;
  std::unique_ptr<TaskEndedPoster> taskEnded;
  HWND page = nullptr;
  bool closing = false;
  bool localCrawl = false;
  bool memoryFull = false;  // to be said at the next tick
  StatusLog statusLog;
  LargeTreeNotice largeTree;
  DWORD statusShown = 0;
  BusyAnimation animation;
  int shownFrame = 0;
  // The fields as last read again, until their complaint has been shown.
  SettingsFields reread;
  // A complaint about a field is shown once for the same text, never while one is up.
  std::string complainedAbout;
  bool complaining = false;
};
