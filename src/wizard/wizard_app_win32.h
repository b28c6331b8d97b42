// The application object: start-up, the four-page wizard, the program's message boxes and help.
#pragma once
#include <windows.h>

#include <string>

#include "chart/finish_page_win32.h"
#include "common/message_port.h"
#include "sitetree/tree_page_win32.h"
#include "wizard/chart_options_page_win32.h"
#include "wizard/field_rules.h"
#include "wizard/start_page_win32.h"
#include "wizard/wizard_flags.h"

// The flags rebuildTree and importPending come with WizardFlags. Every message box of the program
// goes through it, the core's included (it is their MessagePort).
class CWizardApp : public WizardFlags, public MessagePort {
public:
  int Run(HINSTANCE instance, const char* commandLine);

  // Shows string `id` in a message box titled "Pathloom 2.0" (string 119), owned by the wizard.
  int MessageBoxId(UINT id, UINT style = MB_OK);
  // The same for a text that is not in the string table.
  int MessageBoxText(const std::string& text, UINT style = MB_OK);
  std::string LoadText(UINT id) const;
  void ShowMessage(int stringId) override { MessageBoxId(stringId); }
  void ShowFileError(const std::string& path) override;

  // The integer in `edit` held to lowest..highest: out-of-range text is replaced by the nearer
  // limit and message `messageId` is shown. -1 for an empty field, which is left alone.
  int ClampEditValue(int lowest, int highest, UINT messageId, HWND edit);
  int ClampEditValue(const FieldRange& range, HWND edit) {
    return ClampEditValue(range.lowest, range.highest, static_cast<UINT>(range.messageId), edit);
  }

  // Opens the help page in the default browser.
  void ShowHelp();

  std::string startDirectory;
  HINSTANCE instance = nullptr;
  HWND wizard = nullptr;

  CStartDialog startPage;
  CTreeDialog treePage;
  CChartOptionsDialog chartOptionsPage;
  CFinishDialog finishPage;
};

CWizardApp& TheApp();
