#include "retractor/registry_entry.h"

#include "retractor/key_deletion.h"

void DeleteRegistryEntry(const RegistryOperand& entry, const UninstallerSettings& settings, Registry& registry) {
  RegKey root = registry.RootKey(entry.root);
  if (entry.valueName) {
    ScopedKey key(registry);
    if (registry.OpenKey(root, entry.subkey, RegistryAccess::AllAccess, key.Receive()) == kErrorSuccess &&
        !settings.testMode) {
      registry.DeleteValue(key.get(), *entry.valueName);
    }
    return;
  }
  if (entry.conditional) {
    ScopedKey key(registry);
    if (registry.OpenKey(root, entry.subkey, RegistryAccess::AllAccess, key.Receive()) != kErrorSuccess) return;
    if (!settings.testMode) registry.FlushKey(key.get());
    std::string name;
    bool empty = registry.EnumValue(key.get(), 0) == kErrorNoMoreItems &&
                 registry.EnumKey(key.get(), 0, &name) == kErrorNoMoreItems;
    if (!empty) return;
  }
  if (settings.testMode) return;
  // Never delete a whole hive.
  if (NamesParentKey(entry.subkey)) return;
  // NT's key deletion leaves a key that has subkeys: the tree walk empties it, then deletes it.
  if (settings.platformId == 2) {
    DeleteKeyTree(registry, root, entry.subkey);
  } else {
    DeleteKeyNineX(registry, root, entry.subkey);
  }
}
