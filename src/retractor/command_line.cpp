#include "retractor/command_line.h"

#include <algorithm>

#include "retractor/platform_ports.h"

CommandLineSwitches ParseSwitches(const std::string& commandLine) {
  CommandLineSwitches result;
  auto at = [&](std::size_t i) { return i < commandLine.size() ? commandLine[i] : '\0'; };
  std::size_t pos = 0;
  while (at(pos) == '/') {
    bool known = false;
    if (at(pos + 1) == 's') {
      result.silentMode = true;
      pos += 3;
      known = true;
    }
    // Each further switch must start with its own "/": a name such as "at.app" after
    // "/s " is a manifest, not "/t".
    if (at(pos) == '/' && at(pos + 1) == 't') {
      result.testMode = true;
      pos += 3;
      known = true;
    }
    if (at(pos) == '/' && at(pos + 1) == 'r') {
      pos += 3;
      known = true;
      std::size_t close = pos < commandLine.size() ? commandLine.find('"', pos) : std::string::npos;
      if (close != std::string::npos) {
        result.registryKeyName = commandLine.substr(pos, close - pos);
        pos = close + 1;
      }
    }
    // An unknown switch is passed over with its separator, like the known ones.
    if (!known) pos += 3;
    pos = std::min(pos, commandLine.size());
  }
  result.namesStart = pos;
  return result;
}

std::vector<std::string> SplitManifestNames(const std::string& text) {
  std::vector<std::string> names;
  std::size_t i = 0;
  while (i < text.size()) {
    std::string name(1, text[i++]);
    while (i < text.size() && text[i] != ' ') name.push_back(text[i++]);
    if (i < text.size()) ++i;
    if (name.size() <= kMaxText) names.push_back(std::move(name));
  }
  return names;
}
