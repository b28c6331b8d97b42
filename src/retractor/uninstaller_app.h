// The uninstaller's run: switches, confirmation, data directory, manifests, clean-up.
#pragma once

#include <string>

#include "retractor/manifest_interpreter.h"
#include "retractor/platform_ports.h"
#include "retractor/uninstaller_settings.h"

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
