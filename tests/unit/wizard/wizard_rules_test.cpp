// Rules of the wizard shell.
#include "wizard/wizard_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(StartDirectoryFrom, EndsInOneBackslash) {
  EXPECT_EQ(StartDirectoryFrom("C:\\work"), "C:\\work\\");
  EXPECT_EQ(StartDirectoryFrom("C:\\"), "C:\\");
  EXPECT_EQ(StartDirectoryFrom(""), "\\");
}

TEST(IsOleServerCommandLine, EitherSwitchInAnyCase) {
  const struct {
    const char* commandLine;
    bool server;
  } cases[] = {
      {"", false},
      {"-Embedding", true},
      {"/AUTOMATION", true},
      {"/automation -embedding", true},
      {"C:\\site\\index.html", false},
      {"/Embed", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsOleServerCommandLine(c.commandLine), c.server) << c.commandLine;
}

TEST(HelpCommandLine, QuotedPageAfterTheBrowserPrefix) {
  EXPECT_EQ(HelpCommandLine("\"C:\\Program Files\\Browse\\browse.exe\" ", "C:\\My Tools\\"),
            "\"C:\\Program Files\\Browse\\browse.exe\"  \"C:\\My Tools\\Pathloom.htm\"");
}

}  // namespace
