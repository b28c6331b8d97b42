#include "retractor/shared_components.h"

#include "retractor/message_text.h"

const char* SharedDllsKey(bool legacyShell) {
  return legacyShell ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\SharedDLLs"
                     : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
}

int SharedFileDialog(ManifestRun& run, const std::string& text) {
  if (run.settings.silentMode) return kIdYesToAll;
  return run.platform.ui.AskSharedFile(text, run.settings.title);
}

void ReleaseSharedFile(ManifestRun& run) {
  int answer = kIdYesToAll;
  run.progress.SetText(kTextDeletingShared);
  std::optional<VariableOperand> operand = run.reader.ReadVariableOperand(PathExtent::OneWord);
  if (!operand) return;
  Registry& registry = run.platform.registry;
  std::string path = ResolveVariable(operand->name, run.cache, registry) + operand->path;
  if (path.size() > kMaxText || run.settings.testMode) return;

  ScopedKey key(registry);
  if (registry.OpenKey(registry.RootKey(RegistryRoot::LocalMachine), SharedDllsKey(run.settings.legacyShell),
                       RegistryAccess::AllAccess, key.Receive()) != kErrorSuccess) {
    return;
  }
  std::string data;
  if (registry.QueryValue(key.get(), path, 4, &data) != kErrorSuccess || data.size() > 4) return;
  // Shorter data is zero-extended rather than read past.
  std::uint32_t count = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    count |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  }

  if (count > 1) {
    registry.SetDwordValue(key.get(), path, count - 1);
    return;
  }
  // 1 is the last reference; a stored 0 is taken as one too instead of wrapping round.
  if (!run.yesToAll) {
    std::string text =
        FormatMessageText(run.platform.ui.LoadText(kStringConfirmShared), operand->path.substr(1));
    answer = SharedFileDialog(run, text);
    if (answer == kIdYesToAll) run.yesToAll = true;
  }
  if (answer == kIdYes || answer == kIdYesToAll) {
    registry.DeleteValue(key.get(), path);
    run.platform.files.RemoveFile(path);
  }
}
