#include "retractor/progman_rules.h"

#include "retractor/platform_ports.h"

namespace {

std::optional<std::string> Fit(std::string command) {
  if (command.size() > kMaxText) return std::nullopt;
  return command;
}

}  // namespace

std::optional<std::string> ShowGroupCommand(const std::string& group, bool common) {
  return Fit("[showgroup(" + group + ",1," + (common ? "1" : "0") + ")]");
}

std::optional<std::string> DeleteItemCommand(const std::string& item) { return Fit("[deleteitem(" + item + ")]"); }

std::optional<std::string> DeleteGroupCommand(const std::string& group, bool common) {
  return Fit("[deletegroup(" + group + "," + (common ? "1" : "0") + ")]");
}

bool IsGroupDescriptionEmpty(const std::string& data) {
  std::string text = data.substr(0, 260);
  text = text.substr(0, text.find('\0'));
  std::size_t first = text.find(',');
  if (first == std::string::npos) return false;
  std::size_t second = text.find(',', first + 1);
  if (second == std::string::npos || second + 1 >= text.size()) return false;
  char c = text[second + 1];
  return !(c >= '1' && c <= '9');
}
