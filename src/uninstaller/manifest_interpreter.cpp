#include "uninstaller/manifest_interpreter.h"

#include "uninstaller/key_deletion.h"
#include "uninstaller/message_text.h"
#include "uninstaller/shared_components.h"

std::string PatternDirectory(const std::string& pattern) {
  std::size_t slash = pattern.find_last_of("\\/");
  if (slash != std::string::npos) return pattern.substr(0, slash + 1);
  if (pattern.size() >= 2 && pattern[1] == ':') return pattern.substr(0, 2);
  return std::string();
}

void DeleteMatchingFiles(const std::string& pattern, FileSystem& files) {
  std::string name;
  std::unique_ptr<FileSearch> search = files.FindFirst(pattern, &name);
  if (!search) return;
  std::string directory = PatternDirectory(pattern);
  do {
    std::string path = directory + name;
    if (path.size() > kMaxText || !files.RemoveFile(path)) return;
  } while (search->Next(&name));
}

bool IsApplicationRunning(std::string& specification, Platform& platform) {
  if (!specification.empty() && specification[0] == '@') {
    ApplicationValuePath where = ParseApplicationValuePath(specification);
    std::string text;
    Registry& registry = platform.registry;
    ScopedKey key(registry);
    if (registry.OpenKey(registry.RootKey(RegistryRoot::CurrentUser), where.subkey, RegistryAccess::Read,
                         key.Receive()) == kErrorSuccess) {
      std::string data;
      if (registry.QueryValue(key.get(), where.valueName, kMaxText + 1, &data) == kErrorSuccess) {
        text = data.substr(0, data.find('\0'));
        if (text.size() > kMaxText) text.resize(kMaxText);
      }
    }
    specification = text;
  }
  if (!specification.empty() && specification[0] == '#') {
    std::string className = specification.size() > 2 ? specification.substr(2) : std::string();
    if (className.empty()) return false;
    std::string title;
    if (!platform.windows.FindWindowOfClass(className, &title)) return false;
    specification = title;
    return true;
  }
  if (specification.empty()) return false;
  bool running = false;
  platform.windows.EnumWindowTitles([&](const std::string& title) {
    if (title.empty()) return true;
    if (title.compare(0, specification.size(), specification) == 0) {
      running = true;
      return false;
    }
    return true;
  });
  return running;
}

void DeleteRegistryEntry(const RegistryOperand& entry, const UninstallerSettings& settings, Registry& registry) {
  RegKey root = registry.RootKey(entry.root);
  if (entry.valueName) {
    ScopedKey key(registry);
    if (registry.OpenKey(root, entry.subkey, RegistryAccess::AllAccess, key.Receive()) == kErrorSuccess &&
        !settings.testMode) {
      registry.DeleteValue(key.get(), *entry.valueName);
    }
    return;
  }
  if (entry.conditional) {
    ScopedKey key(registry);
    if (registry.OpenKey(root, entry.subkey, RegistryAccess::AllAccess, key.Receive()) != kErrorSuccess) return;
    if (!settings.testMode) registry.FlushKey(key.get());
    std::string name;
    bool empty = registry.EnumValue(key.get(), 0) == kErrorNoMoreItems &&
                 registry.EnumKey(key.get(), 0, &name) == kErrorNoMoreItems;
    if (!empty) return;
  }
  if (settings.testMode) return;
  // Never delete a whole hive.
  if (NamesParentKey(entry.subkey)) return;
  // NT's key deletion leaves a key that has subkeys: the tree walk empties it, then deletes it.
  if (settings.platformId == 2) {
    DeleteKeyTree(registry, root, entry.subkey);
  } else {
    DeleteKeyNineX(registry, root, entry.subkey);
  }
}

RunOutcome ManifestInterpreter::Run(TextFile& file) {
  ManifestReader reader(file);
  int count = 0;  // stays 0 without a readable count
  reader.ReadCount(&count);

  std::unique_ptr<ProgressWindow> window;
  if (!settings.silentMode) window = platform.ui.OpenProgress(settings.title);
  ProgressDialog progress(platform.ui, std::move(window));
  ProgressStep step = ComputeProgressStep(count);
  progress.SetStep(step.stepPercent);

  ManifestRun run{settings, platform, reader, progress, {}, false};
  int counter = 0;
  char command;
  while (reader.ReadCommandWord(&command)) {
    switch (command) {
      case '/':
        reader.ReadLineOperand();
        break;
      case 'A':
        if (ApplicationCheck(run)) return RunOutcome::ProgramEnded;
        break;
      case 'C':
        CallEntry(run, false);
        break;
      case 'U':
        CallEntry(run, true);
        break;
      case 'D':
        RemoveDirectoryCommand(run);
        break;
      case 'F':
        DeleteFilesCommand(run);
        break;
      case 'K':
        DeleteRegistryCommand(run);
        break;
      case 'N':
        ProgmanCommand(run);
        break;
      case 'S':
        ReleaseSharedFile(run);
        break;
      default:
        break;  // not a command: only the word itself is passed over
    }
    if (++counter == step.commandsPerStep) {
      progress.Step();
      counter = 0;
    }
  }
  return RunOutcome::Finished;
}

bool ManifestInterpreter::ApplicationCheck(ManifestRun& run) {
  std::optional<std::string> specification = run.reader.ReadLineOperand();
  if (!specification) return false;
  if (!IsApplicationRunning(*specification, platform)) return false;
  std::string text = FormatMessageText(platform.ui.LoadText(kStringAppRunning), *specification);
  platform.ui.ShowMessage(text, settings.title, kMbOk | kMbIconHand);
  return true;
}

void ManifestInterpreter::CallEntry(ManifestRun& run, bool deleteLibrary) {
  run.progress.SetText(kTextExternalProcess);
  std::optional<std::string> operand = run.reader.ReadLineOperand();
  if (!operand) return;
  std::optional<CallOperand> call = ParseCallOperand(*operand);
  if (!call) return;
  std::string path = call->libraryPath;
  if (call->variable) path = ResolveVariable(*call->variable, run.cache, platform.registry) + path;
  if (path.size() > kMaxText || settings.testMode) return;
  if (std::unique_ptr<LoadedLibrary> library = platform.libraries.Load(path)) {
    library->Call(call->function, call->argument.empty() ? nullptr : &call->argument);
  }
  if (deleteLibrary) platform.files.RemoveFile(path);
}

void ManifestInterpreter::RemoveDirectoryCommand(ManifestRun& run) {
  run.progress.SetText(kTextCleaningDirectories);
  std::optional<std::string> operand = run.reader.ReadLineOperand();
  if (!operand) return;
  std::optional<DirectoryOperand> directory = ParseDirectoryOperand(*operand);
  if (!directory) return;
  std::string value = ResolveVariable(directory->variable, run.cache, platform.registry);
  if (value.empty()) return;
  std::string path = value + directory->relativePath;
  if (path.size() > kMaxText || settings.testMode) return;
  platform.files.RemoveEmptyDirectory(path);
}

void ManifestInterpreter::DeleteFilesCommand(ManifestRun& run) {
  run.progress.SetText(kTextDeletingFiles);
  std::optional<VariableOperand> operand = run.reader.ReadVariableOperand(PathExtent::RestOfLine);
  if (!operand) return;
  std::string value = ResolveVariable(operand->name, run.cache, platform.registry);
  if (value.empty()) return;
  std::string pattern = value + operand->path;
  if (pattern.size() > kMaxText || settings.testMode) return;
  DeleteMatchingFiles(pattern, platform.files);
}

void ManifestInterpreter::DeleteRegistryCommand(ManifestRun& run) {
  run.progress.SetText(kTextDeletingKeys);
  std::optional<std::string> operand = run.reader.ReadLineOperand();
  if (!operand) return;
  std::optional<RegistryOperand> entry = ParseRegistryOperand(*operand);
  if (!entry) return;
  DeleteRegistryEntry(*entry, settings, platform.registry);
}

void ManifestInterpreter::ProgmanCommand(ManifestRun& run) {
  if (!settings.legacyShell) {
    run.reader.SkipRestOfLine();
    return;
  }
  std::optional<VariableOperand> operand = run.reader.ReadVariableOperand(PathExtent::RestOfLine);
  if (!operand || settings.testMode) return;
  std::string group = ResolveVariable(operand->name, run.cache, platform.registry);
  platform.progman.DeleteProgmanItem(group, operand->path);
  if (platform.progman.IsProgmanGroupEmpty(group)) platform.progman.DeleteProgmanGroup(group);
  run.progress.BringToTop();
}

RunOutcome ProcessManifestFile(const std::string& name, const UninstallerSettings& settings, Platform& platform) {
  std::string path = settings.uninstallerDir + "\\" + name;
  if (path.size() > kMaxText) return RunOutcome::Finished;
  RunOutcome outcome;
  {
    std::unique_ptr<TextFile> file = platform.files.OpenForReading(path);
    if (!file) return RunOutcome::Finished;
    outcome = ManifestInterpreter(settings, platform).Run(*file);
  }
  if (outcome == RunOutcome::Finished && !settings.testMode) platform.files.RemoveFile(path);
  return outcome;
}
