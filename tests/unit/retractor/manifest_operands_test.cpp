#include "retractor/manifest_operands.h"

#include <gtest/gtest.h>

#include "retractor/progman_rules.h"
#include "retractor/progress_dialog.h"

namespace {

std::string Show(const std::optional<RegistryOperand>& e) {
  if (!e) return "-";
  const char* roots[] = {"HKCR", "HKLM", "HKCU", "HKU"};
  return std::string(roots[static_cast<int>(e->root)]) + (e->conditional ? " E" : "") + " <" + e->subkey + ">" +
         (e->valueName ? " =" + *e->valueName : "");
}

TEST(RegistryOperand, RootConditionAndValueNameAreReadAroundTheQuotedKey) {
  const std::pair<std::string, std::string> cases[] = {
      {"Machine \"Software\\Korvane\\Viewer\"", "HKLM <Software\\Korvane\\Viewer>"},
      {"rOOT \".vwr\"", "HKCR <.vwr>"},
      {"CUSER \"Software\\V\" Window Pos", "HKCU <Software\\V> =Window Pos"},
      {"Users \"x\"", "HKU <x>"},
      {"Whatever \"x\"", "HKU <x>"},
      {"Machine E \"Software\\Korvane\"", "HKLM E <Software\\Korvane>"},
      {"Machine E \"Software\\Korvane\" Value", "HKLM E <Software\\Korvane> =Value"},
      {"Machine \"x\"  Value", "HKLM <x>"},  // two spaces: the text left starts with one
      {"Machine \"x\" ", "HKLM <x>"},
      {"Machine \"x\"Value", "HKLM <x> =Value"},
      {"Machine \"x", "-"},
      {"Machine x\"", "-"},
      {"Machine", "-"},
      {"Machine\"x\"", "-"},
      {std::string(19, 'M') + " \"x\"", "HKU <x>"},
      {std::string(20, 'M') + " \"x\"", "-"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Show(ParseRegistryOperand(text)), expected) << text;
}

TEST(CallOperand, SplitsIntoVariablePathFunctionAndArgumentOrIsRefused) {
  struct Case {
    std::string text;
    std::string expected;
  } cases[] = {
      {"%APPDIR%\\reg.dll Unregister", "APPDIR|\\reg.dll|Unregister|"},
      {"C:\\reg.dll Unregister", "-|C:\\reg.dll|Unregister|"},
      {"%A%\\reg.dll Remove all of it now", "A|\\reg.dll|Remove|all of it now"},
      {"%A%\\reg.dll Remove ", "A|\\reg.dll|Remove|"},
      {"%A%\\reg.dll", "none"},
      {"%A\\reg.dll Unregister", "none"},
  };
  for (const Case& c : cases) {
    auto call = ParseCallOperand(c.text);
    std::string shown = call ? call->variable.value_or("-") + "|" + call->libraryPath + "|" + call->function + "|" +
                                   call->argument
                             : "none";
    EXPECT_EQ(shown, c.expected) << c.text;
  }
}

TEST(DirectoryOperand, FirstCharacterStandsForThePercentSign) {
  EXPECT_EQ(ParseDirectoryOperand("%APPDIR%\\Help")->relativePath, "\\Help");
  EXPECT_EQ(ParseDirectoryOperand("xAPPDIR%\\Help")->variable, "APPDIR");
  EXPECT_FALSE(ParseDirectoryOperand("%APPDIR\\Help"));
  EXPECT_FALSE(ParseDirectoryOperand(""));
}

TEST(ApplicationValuePath, SplitsKeyAndValueWithoutExtension) {
  auto p = ParseApplicationValuePath("@ Software\\Korvane\\Viewer\\Title.exe");
  EXPECT_EQ(p.subkey, "Software\\Korvane\\Viewer\\");
  EXPECT_EQ(p.valueName, "Title");
  p = ParseApplicationValuePath("@ Soft.ware\\Name.v1.exe");
  EXPECT_EQ(p.valueName, "Name.v1");
  p = ParseApplicationValuePath("@ Plain");
  EXPECT_EQ(p.subkey, "");
  EXPECT_EQ(p.valueName, "Plain");
}

TEST(ProgressStep, PercentAndCommandsPerStepFollowTheCommandCount) {
  const int cases[][3] = {  // count, step percent, commands per step
      {100, 1, 1}, {149, 1, 1}, {150, 1, 2}, {10000, 1, 100}, {2147483647, 1, 21474836},
      {50, 2, 1}, {66, 2, 1}, {75, 4, 3}, {99, 100, 99},
      {49, 2, 1}, {3, 33, 1}, {1, 100, 1}, {0, 1, 100}, {-7, 1, 100}, {-2147483647 - 1, 1, 100},
  };
  for (const auto& c : cases) {
    ProgressStep step = ComputeProgressStep(c[0]);
    EXPECT_EQ(step.stepPercent, c[1]) << c[0];
    EXPECT_EQ(step.commandsPerStep, c[2]) << c[0];
  }
}

TEST(ProgmanRules, GroupIsEmptyByItsThirdFieldAndOverlongCommandsAreRefused) {
  const std::pair<std::string, bool> cases[] = {
      {"Viewer,3,0,0,0,0", true},  {"Viewer,3,x", true},  {"Viewer,3,1", false},
      {"Viewer,3,12", false},      {"Viewer,3", false},   {"Viewer", false},
      {"Viewer,3,", false},        {std::string(259, 'g') + ",3,0", false},
      {std::string(255, 'g') + ",3,0", true},
  };
  for (const auto& [text, empty] : cases) EXPECT_EQ(IsGroupDescriptionEmpty(text), empty) << text;
  EXPECT_EQ(*ShowGroupCommand("Viewer", true), "[showgroup(Viewer,1,1)]");
  EXPECT_EQ(*DeleteGroupCommand("Viewer", false), "[deletegroup(Viewer,0)]");
  EXPECT_EQ(*DeleteItemCommand("Read Me"), "[deleteitem(Read Me)]");
  EXPECT_FALSE(DeleteItemCommand(std::string(250, 'i')));
}

}  // namespace
