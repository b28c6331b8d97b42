#include "retractor/key_deletion.h"

#include <cstdint>

namespace {

// Registry links can make a tree deeper than any real one; this ends the walk.
constexpr int kMaxKeyDepth = 512;

bool DeleteKeyTreeAt(Registry& registry, RegKey parent, const std::string& subkey, int depth) {
  if (registry.DeleteKey(parent, subkey) == kErrorSuccess) return true;
  if (depth >= kMaxKeyDepth) return false;
  {
    ScopedKey key(registry);
    if (registry.OpenKey(parent, subkey, RegistryAccess::AllAccess, key.Receive()) != kErrorSuccess) return false;
    // A child that stays (no rights) is stepped over instead of being enumerated forever.
    std::uint32_t index = 0;
    std::string child;
    while (registry.EnumKey(key.get(), index, &child) == kErrorSuccess) {
      if (!DeleteKeyTreeAt(registry, key.get(), child, depth + 1)) ++index;
    }
  }
  return registry.DeleteKey(parent, subkey) == kErrorSuccess;
}

bool KeyExists(Registry& registry, RegKey parent, const std::string& subkey) {
  ScopedKey key(registry);
  return registry.OpenKey(parent, subkey, RegistryAccess::Read, key.Receive()) == kErrorSuccess;
}

}  // namespace

bool DeleteKeyTree(Registry& registry, RegKey parent, const std::string& subkey) {
  return DeleteKeyTreeAt(registry, parent, subkey, 0);
}

void DeleteKeyNineX(Registry& registry, RegKey parent, const std::string& subkey) {
  registry.DeleteKey(parent, subkey);
  if (KeyExists(registry, parent, subkey)) DeleteKeyTree(registry, parent, subkey);
}
