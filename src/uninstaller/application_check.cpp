#include "uninstaller/application_check.h"

#include "uninstaller/manifest_operands.h"

bool IsApplicationRunning(std::string& specification, Platform& platform) {
  if (!specification.empty() && specification[0] == '@') {
    ApplicationValuePath where = ParseApplicationValuePath(specification);
    std::string text;
    Registry& registry = platform.registry;
    ScopedKey key(registry);
    if (registry.OpenKey(registry.RootKey(RegistryRoot::CurrentUser), where.subkey, RegistryAccess::Read,
                         key.Receive()) == kErrorSuccess) {
      std::string data;
      if (registry.QueryValue(key.get(), where.valueName, kMaxText + 1, &data) == kErrorSuccess) {
        text = data.substr(0, data.find('\0'));
        if (text.size() > kMaxText) text.resize(kMaxText);
      }
    }
    specification = text;
  }
  if (!specification.empty() && specification[0] == '#') {
    std::string className = specification.size() > 2 ? specification.substr(2) : std::string();
    if (className.empty()) return false;
    std::string title;
    if (!platform.windows.FindWindowOfClass(className, &title)) return false;
    specification = title;
    return true;
  }
  if (specification.empty()) return false;
  bool running = false;
  platform.windows.EnumWindowTitles([&](const std::string& title) {
    if (title.empty()) return true;
    if (title.compare(0, specification.size(), specification) == 0) {
      running = true;
      return false;
    }
    return true;
  });
  return running;
}
