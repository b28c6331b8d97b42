// The grammar of the line operands of "C", "U", "D", "K" and the "@" form of "A".
#pragma once

#include <optional>
#include <string>

#include "retractor/platform_ports.h"

struct CallOperand {
  std::optional<std::string> variable;  // NAME of a leading %NAME%
  std::string libraryPath;              // after the variable, up to the first space
  std::string function;
  std::string argument;  // empty: the function is called with no argument
};

struct DirectoryOperand {
  std::string variable;
  std::string relativePath;
};

struct RegistryOperand {
  RegistryRoot root = RegistryRoot::Users;
  bool conditional = false;  // "E": delete the key only when it is empty
  std::string subkey;
  std::optional<std::string> valueName;  // set: delete this value, not the key
};

// "@" form: a value of HKEY_CURRENT_USER.
struct ApplicationValuePath {
  std::string subkey;
  std::string valueName;
};

std::optional<CallOperand> ParseCallOperand(const std::string& operand);
std::optional<DirectoryOperand> ParseDirectoryOperand(const std::string& operand);
std::optional<RegistryOperand> ParseRegistryOperand(const std::string& operand);
// The registry path starts at the third character of the "@" form.
ApplicationValuePath ParseApplicationValuePath(const std::string& application);

inline constexpr std::size_t kMaxRootWord = 19;
