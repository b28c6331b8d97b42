// Program Manager's command strings and its description of a group.
#pragma once

#include <optional>
#include <string>

// Nullopt when the command would not fit Program Manager's 260-character buffer.
std::optional<std::string> ShowGroupCommand(const std::string& group, bool common);
std::optional<std::string> DeleteItemCommand(const std::string& item);
std::optional<std::string> DeleteGroupCommand(const std::string& group, bool common);
// Empty when the third field starts with "0" or a non-digit; fewer than two commas
// within the first 260 bytes (or nothing after the second) keep the group.
bool IsGroupDescriptionEmpty(const std::string& data);
