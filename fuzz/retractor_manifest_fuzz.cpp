// Runs arbitrary manifests through the whole engine against in-memory fakes,
// in normal, test and legacy-shell settings.
#include <cstddef>
#include <cstdint>
#include <string>

#include "../tests/unit/retractor/fake_platform.h"
#include "uninstaller/manifest_interpreter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace retractor;
  if (size == 0) return 0;
  fakes::FakePlatform fp;
  fp.registry.SetString(RegistryRoot::LocalMachine, "SOFTWARE\\Korvane\\Uninstaller\\A", "", "C:\\App");
  fp.registry.SetDword(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                       "C:\\App\\x", 1);
  fp.registry.Make(RegistryRoot::LocalMachine, "Software\\T\\a\\b");
  fp.files.AddFile("C:\\App\\x");
  fp.libraries.exports["c:\\app\\x"] = {"f"};
  fp.windows.windows = {{"C", "Viewer"}};
  UninstallerSettings settings;
  settings.testMode = data[0] & 1;
  settings.legacyShell = data[0] & 2;
  settings.silentMode = data[0] & 4;
  settings.uninstallerDir = "C:\\Uninst";
  fakes::StringTextFile file(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), 1 + data[0] % 61);
  ManifestInterpreter(settings, fp.platform).Run(file);
  if (fp.registry.openKeys != 0 || fp.libraries.loaded != 0) __builtin_trap();
  return 0;
}
