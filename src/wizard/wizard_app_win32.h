// The application object: start-up, the four-page wizard, the program's message boxes and help.
#pragma once
#include <windows.h>

#include <string>

#include "chart/chart_options.h"
#include "crawler/crawl.h"
#include "crawler/internet_client_win32.h"
#include "crawler/task_queue.h"
#include "wizard/pages/finish_page_win32.h"
#include "wizard/pages/tree_page_win32.h"
#include "wizard/pages/chart_options_page_win32.h"
#include "wizard/pages/page_shell.h"
#include "wizard/pages/start_page_win32.h"
#include "wizard/pages/start_settings.h"
#include "wizard/pages/wizard_flags.h"

// The program: it owns the start settings, the wizard flags, the site tree and the chart options,
// makes the internet client, the crawl and its task queue, makes the four pages with what each
// reads, and is their shell. Every message box of the program goes through it, the core's
// included (it is their MessagePort).
class CWizardApp : public PageShell {
public:
  int Run(HINSTANCE instance, const char* commandLine);

  HINSTANCE Instance() const override { return instance; }
  HWND Wizard() const override { return wizard; }
  int MessageBoxId(UINT id, UINT style = MB_OK) override;
  int MessageBoxText(const std::string& text, UINT style = MB_OK) override;
  void ShowMessage(int stringId) override { MessageBoxId(stringId); }
  void ShowFileError(const std::string& path) override;
  int ClampEditValue(const FieldRange& range, HWND edit) override;
  void ShowHelp() override;
  std::string BrowserCommand() const override;
  const std::string& StartDirectory() const override { return startDirectory; }

  // The sheet's window, once it exists.
  void SetWizard(HWND window) { wizard = window; }

private:
  std::string startDirectory;
  HINSTANCE instance = nullptr;
  HWND wizard = nullptr;

  StartSettings startSettings;
  WizardFlags flags;
  ChartOptions chartOptions;
  SiteTree tree;
  // Made on the user-interface thread (the program object is made in WinMain); the queue goes
  // first, so its task closes its handles while the client exists.
  InternetClientWin32 client;

  CStartDialog startPage{*this, startSettings, flags};
  // The page reports the crawl's progress; the crawl and the queue are made after it.
  CTreeDialog treePage{*this, startSettings, flags, tree, crawl, queue};
  Crawl crawl{tree, queue, treePage.Ports(client, *this).page, treePage.Ports(client, *this).timer};
  TaskQueue queue{tree, crawl, treePage.Ports(client, *this)};
  CChartOptionsDialog chartOptionsPage{*this, chartOptions, flags};
  CFinishDialog finishPage{*this, tree, chartOptions};
};

