#include "retractor/uninstaller_app.h"

#include "retractor/command_line.h"
#include "retractor/key_deletion.h"
#include "retractor/variable_cache.h"

int UninstallerApp::Run(const std::string& commandLine) {
  UserInterface& ui = platform.ui;
  settings.title = ui.LoadText(kStringTitle);
  OsVersion version = platform.windows.GetVersion();
  settings.legacyShell = version.major < 4;
  settings.platformId = version.platformId;

  CommandLineSwitches switches = ParseSwitches(commandLine);
  settings.silentMode = switches.silentMode;
  settings.testMode = switches.testMode;

  if (commandLine.empty()) {
    ui.ShowMessage(ui.LoadText(kStringNoManifest), settings.title, kMbOk | kMbIconExclamation);
    return 0;
  }
  int answer = settings.silentMode
                   ? kIdYes
                   : ui.ShowMessage(ui.LoadText(kStringConfirmRemove), settings.title, kMbYesNo | kMbIconQuestion);

  std::string key = kUninstallerKey;
  if (!switches.registryKeyName.empty()) key += "\\" + switches.registryKeyName;
  std::string directory;
  Registry& registry = platform.registry;
  if (registry.QueryDefaultValue(registry.RootKey(RegistryRoot::LocalMachine), key, &directory) != kErrorSuccess ||
      directory.size() > kMaxText) {
    directory.clear();
  }
  if (!directory.empty() && directory.back() == '\\') directory.pop_back();
  // A directory of just "\" would leave nothing: treated as not recorded.
  if (directory.empty()) answer = kIdNo;
  settings.uninstallerDir = directory;
  if (answer != kIdYes) return 0;

  for (const std::string& name : SplitManifestNames(commandLine.substr(switches.namesStart))) {
    if (ProcessManifestFile(name, settings, platform) == RunOutcome::ProgramEnded) return 0;
  }
  if (FinalCleanup() == RunOutcome::ProgramEnded) return 0;
  platform.windows.BroadcastFontChange();
  return 0;
}

RunOutcome UninstallerApp::FinalCleanup() {
  FileSystem& files = platform.files;
  const std::string& directory = settings.uninstallerDir;
  std::string found;
  if (files.FindFirst(directory + "\\*.app", &found)) return RunOutcome::Finished;

  std::string shared = directory + "\\Shared.sys";
  {
    std::unique_ptr<TextFile> file = files.OpenForReading(shared);
    if (!file) return RunOutcome::Finished;
    if (ManifestInterpreter(settings, platform).Run(*file) == RunOutcome::ProgramEnded) {
      return RunOutcome::ProgramEnded;
    }
  }
  if (settings.testMode || !files.RemoveFile(shared)) return RunOutcome::Finished;

  Registry& registry = platform.registry;
  RegKey machine = registry.RootKey(RegistryRoot::LocalMachine);
  // NT's one deletion leaves the key while directory variables remain under it; 9x's takes them along.
  if (settings.platformId == 2) {
    registry.DeleteKey(machine, kUninstallerKey);
  } else {
    DeleteKeyNineX(registry, machine, kUninstallerKey);
  }
  files.RemoveEmptyDirectory(directory);
  if (settings.legacyShell) {
    std::size_t slash = directory.rfind('\\');
    if (slash != std::string::npos) files.RemoveEmptyDirectory(directory.substr(0, slash));
  }
  return RunOutcome::Finished;
}
