// The uninstaller's run: switches, confirmation, data directory, manifests, clean-up.
#pragma once

#include <string>

#include "uninstaller/manifest_interpreter.h"
#include "uninstaller/platform_ports.h"
#include "uninstaller/uninstaller_settings.h"

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
