// The registry read; the rest is the portable rule in browser_command.cpp.
#include "wizard/default_browser_win32.h"

#include <windows.h>

#include <string>
#include <vector>

#include "common/owners_win32.h"
#include "common/strings.h"
#include "wizard/browser_command.h"

namespace {

std::string ReadRegisteredCommand() {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, StringText(IDS_BROWSER_KEY), 0, KEY_READ, &opened) != ERROR_SUCCESS) return {};
  KeyOwner key(opened);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
    return {};
  std::vector<char> buffer(size + 1, '\0');
  DWORD got = size;
  if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  buffer[got < buffer.size() ? got : buffer.size() - 1] = '\0';
  return std::string(buffer.data());  // stops at the terminator the value may carry
}

}  // namespace

std::string DefaultBrowserCommand() { return BrowserCommandFromRegistry(ReadRegisteredCommand()); }
