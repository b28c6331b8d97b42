// The default browser's command prefix as the registry gives it now; empty when none is registered.
#pragma once
#include <string>

std::string DefaultBrowserCommand();
