#include "plotwright/owners_win32.h"
#include "plotwright/server_win32.h"

namespace {

std::string ClassIdText() {
  wchar_t wide[64] = L"";
  StringFromGUID2(kApplicationClassId, wide, 64);
  char narrow[64] = "";
  WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

// Creates ROOT\PATH with its default value.
LONG SetDefault(HKEY root, const std::string& path, const std::string& value) {
  Key key;
  LONG r = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.out(), nullptr);
  if (r != ERROR_SUCCESS) return r;
  return RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        DWORD(value.size() + 1));
}

LONG WriteClasses(HKEY classes, const std::string& command) {
  std::string clsid = "CLSID\\" + ClassIdText();
  std::string progId = kProgId;
  const std::pair<std::string, std::string> values[] = {
      {progId, "Plotwright Application"},
      {progId + "\\CLSID", ClassIdText()},
      {clsid, "Plotwright Application"},
      {clsid + "\\LocalServer32", command},
      {clsid + "\\ProgID", kProgId},
  };
  for (const auto& [path, value] : values)
    if (LONG r = SetDefault(classes, path, value); r != ERROR_SUCCESS) return r;
  return ERROR_SUCCESS;
}

// Deletes a key and everything below it; subkeys are taken from index 0 until none is left.
LONG DeleteTree(HKEY parent, const std::string& path) {
  {
    Key key;
    LONG r = RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ | KEY_WRITE, key.out());
    if (r != ERROR_SUCCESS) return r;
    char name[256];
    for (;;) {
      DWORD size = sizeof name;
      if (RegEnumKeyExA(key.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      if ((r = DeleteTree(key.get(), name)) != ERROR_SUCCESS) return r;
    }
  }
  return RegDeleteKeyA(parent, path.c_str());
}

std::string ErrorText(LONG code) {
  char buffer[256] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, DWORD(code), 0, buffer,
                 sizeof buffer, nullptr);
  return "error " + std::to_string(code) + (buffer[0] ? ": " + std::string(buffer) : "");
}

}  // namespace

bool RegisterServer(const ServerOptions& options, std::string* error) {
  char program[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string command = ServerCommand(program, options);
  LONG r = ERROR_ACCESS_DENIED;
  Key machine;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes", 0, nullptr, 0, KEY_WRITE, nullptr, machine.out(),
                      nullptr) == ERROR_SUCCESS)
    r = WriteClasses(machine.get(), command);
  // Without administrator rights the registration goes to the user's own classes.
  if (r == ERROR_ACCESS_DENIED) {
    Key user;
    r = RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Classes", 0, nullptr, 0, KEY_WRITE, nullptr, user.out(),
                        nullptr);
    if (r == ERROR_SUCCESS) r = WriteClasses(user.get(), command);
  }
  if (r != ERROR_SUCCESS) *error = ErrorText(r);
  return r == ERROR_SUCCESS;
}

bool UnregisterServer(std::string* error) {
  std::string paths[] = {kProgId, "CLSID\\" + ClassIdText()};
  LONG failed = ERROR_SUCCESS;
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    Key classes;
    if (RegOpenKeyExA(root, "Software\\Classes", 0, KEY_READ | KEY_WRITE, classes.out()) != ERROR_SUCCESS) continue;
    for (const std::string& path : paths) {
      LONG r = DeleteTree(classes.get(), path);
      if (r != ERROR_SUCCESS && r != ERROR_FILE_NOT_FOUND) failed = r;
    }
  }
  if (failed != ERROR_SUCCESS) *error = ErrorText(failed);
  return failed == ERROR_SUCCESS;
}
