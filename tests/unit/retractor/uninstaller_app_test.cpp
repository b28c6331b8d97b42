#include "retractor/uninstaller_app.h"

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "retractor/command_line.h"

namespace {

constexpr RegistryRoot HKLM = RegistryRoot::LocalMachine;

TEST(CommandLine, SwitchesInAnyOrderAreReadUntilTheFirstManifestName) {
  struct Case {
    std::string line;
    bool silent, test;
    std::string key;
    std::string rest;
  } cases[] = {
      {"viewer.app", false, false, "", "viewer.app"},
      {"/s viewer.app", true, false, "", "viewer.app"},
      {"/t viewer.app", false, true, "", "viewer.app"},
      {"/s /t a.app b.app", true, true, "", "a.app b.app"},
      {"/t /s a.app", true, true, "", "a.app"},
      {"/s /t /r\"Viewer\"a.app", true, true, "Viewer", "a.app"},
      {"/r\"Viewer\" a.app", false, false, "Viewer", " a.app"},
      {"/r\"Viewer\"/s a.app", true, false, "Viewer", "a.app"},
      {"/r\"Unclosed a.app", false, false, "", "Unclosed a.app"},
      {"/s at.app", true, false, "", "at.app"},  // a name, not "/t"
      {"/x a.app", false, false, "", "a.app"},  // unknown switch passed over
      {"/x/s a.app", false, false, "", "s a.app"},
      {"/s", true, false, "", ""},
      {"/", false, false, "", ""},
      {"/r", false, false, "", ""},
      {"/s ", true, false, "", ""},
  };
  for (const Case& c : cases) {
    CommandLineSwitches s = ParseSwitches(c.line);
    EXPECT_EQ(s.silentMode, c.silent) << c.line;
    EXPECT_EQ(s.testMode, c.test) << c.line;
    EXPECT_EQ(s.registryKeyName, c.key) << c.line;
    EXPECT_EQ(c.line.substr(s.namesStart), c.rest) << c.line;
  }
}

TEST(CommandLine, ManifestNamesSplitOnSingleSpaces) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitManifestNames("a.app b.app"), (V{"a.app", "b.app"}));
  EXPECT_EQ(SplitManifestNames("a.app  b.app"), (V{"a.app", " b.app"}));
  EXPECT_EQ(SplitManifestNames(" a.app"), (V{" a.app"}));
  EXPECT_EQ(SplitManifestNames("a.app "), (V{"a.app"}));
  EXPECT_EQ(SplitManifestNames(""), V{});
  EXPECT_EQ(SplitManifestNames(std::string(260, 'n') + " b.app " + std::string(259, 'm')),
            (V{"b.app", std::string(259, 'm')}));
}

class Shell : public ::testing::Test {
protected:
  void SetUp() override {
    Directory("C:\\Korvane\\Uninst\\");
    fp.registry.SetString(HKLM, "SOFTWARE\\Korvane\\Uninstaller\\APPDIR", "", "C:\\App");
    fp.files.AddDirectory("C:\\Korvane");
    fp.files.AddDirectory("C:\\Korvane\\Uninst");
    fp.files.AddFile("C:\\App\\a.txt");
    fp.files.AddFile("C:\\App\\b.txt");
    fp.files.AddFile("C:\\Korvane\\Uninst\\a.app", "1\nF %APPDIR%\\a.txt\n");
    fp.files.AddFile("C:\\Korvane\\Uninst\\b.app", "1\nF %APPDIR%\\b.txt\n");
    fp.files.AddFile("C:\\Korvane\\Uninst\\Shared.sys", "1\nK Machine \"SOFTWARE\\Shared\"\n");
    fp.registry.Make(HKLM, "SOFTWARE\\Shared");
  }
  void Directory(const std::string& value) {
    fp.registry.SetString(HKLM, "SOFTWARE\\Korvane\\Uninstaller", "", value);
  }
  int Run(const std::string& line) { return UninstallerApp(fp.platform).Run(line); }
  bool Exists(const std::string& path) { return fp.files.Exists(path); }

  FakePlatform fp;
};

TEST_F(Shell, EmptyCommandLineOnlyShowsTheMessage) {
  EXPECT_EQ(Run(""), 0);
  ASSERT_EQ(fp.ui.messages.size(), 1u);
  EXPECT_EQ(fp.ui.messages[0].text,
            "Please run the Korvane Uninstaller with the name of a manifest file on the command line.");
  EXPECT_EQ(fp.ui.messages[0].caption, "The Korvane Uninstaller");
  EXPECT_EQ(fp.ui.messages[0].flags, kMbOk | kMbIconExclamation);
}

TEST_F(Shell, RunsEveryManifestThenCleansUpOnTheLegacyShell) {
  fp.windows.version = {3, 2};
  EXPECT_EQ(Run("a.app b.app"), 0);
  EXPECT_EQ(fp.ui.messages[0].text, "Are you sure you want to remove the selected program?");
  EXPECT_EQ(fp.ui.messages[0].flags, kMbYesNo | kMbIconQuestion);
  EXPECT_FALSE(Exists("C:\\App\\a.txt"));
  EXPECT_FALSE(Exists("C:\\App\\b.txt"));
  EXPECT_FALSE(Exists("C:\\Korvane\\Uninst\\Shared.sys"));
  EXPECT_FALSE(fp.registry.HasKey(HKLM, "SOFTWARE\\Shared"));
  // One RegDeleteKeyA: on NT the key stays while a variable is still under it.
  EXPECT_TRUE(fp.registry.HasKey(HKLM, "SOFTWARE\\Korvane\\Uninstaller\\APPDIR"));
  EXPECT_FALSE(Exists("C:\\Korvane\\Uninst"));
  EXPECT_FALSE(Exists("C:\\Korvane"));
  EXPECT_EQ(fp.windows.fontChanges, 1);
}

TEST_F(Shell, NoOrNoDirectoryDoesNothing) {
  fp.ui.messageAnswers = {kIdNo};
  Run("a.app");
  EXPECT_TRUE(Exists("C:\\App\\a.txt"));
  EXPECT_EQ(fp.windows.fontChanges, 0);
  for (const char* value : {"", "\\"}) {
    Directory(value);
    Run("/s a.app");
    EXPECT_TRUE(Exists("C:\\App\\a.txt")) << value;
  }
  EXPECT_EQ(fp.windows.fontChanges, 0);
}

TEST_F(Shell, SilentSwitchesOnlyStillCleansUp) {
  fp.files.RemoveFile("C:\\Korvane\\Uninst\\a.app");
  fp.files.RemoveFile("C:\\Korvane\\Uninst\\b.app");
  Run("/s ");
  EXPECT_TRUE(fp.ui.messages.empty());
  EXPECT_FALSE(Exists("C:\\Korvane\\Uninst\\Shared.sys"));
  EXPECT_FALSE(Exists("C:\\Korvane\\Uninst"));
  EXPECT_TRUE(Exists("C:\\Korvane"));  // the parent goes on the legacy shell only
  EXPECT_EQ(fp.windows.fontChanges, 1);
}

TEST_F(Shell, RemainingManifestStopsTheCleanUp) {
  Run("/s a.app");
  EXPECT_FALSE(Exists("C:\\App\\a.txt"));
  EXPECT_TRUE(Exists("C:\\Korvane\\Uninst\\Shared.sys"));
  EXPECT_TRUE(fp.registry.HasKey(HKLM, "SOFTWARE\\Shared"));
}

TEST_F(Shell, TestModeLeavesEverything) {
  FakeRegistry before = fp.registry;
  auto files = fp.files.entries;
  Run("/s /t a.app b.app");
  EXPECT_TRUE(fp.registry.SameAs(before));
  EXPECT_EQ(fp.files.entries, files);
}

TEST_F(Shell, SubkeyNamesTheDirectoryButVariablesAndCleanUpUseTheBaseKey) {
  fp.registry.SetString(HKLM, "SOFTWARE\\Korvane\\Uninstaller\\Viewer", "", "D:\\Other\\");
  fp.files.AddDirectory("D:\\Other");
  fp.files.AddFile("D:\\Other\\v.app", "1\nF %APPDIR%\\a.txt\n");
  fp.files.AddFile("D:\\Other\\Shared.sys", "0\n");
  fp.registry.ninexDelete = true;
  fp.windows.version = {4, 1};
  Run("/s /r\"Viewer\"v.app");
  EXPECT_FALSE(Exists("C:\\App\\a.txt"));
  EXPECT_FALSE(Exists("D:\\Other\\v.app"));
  EXPECT_FALSE(fp.registry.HasKey(HKLM, "SOFTWARE\\Korvane\\Uninstaller"));
  EXPECT_FALSE(Exists("D:\\Other"));
}

TEST_F(Shell, NineXCleanUpRemovesTheKeyWithVariablesThatAreNoSingleChain) {
  fp.windows.version = {4, 1};
  fp.registry.ninexDelete = true;
  fp.registry.chainsOnly = true;  // as Wine's 9x mode deletes
  fp.registry.Make(HKLM, "SOFTWARE\\Korvane\\Uninstaller\\APPDIR\\Extra");
  fp.registry.SetString(HKLM, "SOFTWARE\\Korvane\\Uninstaller\\GROUP", "", "Viewer");
  fp.registry.SetString(HKLM, "SOFTWARE\\Korvane\\Uninstaller\\SYSDIR", "", "C:\\App\\System");
  Run("/s a.app b.app");
  EXPECT_FALSE(Exists("C:\\Korvane\\Uninst"));
  EXPECT_FALSE(fp.registry.HasKey(HKLM, "SOFTWARE\\Korvane\\Uninstaller"));
  EXPECT_TRUE(fp.registry.HasKey(HKLM, "SOFTWARE\\Korvane"));
  EXPECT_EQ(fp.registry.openKeys, 0);
}

TEST_F(Shell, ApplicationRunningStopsEverythingAfterIt) {
  fp.files.AddFile("C:\\Korvane\\Uninst\\a.app", "1\nA Viewer\n");
  fp.windows.windows = {{"V", "Viewer"}};
  EXPECT_EQ(Run("/s a.app b.app"), 0);
  EXPECT_TRUE(Exists("C:\\App\\b.txt"));
  EXPECT_TRUE(Exists("C:\\Korvane\\Uninst\\a.app"));
  EXPECT_EQ(fp.windows.fontChanges, 0);
}

}  // namespace
