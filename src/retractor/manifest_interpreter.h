// Executes one uninstall manifest command by command.
#pragma once

#include <string>

#include "retractor/manifest_run.h"
#include "retractor/platform_ports.h"
#include "retractor/uninstaller_settings.h"

// The only way out of a run other than its end is "A" finding its application.
enum class RunOutcome { Finished, ProgramEnded };

class ManifestInterpreter {
public:
  ManifestInterpreter(const UninstallerSettings& runSettings, Platform& ports)
      : settings(runSettings), platform(ports) {}
  RunOutcome Run(TextFile& file);

private:
  bool ApplicationCheck(ManifestRun& run);
  void CallEntry(ManifestRun& run, bool deleteLibrary);
  void RemoveDirectoryCommand(ManifestRun& run);
  void DeleteFilesCommand(ManifestRun& run);
  void DeleteRegistryCommand(ManifestRun& run);
  void ProgmanCommand(ManifestRun& run);

  const UninstallerSettings& settings;
  Platform& platform;
};

// Runs uninstallerDir\name and deletes it afterwards unless in test mode.
RunOutcome ProcessManifestFile(const std::string& name, const UninstallerSettings& settings, Platform& platform);
