// The uninstaller's run: switches, confirmation, data directory, manifests, clean-up.
#pragma once

#include <string>
#include <vector>

#include "uninstaller/manifest_interpreter.h"
#include "uninstaller/platform_ports.h"
#include "uninstaller/uninstaller_settings.h"

struct CommandLineSwitches {
  bool silentMode = false;
  bool testMode = false;
  std::string registryKeyName;
  std::size_t namesStart = 0;  // where the switches ended
};

CommandLineSwitches ParseSwitches(const std::string& commandLine);
// Names end at a single space; a second space starts the next name. Names longer
// than 259 characters are dropped.
std::vector<std::string> SplitManifestNames(const std::string& text);

class UninstallerApp {
public:
  explicit UninstallerApp(Platform& ports) : platform(ports) {}
  // The exit status: always 0.
  int Run(const std::string& commandLine);
  RunOutcome FinalCleanup();

  UninstallerSettings settings;

private:
  Platform& platform;
};
