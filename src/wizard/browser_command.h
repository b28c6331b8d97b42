// The default browser's command prefix, from the command registered for http URLs.
#pragma once
#include <string>

// The command prefix made from the registered text: cut before "%1", the program quoted,
// ending in one blank; empty when nothing is left.
std::string BrowserCommandFromRegistry(std::string command);
