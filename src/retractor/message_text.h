// Fills the "%s" of a string-table message.
#pragma once

#include <string>

std::string FormatMessageText(const std::string& pattern, const std::string& argument);
