// Retractor's command line: the switches, then the names of the manifests to run.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct CommandLineSwitches {
  bool silentMode = false;
  bool testMode = false;
  std::string registryKeyName;
  std::size_t namesStart = 0;  // where the switches ended
};

CommandLineSwitches ParseSwitches(const std::string& commandLine);
// Names end at a single space; a second space starts the next name. Names longer
// than 259 characters are dropped.
std::vector<std::string> SplitManifestNames(const std::string& text);
