#include "wizard/browser_command.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* input;
  const char* expected;
};

TEST(BrowserCommandFromRegistry, Table) {
  const Case cases[] = {
      {"", ""},
      {"C:\\PROGRA~1\\BROWSER\\BROWSER.EXE -nohome %1", "\"c:\\progra~1\\browser\\browser.exe\" "},
      {"C:\\B.EXE", "\"c:\\b.exe\" "},
      {"\"C:\\Program Files\\B\\b.exe\" %1", "\"C:\\Program Files\\B\\b.exe\" "},
      {"\"C:\\Program Files\\B\\b.exe\"", "\"C:\\Program Files\\B\\b.exe\" "},
      // A quoted placeholder's opening quote goes with it, so the URL is not left in an open quote.
      {"\"C:\\Program Files\\B\\b.exe\" -url \"%1\"", "\"C:\\Program Files\\B\\b.exe\" -url "},
      {"\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"", "\"C:\\windows\\system32\\winebrowser.exe\" "},
      {"C:\\B.EXE \"%1\"", "\"c:\\b.exe\" "},
      {"\"C:\\B.EXE\" -nohome %1 -x", "\"C:\\B.EXE\" -nohome "},
      // The cut is at the first "exe", wherever it is.
      {"C:\\EXEC\\B.EXE %1", "\"c:\\exe\" "},
      // No "exe": the registered text before "%1" stays, trailing blanks trimmed to one.
      {"rundll32 url.dll,FileProtocolHandler %1", "rundll32 url.dll,FileProtocolHandler "},
      {"/usr/bin/Browser %1", "/usr/bin/Browser "},
      {"/usr/bin/browser   ", "/usr/bin/browser "},
      // Nothing but the placeholder: no command.
      {"%1", ""},
      {"  %1", ""},
      {"\"%1\"", ""},
      {"  \"%1\"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(BrowserCommandFromRegistry(c.input), c.expected) << "input " << c.input;
}

}  // namespace
