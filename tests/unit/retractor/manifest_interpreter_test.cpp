#include "retractor/manifest_interpreter.h"

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "retractor/file_deletion.h"

namespace {

constexpr RegistryRoot HKLM = RegistryRoot::LocalMachine;
constexpr RegistryRoot HKCU = RegistryRoot::CurrentUser;
const char* const kNewShared = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char* const kNtShared = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SharedDLLs";

class Engine : public ::testing::Test {
protected:
  void SetUp() override {
    settings.title = "The Korvane Uninstaller";
    settings.uninstallerDir = "C:\\Uninst";
    Variable("APPDIR", "C:\\App");
    Variable("SYSDIR", "C:\\Win\\System");
    Variable("GROUP", "Viewer");
    fs().AddDirectory("C:\\App");
    fs().AddDirectory("C:\\App\\Help");
    fs().AddFile("C:\\App\\Read Me.txt");
    fs().AddFile("C:\\App\\viewreg.dll");
    fs().AddFile("C:\\Win\\System\\viewctl.dll");
    fp.libraries.exports["c:\\app\\viewreg.dll"] = {"Unregister", "Remove"};
  }
  void Variable(const std::string& name, const std::string& value) {
    reg().SetString(HKLM, std::string("SOFTWARE\\Korvane\\Uninstaller\\") + name, "", value);
  }
  FakeRegistry& reg() { return fp.registry; }
  FakeFileSystem& fs() { return fp.files; }
  RunOutcome Run(const std::string& text) {
    StringTextFile file(text);
    return ManifestInterpreter(settings, fp.platform).Run(file);
  }

  FakePlatform fp;
  UninstallerSettings settings;
};

const char* const kExample =
    "7\n/ Viewer 1.0\nA Viewer\nU %APPDIR%\\viewreg.dll Unregister\nF %APPDIR%\\Read Me.txt\n"
    "S %SYSDIR%\\viewctl.dll\nD %APPDIR%\\Help\nN %GROUP%Viewer\n";

TEST_F(Engine, RunsTheExampleManifest) {
  reg().SetDword(HKLM, kNewShared, "C:\\Win\\System\\viewctl.dll", 2);
  fp.windows.windows = {{"Other", "Not the Viewer"}};
  EXPECT_EQ(Run(kExample), RunOutcome::Finished);

  EXPECT_EQ(fp.libraries.calls, std::vector<std::string>{"C:\\App\\viewreg.dll!Unregister"});
  EXPECT_EQ(fp.libraries.loaded, 0);
  EXPECT_FALSE(fs().Exists("C:\\App\\viewreg.dll"));
  EXPECT_FALSE(fs().Exists("C:\\App\\Read Me.txt"));
  EXPECT_FALSE(fs().Exists("C:\\App\\Help"));
  EXPECT_EQ(reg().Dword(HKLM, kNewShared, "C:\\Win\\System\\viewctl.dll"), 1u);
  EXPECT_TRUE(fs().Exists("C:\\Win\\System\\viewctl.dll"));
  EXPECT_TRUE(fp.progman.log.empty());  // newer shell
  EXPECT_TRUE(fp.ui.messages.empty());
  const std::vector<std::string> progress = {
      "open The Korvane Uninstaller", "setstep 14", "text Running an external uninstall process",
      "text Deleting files", "text Deleting shared components", "text Cleaning up directories", "close"};
  EXPECT_EQ(fp.ui.progress, progress);
  EXPECT_EQ(fp.ui.steps, 7);
  EXPECT_EQ(reg().openKeys, 0);
}

TEST_F(Engine, TestModeChangesNothingButStillShowsProgress) {
  settings.testMode = true;
  settings.legacyShell = true;
  reg().SetDword(HKLM, kNtShared, "C:\\Win\\System\\viewctl.dll", 1);
  reg().Make(RegistryRoot::ClassesRoot, ".vwr\\shell");
  reg().Make(HKCU, "Software\\Korvane\\Empty");
  fp.progman.emptyGroups = {"Viewer"};
  FakeRegistry registryBefore = reg();
  auto filesBefore = fs().entries;

  Run(std::string(kExample) + "K Root \".vwr\"\nK Cuser E \"Software\\Korvane\\Empty\"\nC %APPDIR%\\viewreg.dll Remove\n"
                              "F %APPDIR%\\*.*\n");

  EXPECT_TRUE(reg().SameAs(registryBefore));
  EXPECT_EQ(fs().entries, filesBefore);
  EXPECT_TRUE(fp.libraries.loads.empty());
  EXPECT_TRUE(fp.progman.log.empty());
  EXPECT_TRUE(fp.ui.questions.empty());
  EXPECT_EQ(reg().flushes, 0);
  EXPECT_EQ(fp.ui.steps, 11);
}

TEST_F(Engine, ApplicationFoundByTitleClassOrRegisteredNameStopsTheRunWithItsName) {
  fp.windows.windows = {{"Edit", ""}, {"Shell", "My Viewer 2"}, {"VwrMain", "Viewer - notes.txt"}};
  reg().SetString(HKCU, "Software\\Korvane\\Viewer", "Title", "Viewer -");
  reg().SetString(HKCU, "Software\\Korvane\\Viewer", "Class", "#:VwrMain");
  struct Case {
    std::string line;
    bool running;
    std::string shown;
  } cases[] = {
      {"A Viewer", true, "Viewer"},
      {"A My", true, "My"},
      {"A Notes", false, ""},
      {"A viewer", false, ""},  // case-sensitive
      {"A iewer", false, ""},   // at the first character only
      {"A ", false, ""},
      {"A #:VwrMain", true, "Viewer - notes.txt"},
      {"A #:NoSuchClass", false, ""},
      {"A #", false, ""},
      {"A @:Software\\Korvane\\Viewer\\Title.exe", true, "Viewer -"},
      {"A @:Software\\Korvane\\Viewer\\Class", true, "Viewer - notes.txt"},
      {"A @:Software\\Korvane\\Viewer\\Missing.exe", false, ""},
  };
  for (const Case& c : cases) {
    fp.ui.messages.clear();
    fp.libraries.calls.clear();
    EXPECT_EQ(Run("2\n" + c.line + "\nC %APPDIR%\\viewreg.dll Remove\n"),
              c.running ? RunOutcome::ProgramEnded : RunOutcome::Finished)
        << c.line;
    EXPECT_EQ(fp.libraries.calls.empty(), c.running) << c.line;
    if (c.running) {
      ASSERT_EQ(fp.ui.messages.size(), 1u);
      EXPECT_EQ(fp.ui.messages[0].text, c.shown + " is currently running. Please close the application and run "
                                                  "the Korvane Uninstaller again.");
      EXPECT_EQ(fp.ui.messages[0].flags, kMbOk | kMbIconHand);
    }
  }
}

TEST_F(Engine, ApplicationRunningEndsTheProgramAlsoSilentlyAndKeepsTheManifest) {
  settings.silentMode = true;
  fp.windows.windows = {{"VwrMain", "Viewer"}};
  fs().AddFile("C:\\Uninst\\viewer.app", "2\nA Viewer\nF %APPDIR%\\Read Me.txt\n");
  EXPECT_EQ(ProcessManifestFile("viewer.app", settings, fp.platform), RunOutcome::ProgramEnded);
  EXPECT_EQ(fp.ui.messages.size(), 1u);
  EXPECT_TRUE(fs().Exists("C:\\Uninst\\viewer.app"));
  EXPECT_TRUE(fs().Exists("C:\\App\\Read Me.txt"));
  EXPECT_TRUE(fp.ui.progress.empty());
}

TEST_F(Engine, ProcessManifestFileDeletesTheManifestUnlessTesting) {
  fs().AddFile("C:\\Uninst\\a.app", "1\n/ nothing\n");
  EXPECT_EQ(ProcessManifestFile("missing.app", settings, fp.platform), RunOutcome::Finished);
  settings.testMode = true;
  ProcessManifestFile("a.app", settings, fp.platform);
  EXPECT_TRUE(fs().Exists("C:\\Uninst\\a.app"));
  settings.testMode = false;
  ProcessManifestFile("a.app", settings, fp.platform);
  EXPECT_FALSE(fs().Exists("C:\\Uninst\\a.app"));
  EXPECT_EQ(fs().openFiles, 0);
  EXPECT_EQ(ProcessManifestFile(std::string(260, 'n'), settings, fp.platform), RunOutcome::Finished);
}

TEST_F(Engine, CallsOnlyExportedFunctionsAndUnregisterDeletesTheLibraryAnyway) {
  fs().AddFile("C:\\App\\broken.dll");
  fp.libraries.exports["plain.dll"] = {"Go"};
  Run("6\nC %APPDIR%\\viewreg.dll Remove all of it\nC plain.dll Go\nU %APPDIR%\\broken.dll Unregister\n"
      "C %APPDIR%\\viewreg.dll Missing\nC %NOVAR%\\x.dll F\nC %APPDIR%\\viewreg.dll\n");
  const std::vector<std::string> calls = {"C:\\App\\viewreg.dll!Remove(all of it)", "plain.dll!Go"};
  EXPECT_EQ(fp.libraries.calls, calls);
  const std::vector<std::string> loads = {"C:\\App\\viewreg.dll", "plain.dll", "C:\\App\\broken.dll",
                                          "C:\\App\\viewreg.dll", "\\x.dll"};
  EXPECT_EQ(fp.libraries.loads, loads);
  EXPECT_FALSE(fs().Exists("C:\\App\\broken.dll"));  // deleted although it never loaded
  EXPECT_TRUE(fs().Exists("C:\\App\\viewreg.dll"));
}

TEST_F(Engine, DeleteFilesStopsAtTheFirstFailure) {
  fs().AddDirectory("C:\\Data");
  Variable("DATA", "C:\\Data");
  fs().AddFile("C:\\Data\\a.dat");
  fs().AddFile("C:\\Data\\b.dat", "", true);  // read-only
  fs().AddFile("C:\\Data\\c.dat");
  fs().AddFile("C:\\Data\\keep.txt");
  fs().AddDirectory("C:\\Data\\0sub.dat");
  Run("2\nF %DATA%\\?.dat\nF %DATA%/*.txt\n");
  EXPECT_FALSE(fs().Exists("C:\\Data\\a.dat"));
  EXPECT_TRUE(fs().Exists("C:\\Data\\b.dat"));
  EXPECT_TRUE(fs().Exists("C:\\Data\\c.dat"));
  EXPECT_FALSE(fs().Exists("C:\\Data\\keep.txt"));  // forward slash counts as a separator

  fs().removed.clear();
  Run("1\nF %DATA%\\*.dat\n");  // the directory 0sub.dat comes first and cannot be deleted
  EXPECT_TRUE(fs().removed.empty());
  EXPECT_EQ(PatternDirectory("C:x*.dat"), "C:");
  EXPECT_EQ(PatternDirectory("\\\\srv\\share\\d\\*.x"), "\\\\srv\\share\\d\\");
}

TEST_F(Engine, VariablesAreCachedPerManifestOnlyWhenRead) {
  fs().AddFile("C:\\Later\\x.txt");
  fs().AddFile("C:\\App\\y.txt");
  reg().defaultValueReads = 0;
  // LATER is recorded only after its first use; APPDIR changes after its first use.
  Run("1\nF %LATER%\\x.txt\n");
  Variable("LATER", "C:\\Later");
  Run("1\nF %LATER%\\x.txt\n");
  EXPECT_FALSE(fs().Exists("C:\\Later\\x.txt"));

  reg().defaultValueReads = 0;
  fs().AddFile("C:\\Moved\\y.txt");
  StringTextFile file("2\nF %APPDIR%\\nothing\nF %APPDIR%\\y.txt\n");
  ManifestInterpreter interpreter(settings, fp.platform);
  Variable("APPDIR", "C:\\App");
  interpreter.Run(file);
  EXPECT_EQ(reg().defaultValueReads, 1);
  EXPECT_FALSE(fs().Exists("C:\\App\\y.txt"));
}

TEST_F(Engine, NameOfOnlyBackslashesNamesNoVariable) {
  // "Uninstaller\\" would open the base key itself and give the data directory.
  reg().SetString(HKLM, "SOFTWARE\\Korvane\\Uninstaller", "", "C:\\Uninst");
  fs().AddFile("C:\\Uninst\\viewer.app");
  Run("2\nF %\\%\\*.app\nD \\\\%\n");
  EXPECT_TRUE(fs().Exists("C:\\Uninst\\viewer.app"));
  EXPECT_EQ(reg().defaultValueReads, 0);
}

TEST_F(Engine, KeyCommandsDeleteAValueAWholeTreeOrAConditionalKeyOnlyWhenEmpty) {
  reg().SetString(HKCU, "Software\\V", "Window Pos", "1");
  reg().SetString(HKCU, "Software\\V", "Keep", "1");
  reg().Make(HKLM, "Software\\Korvane\\Full\\Sub");
  reg().Make(HKLM, "Software\\Korvane\\Empty");
  reg().SetString(HKLM, "Software\\Korvane\\Valued", "v", "1");
  reg().Make(HKLM, "Software\\Korvane\\Deep\\a\\b\\c\\d");
  reg().Make(HKLM, "Software\\Korvane\\Deep\\a2");
  reg().Make(RegistryRoot::Users, ".DEFAULT\\Software\\Korvane");
  Run("7\nK Cuser \"Software\\V\" Window Pos\nK Machine E \"Software\\Korvane\\Full\"\n"
      "K Machine E \"Software\\Korvane\\Empty\"\nK Machine E \"Software\\Korvane\\Valued\"\n"
      "K Machine E \"Software\\Korvane\\Missing\"\nK Machine \"Software\\Korvane\\Deep\"\n"
      "K Other \".DEFAULT\\Software\\Korvane\"\n");
  EXPECT_FALSE(reg().HasValue(HKCU, "Software\\V", "Window Pos"));
  EXPECT_TRUE(reg().HasValue(HKCU, "Software\\V", "Keep"));
  EXPECT_TRUE(reg().HasKey(HKLM, "Software\\Korvane\\Full\\Sub"));
  EXPECT_FALSE(reg().HasKey(HKLM, "Software\\Korvane\\Empty"));
  EXPECT_TRUE(reg().HasKey(HKLM, "Software\\Korvane\\Valued"));
  EXPECT_FALSE(reg().HasKey(HKLM, "Software\\Korvane\\Deep"));
  EXPECT_FALSE(reg().HasKey(RegistryRoot::Users, ".DEFAULT\\Software\\Korvane"));
  EXPECT_EQ(reg().openKeys, 0);
}

TEST_F(Engine, KeyTreeDeletionEndsWhenASubkeyCannotGo) {
  reg().Make(HKLM, "Software\\T\\locked\\inner");
  reg().Make(HKLM, "Software\\T\\locked\\inner2");
  reg().Make(HKLM, "Software\\T\\z\\deep");
  reg().undeletable = {"machine\\software\\t\\locked\\inner"};
  Run("1\nK Machine \"Software\\T\"\n");
  EXPECT_TRUE(reg().HasKey(HKLM, "Software\\T\\locked\\inner"));
  EXPECT_FALSE(reg().HasKey(HKLM, "Software\\T\\locked\\inner2"));
  EXPECT_FALSE(reg().HasKey(HKLM, "Software\\T\\z"));
  EXPECT_EQ(reg().openKeys, 0);
}

TEST_F(Engine, KeyDeletionOnNineXIsOneCallAndNeverTheWholeRoot) {
  settings.platformId = 1;
  reg().ninexDelete = true;
  reg().Make(HKLM, "Software\\T\\a\\b");
  reg().Make(HKLM, "Software\\Other");
  Run("3\nK Machine \"Software\\T\"\nK Machine \"\"\nK Machine \"\\\\\"\n");
  EXPECT_EQ(reg().deletions, std::vector<std::string>{"machine\\software\\t"});
  EXPECT_EQ(reg().enumerations, 0);
  EXPECT_TRUE(reg().HasKey(HKLM, "Software\\Other"));
}

TEST_F(Engine, KeyLeftByWinesNineXDeletionGoesTheTreeWay) {
  settings.platformId = 1;
  reg().ninexDelete = true;
  reg().chainsOnly = true;
  reg().Make(HKLM, "Software\\T\\a\\b");
  reg().Make(HKLM, "Software\\T\\c");
  reg().Make(HKLM, "Software\\Chain\\a\\b");
  Run("2\nK Machine \"Software\\T\"\nK Machine \"Software\\Chain\"\n");
  EXPECT_FALSE(reg().HasKey(HKLM, "Software\\T"));
  EXPECT_FALSE(reg().HasKey(HKLM, "Software\\Chain"));
  EXPECT_EQ(reg().deletions.back(), "machine\\software\\chain") << "a chain goes in one call";
  EXPECT_EQ(reg().openKeys, 0);
}

TEST_F(Engine, NulByteInAnOperandRefusesTheCommand) {
  using namespace std::string_literals;
  // Cut at the NUL, the subkey would be empty and name the whole root; the NAME would
  // name the base key, whose value is the data directory.
  reg().Make(HKLM, "Software\\Other");
  reg().SetString(HKLM, "SOFTWARE\\Korvane\\Uninstaller", "", "C:\\Uninst");
  fs().AddFile("C:\\Uninst\\viewer.app");
  Run("3\nF %\0%\\*.app\nK Machine \"\0x\"\nF %APPDIR%\\Read Me.txt\n"s);
  EXPECT_TRUE(reg().HasKey(HKLM, "Software\\Other"));
  EXPECT_TRUE(fs().Exists("C:\\Uninst\\viewer.app"));
  EXPECT_FALSE(fs().Exists("C:\\App\\Read Me.txt"));
}

struct SharedCase {
  std::uint32_t stored;
  std::deque<int> answers;
  std::optional<std::uint32_t> after;
  bool fileStays;
  std::size_t questions;
};

TEST_F(Engine, SharedCountFallsByOneAndTheLastCopyGoesOnlyOnYes) {
  const SharedCase cases[] = {
      {2, {}, 1u, true, 0},
      {256, {}, 255u, true, 0},
      {1, {kIdYes}, std::nullopt, false, 1},
      {1, {kIdYesToAll}, std::nullopt, false, 1},
      {1, {kIdNo}, 1u, true, 1},
      {1, {kIdCancel}, 1u, true, 1},
      {0, {kIdNo}, 0u, true, 1},  // never wraps round to 4294967295
      {0, {kIdYes}, std::nullopt, false, 1},
  };
  for (const SharedCase& c : cases) {
    fs().AddFile("C:\\Win\\System\\viewctl.dll");
    reg().SetDword(HKLM, kNewShared, "C:\\Win\\System\\viewctl.dll", c.stored);
    fp.ui.questions.clear();
    fp.ui.sharedAnswers = c.answers;
    Run("1\nS %SYSDIR%\\viewctl.dll\n");
    EXPECT_EQ(reg().Dword(HKLM, kNewShared, "c:\\win\\system\\VIEWCTL.DLL"), c.after) << c.stored;
    EXPECT_EQ(fs().Exists("C:\\Win\\System\\viewctl.dll"), c.fileStays) << c.stored;
    EXPECT_EQ(fp.ui.questions.size(), c.questions) << c.stored;
  }
  EXPECT_EQ(fp.ui.questions.back(),
            "Are you sure you want to delete the shared file \"viewctl.dll\" from your system?");
}

TEST_F(Engine, SharedFileWithoutCountOrInTheOtherKeyIsLeft) {
  reg().SetDword(HKLM, kNtShared, "C:\\Win\\System\\viewctl.dll", 1);
  Run("1\nS %SYSDIR%\\viewctl.dll\n");
  EXPECT_TRUE(fs().Exists("C:\\Win\\System\\viewctl.dll"));
  EXPECT_TRUE(fp.ui.questions.empty());
  settings.legacyShell = true;
  Run("1\nS %SYSDIR%\\viewctl.dll\n");
  EXPECT_FALSE(fs().Exists("C:\\Win\\System\\viewctl.dll"));
}

TEST_F(Engine, YesToAllLastsOneManifestAndSilentNeverAsks) {
  const char* manifest = "2\nS %SYSDIR%\\a.dll S %SYSDIR%\\b.dll\n";
  auto prepare = [&] {
    for (const char* name : {"C:\\Win\\System\\a.dll", "C:\\Win\\System\\b.dll"}) {
      fs().AddFile(name);
      reg().SetDword(HKLM, kNewShared, name, 1);
    }
  };
  prepare();
  fp.ui.sharedAnswers = {kIdYesToAll, kIdNo};
  Run(manifest);
  EXPECT_EQ(fp.ui.questions.size(), 1u);
  EXPECT_FALSE(fs().Exists("C:\\Win\\System\\b.dll"));
  prepare();
  fp.ui.sharedAnswers = {kIdYes, kIdNo};
  Run(manifest);
  EXPECT_EQ(fp.ui.questions.size(), 3u);
  EXPECT_TRUE(fs().Exists("C:\\Win\\System\\b.dll"));
  settings.silentMode = true;
  prepare();
  Run(manifest);
  EXPECT_EQ(fp.ui.questions.size(), 3u);
  EXPECT_FALSE(fs().Exists("C:\\Win\\System\\a.dll"));
  EXPECT_FALSE(fs().Exists("C:\\Win\\System\\b.dll"));
}

TEST_F(Engine, ProgramManagerOnlyOnTheLegacyShell) {
  fp.progman.emptyGroups = {"Viewer"};
  Run("2\nN %GROUP%Viewer Help\nN %GROUP%Viewer\n");
  EXPECT_TRUE(fp.progman.log.empty());
  settings.legacyShell = true;
  Run("1\nN %GROUP%Viewer Help\n");
  const std::vector<std::string> log = {"item Viewer|Viewer Help", "query Viewer", "group Viewer"};
  EXPECT_EQ(fp.progman.log, log);
  EXPECT_EQ(fp.ui.progress[fp.ui.progress.size() - 2], "top");
  fp.progman.emptyGroups.clear();
  fp.progman.log.clear();
  Run("1\nN %NOGROUP%Item\n");
  EXPECT_EQ(fp.progman.log, (std::vector<std::string>{"item |Item", "query "}));
}

TEST_F(Engine, ProgressStepsOnceEveryTwoOfAHundredAndFiftyCommands) {
  std::string manifest = "150\n";
  for (int i = 0; i < 150; ++i) manifest += "/ c\n";
  manifest += "\n  \n\t\n";
  Run(manifest);
  EXPECT_EQ(fp.ui.steps, 75);
  EXPECT_EQ(fp.ui.progress[1], "setstep 1");
}

}  // namespace
