#include "retractor/application_check.h"

#include "retractor/manifest_operands.h"

bool IsApplicationRunning(std::string& application, Platform& platform) {
  if (!application.empty() && application[0] == '@') {
    ApplicationValuePath where = ParseApplicationValuePath(application);
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
    application = text;
  }
  if (!application.empty() && application[0] == '#') {
    std::string className = application.size() > 2 ? application.substr(2) : std::string();
    if (className.empty()) return false;
    std::string title;
    if (!platform.windows.FindWindowOfClass(className, &title)) return false;
    application = title;
    return true;
  }
  if (application.empty()) return false;
  bool running = false;
  platform.windows.EnumWindowTitles([&](const std::string& title) {
    if (title.empty()) return true;
    if (title.compare(0, application.size(), application) == 0) {
      running = true;
      return false;
    }
    return true;
  });
  return running;
}
