#include <vector>

#include "retractor/platform_win32.h"

namespace {

HKEY H(RegKey key) { return reinterpret_cast<HKEY>(key); }

}  // namespace

RegKey RegistryWin32::RootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: return reinterpret_cast<RegKey>(HKEY_CLASSES_ROOT);
    case RegistryRoot::LocalMachine: return reinterpret_cast<RegKey>(HKEY_LOCAL_MACHINE);
    case RegistryRoot::CurrentUser: return reinterpret_cast<RegKey>(HKEY_CURRENT_USER);
    case RegistryRoot::Users: break;
  }
  return reinterpret_cast<RegKey>(HKEY_USERS);
}

long RegistryWin32::OpenKey(RegKey parent, const std::string& subkey, RegistryAccess access, RegKey* key) {
  HKEY opened = nullptr;
  LONG result = RegOpenKeyExA(H(parent), subkey.c_str(), 0,
                              access == RegistryAccess::Read ? KEY_READ : KEY_ALL_ACCESS, &opened);
  if (result == ERROR_SUCCESS) *key = reinterpret_cast<RegKey>(opened);
  return result;
}

void RegistryWin32::CloseKey(RegKey key) { RegCloseKey(H(key)); }

long RegistryWin32::QueryValue(RegKey key, const std::string& name, std::size_t maxBytes, std::string* data) {
  std::vector<BYTE> buffer(maxBytes);
  DWORD size = static_cast<DWORD>(maxBytes);
  LONG result = RegQueryValueExA(H(key), name.c_str(), nullptr, nullptr, buffer.data(), &size);
  if (result == ERROR_SUCCESS) data->assign(reinterpret_cast<const char*>(buffer.data()), size);
  return result;
}

long RegistryWin32::QueryDefaultValue(RegKey parent, const std::string& subkey, std::string* text) {
  char buffer[MAX_PATH] = "";
  LONG size = sizeof buffer;
  LONG result = RegQueryValueA(H(parent), subkey.c_str(), buffer, &size);
  if (result == ERROR_SUCCESS) {
    buffer[MAX_PATH - 1] = '\0';
    *text = buffer;
  }
  SetLastError(result);
  return result;
}

long RegistryWin32::SetDwordValue(RegKey key, const std::string& name, std::uint32_t value) {
  DWORD data = value;
  return RegSetValueExA(H(key), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

long RegistryWin32::DeleteValue(RegKey key, const std::string& name) { return RegDeleteValueA(H(key), name.c_str()); }

long RegistryWin32::FlushKey(RegKey key) { return RegFlushKey(H(key)); }

long RegistryWin32::EnumValue(RegKey key, std::uint32_t index) {
  char name[MAX_PATH];
  DWORD size = sizeof name;
  return RegEnumValueA(H(key), index, name, &size, nullptr, nullptr, nullptr, nullptr);
}

long RegistryWin32::EnumKey(RegKey key, std::uint32_t index, std::string* name) {
  char buffer[MAX_PATH];
  LONG result = RegEnumKeyA(H(key), index, buffer, sizeof buffer);
  if (result == ERROR_SUCCESS) {
    buffer[MAX_PATH - 1] = '\0';
    *name = buffer;
  }
  return result;
}

long RegistryWin32::DeleteKey(RegKey parent, const std::string& subkey) {
  return RegDeleteKeyA(H(parent), subkey.c_str());
}
