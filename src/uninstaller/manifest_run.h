// The state of one manifest run, shared by the commands.
#pragma once

#include "uninstaller/platform_ports.h"
#include "uninstaller/manifest_reader.h"
#include "uninstaller/progress_dialog.h"
#include "uninstaller/uninstaller_settings.h"
#include "uninstaller/variable_cache.h"

struct ManifestRun {
  const UninstallerSettings& settings;
  Platform& platform;
  ManifestReader& reader;
  ProgressDialog& progress;
  VariableCache cache;
  bool yesToAll = false;
};
