// Fills the "%s" of a string-table message.
#pragma once

#include <string>

namespace retractor {

std::string FormatMessageText(const std::string& pattern, const std::string& argument);

}  // namespace retractor
