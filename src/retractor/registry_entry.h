// "K": deleting the registry value, empty key or key tree a manifest line names.
#pragma once

#include "retractor/manifest_operands.h"
#include "retractor/platform_ports.h"
#include "retractor/uninstaller_settings.h"

void DeleteRegistryEntry(const RegistryOperand& entry, const UninstallerSettings& settings, Registry& registry);
