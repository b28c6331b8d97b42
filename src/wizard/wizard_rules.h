// Rules of the wizard shell that need no window.
#pragma once
#include <string>

// The directory the program started in, always ending in one backslash.
std::string StartDirectoryFrom(std::string currentDirectory);

// True when the command line asks for the OLE server role ("Embedding" or "Automation").
bool IsOleServerCommandLine(const std::string& commandLine);

// The browser command that opens the help page: the browser's prefix (ending in a blank), then
// the help page's path in quotes, since the start directory may hold blanks.
std::string HelpCommandLine(const std::string& browserPrefix, const std::string& startDirectory);
