// Directory variables: HKEY_LOCAL_MACHINE "SOFTWARE\Korvane\Uninstaller\NAME", cached per manifest.
#pragma once

#include <map>
#include <string>

#include "retractor/platform_ports.h"

inline constexpr const char* kUninstallerKey = "SOFTWARE\\Korvane\\Uninstaller";

using VariableCache = std::map<std::string, std::string>;

// Failed reads are not cached, so the next use reads the registry again.
std::string ResolveVariable(const std::string& name, VariableCache& cache, Registry& registry);
