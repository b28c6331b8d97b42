#include "retractor/variable_cache.h"

std::string ResolveVariable(const std::string& name, VariableCache& cache, Registry& registry) {
  // Such a NAME would read the base key's own value (the data directory): it names nothing.
  if (NamesParentKey(name)) return std::string();
  auto found = cache.find(name);
  if (found != cache.end()) return found->second;
  std::string value;
  std::string subkey = std::string(kUninstallerKey) + "\\" + name;
  if (registry.QueryDefaultValue(registry.RootKey(RegistryRoot::LocalMachine), subkey, &value) != kErrorSuccess) {
    return std::string();
  }
  if (value.size() > kMaxText) return std::string();
  cache.emplace(name, value);
  return value;
}
