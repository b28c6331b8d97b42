// The application object: start-up, the four-page wizard, the program's message boxes and help.
#pragma once
#include <windows.h>

#include <string>

#include "chart/chart_options.h"
#include "wizard/pages/finish_page_win32.h"
#include "wizard/pages/tree_page_win32.h"
#include "wizard/pages/chart_options_page_win32.h"
#include "wizard/pages/page_shell.h"
#include "wizard/pages/start_page_win32.h"
#include "wizard/pages/start_settings.h"
#include "wizard/pages/wizard_flags.h"

// The program: it owns the start settings, the wizard flags, the site tree and the chart options,
// makes the
// four pages with what each reads, and is their shell. Every message box of the program goes
// through it, the core's included (it is their MessagePort).
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

  CStartDialog startPage{*this, startSettings, flags};
  CTreeDialog treePage{*this, startSettings, flags, tree};
  CChartOptionsDialog chartOptionsPage{*this, chartOptions, flags};
  CFinishDialog finishPage{*this, tree, chartOptions};
};

