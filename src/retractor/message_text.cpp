#include "retractor/message_text.h"

// Only the first "%s" is filled, and the argument is never read as a format.
std::string FormatMessageText(const std::string& pattern, const std::string& argument) {
  std::size_t at = pattern.find("%s");
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + argument + pattern.substr(at + 2);
}
