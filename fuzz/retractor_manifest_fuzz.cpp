// Runs arbitrary manifests through the whole engine against in-memory fakes, in normal,
// test and legacy-shell settings, and the same bytes through the command-line parse.
#include <cstddef>
#include <cstdint>
#include <string>

#include "../tests/unit/retractor/fake_platform.h"
#include "retractor/command_line.h"
#include "retractor/manifest_interpreter.h"
#include "retractor/uninstaller_app.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  FakePlatform fp;
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
  StringTextFile file(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), 1 + data[0] % 61);
  ManifestInterpreter(settings, fp.platform).Run(file);
  if (fp.registry.openKeys != 0 || fp.libraries.loaded != 0) __builtin_trap();

  // The same bytes as a command line.
  std::string line(reinterpret_cast<const char*>(data), size);
  CommandLineSwitches switches = ParseSwitches(line);
  if (switches.namesStart > line.size()) __builtin_trap();
  for (const std::string& name : SplitManifestNames(line.substr(switches.namesStart))) {
    if (name.empty() || name.size() > kMaxText) __builtin_trap();
  }
  return 0;
}
