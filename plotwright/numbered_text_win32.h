// The program's numbered strings, from its resources.
#pragma once

#include <windows.h>

#include <string>

std::string LoadText(UINT id);
// The numbered string with its %s filled in by the text.
std::string FormatText(UINT id, const std::string& text);
