// "F": deleting the files a search pattern matches.
#pragma once

#include <string>

#include "retractor/platform_ports.h"

// Stops at the first match that cannot be deleted.
void DeleteMatchingFiles(const std::string& pattern, FileSystem& files);
// The drive and directory of a search pattern, separator included.
std::string PatternDirectory(const std::string& pattern);
