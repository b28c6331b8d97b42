// What a wizard page asks of the program around it: message boxes by string number, help, the
// range check on integer fields, the default browser, and where it runs. A page gets one when it
// is made, with the state it reads, and reaches nothing else.
#pragma once
#include <windows.h>

#include <string>

#include "common/message_port.h"
#include "wizard/pages/field_rules.h"

class PageShell : public MessagePort {
public:
  virtual HINSTANCE Instance() const = 0;
  virtual HWND Wizard() const = 0;
  // Shows string `id` in a message box titled "Pathloom 2.0" (string 119), owned by the wizard.
  virtual int MessageBoxId(UINT id, UINT style = MB_OK) = 0;
  // The same for a text that is not in the string table.
  virtual int MessageBoxText(const std::string& text, UINT style = MB_OK) = 0;
  // The integer in `edit` held to the range: out-of-range text is replaced by the nearer limit
  // and the range's message is shown. -1 for an empty field, which is left alone.
  virtual int ClampEditValue(const FieldRange& range, HWND edit) = 0;
  // Opens the help page in the default browser.
  virtual void ShowHelp() = 0;
  // The default browser's command prefix; empty when none is registered.
  virtual std::string BrowserCommand() const = 0;
  // The folder the program started in, where the help page and the sitemap template are.
  virtual const std::string& StartDirectory() const = 0;
};
