// Registry key deletion as the platforms do it: NT's leaves a key that has subkeys, 9x's takes them along.
#pragma once

#include <string>

#include "retractor/platform_ports.h"

// True when parent\subkey is gone. Bounded: a key that cannot be emptied is left.
bool DeleteKeyTree(Registry& registry, RegKey parent, const std::string& subkey);
// One RegDeleteKeyA, which on 9x removes the subkeys too. Wine's 9x mode removes in that one
// call only a key whose subkeys form a single chain; a key still there goes the tree way.
void DeleteKeyNineX(Registry& registry, RegKey parent, const std::string& subkey);
