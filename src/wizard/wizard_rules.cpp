#include "wizard/wizard_rules.h"

#include "common/text.h"

std::string StartDirectoryFrom(std::string currentDirectory) {
  if (currentDirectory.empty() || currentDirectory.back() != '\\') currentDirectory += '\\';
  return currentDirectory;
}

bool IsOleServerCommandLine(const std::string& commandLine) {
  return ContainsNoCase(commandLine, "embedding") || ContainsNoCase(commandLine, "automation");
}

std::string HelpCommandLine(const std::string& browserPrefix, const std::string& startDirectory) {
  return browserPrefix + " \"" + startDirectory + "Pathloom.htm\"";
}
