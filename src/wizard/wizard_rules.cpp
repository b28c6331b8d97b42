#include "wizard/wizard_rules.h"

#include <algorithm>
#include <cctype>

std::string StartDirectoryFrom(std::string currentDirectory) {
  if (currentDirectory.empty() || currentDirectory.back() != '\\') currentDirectory += '\\';
  return currentDirectory;
}

bool IsOleServerCommandLine(const std::string& commandLine) {
  std::string lower = commandLine;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower.find("embedding") != std::string::npos || lower.find("automation") != std::string::npos;
}
