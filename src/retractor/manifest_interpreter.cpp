#include "retractor/manifest_interpreter.h"

#include "retractor/application_check.h"
#include "retractor/file_deletion.h"
#include "retractor/manifest_operands.h"
#include "retractor/message_text.h"
#include "retractor/registry_entry.h"
#include "retractor/shared_components.h"

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
  std::optional<std::string> application = run.reader.ReadLineOperand();
  if (!application) return false;
  if (!IsApplicationRunning(*application, platform)) return false;
  std::string text = FormatMessageText(platform.ui.LoadText(kStringAppRunning), *application);
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
