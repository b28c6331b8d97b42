// The registry read; the rest is the portable rule in browser_command.cpp.
#include "wizard/default_browser_win32.h"

#include <windows.h>

#include <string>
#include <vector>

#include "common/strings.h"
#include "wizard/browser_command.h"

namespace {

class RegistryKey {
public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (key) RegCloseKey(key);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  HKEY* Out() { return &key; }
  HKEY Get() const { return key; }

private:
  HKEY key = nullptr;
};

std::string ReadRegisteredCommand() {
  RegistryKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, StringText(IDS_BROWSER_KEY), 0, KEY_READ, key.Out()) != ERROR_SUCCESS) return {};
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.Get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
    return {};
  std::vector<char> buffer(size + 1, '\0');
  DWORD got = size;
  if (RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  buffer[got < buffer.size() ? got : buffer.size() - 1] = '\0';
  return std::string(buffer.data());  // stops at the terminator the value may carry
}

}  // namespace

std::string DefaultBrowserCommand() { return BrowserCommandFromRegistry(ReadRegisteredCommand()); }
