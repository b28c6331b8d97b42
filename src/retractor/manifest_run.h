// The state of one manifest run, shared by the commands.
#pragma once

#include "retractor/platform_ports.h"
#include "retractor/manifest_reader.h"
#include "retractor/progress_dialog.h"
#include "retractor/uninstaller_settings.h"
#include "retractor/variable_cache.h"

struct ManifestRun {
  const UninstallerSettings& settings;
  Platform& platform;
  ManifestReader& reader;
  ProgressDialog& progress;
  VariableCache cache;
  bool yesToAll = false;
};
