// Rules of the wizard shell that need no window.
#pragma once
#include <string>

// The directory the program started in, always ending in one backslash.
std::string StartDirectoryFrom(std::string currentDirectory);

// True when the command line asks for the OLE server role ("Embedding" or "Automation").
bool IsOleServerCommandLine(const std::string& commandLine);
