// The progress window: a modeless dialog with the current activity and a bar.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "retractor/platform_ports.h"

// Bar at 0 of 0..100, empty text; null when the dialog cannot be made.
std::unique_ptr<ProgressWindow> OpenProgressWindow(HINSTANCE instance, const std::string& caption);
