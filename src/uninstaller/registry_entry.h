// "K": deleting the registry value, empty key or key tree a manifest line names.
#pragma once

#include "uninstaller/manifest_operands.h"
#include "uninstaller/platform_ports.h"
#include "uninstaller/uninstaller_settings.h"

void DeleteRegistryEntry(const RegistryOperand& entry, const UninstallerSettings& settings, Registry& registry);
