// "A": whether the application a manifest names is running, found by a window title, a window
// class or a title kept in a registry value.
#pragma once

#include <string>

#include "retractor/platform_ports.h"

// On a match the application text is replaced by what the message shows.
bool IsApplicationRunning(std::string& application, Platform& platform);
