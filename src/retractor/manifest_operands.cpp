#include "retractor/manifest_operands.h"

namespace {

bool EqualsIgnoringCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return i == a.size() && b[i] == '\0';
}

}  // namespace

std::optional<CallOperand> ParseCallOperand(const std::string& operand) {
  CallOperand call;
  std::size_t start = 0;
  if (!operand.empty() && operand[0] == '%') {
    std::size_t close = operand.find('%', 1);
    if (close == std::string::npos) return std::nullopt;  // a NAME that never ends names nothing
    call.variable = operand.substr(1, close - 1);
    start = close + 1;
  }
  std::size_t space = operand.find(' ', start);
  if (space == std::string::npos) return std::nullopt;
  call.libraryPath = operand.substr(start, space - start);
  std::size_t second = operand.find(' ', space + 1);
  if (second == std::string::npos) {
    call.function = operand.substr(space + 1);
  } else {
    call.function = operand.substr(space + 1, second - space - 1);
    call.argument = operand.substr(second + 1);
  }
  return call;
}

std::optional<DirectoryOperand> ParseDirectoryOperand(const std::string& operand) {
  if (operand.empty()) return std::nullopt;
  // The first character stands for the opening percent sign, whatever it is.
  std::size_t close = operand.find('%', 1);
  if (close == std::string::npos) return std::nullopt;
  return DirectoryOperand{operand.substr(1, close - 1), operand.substr(close + 1)};
}

std::optional<RegistryOperand> ParseRegistryOperand(const std::string& operand) {
  std::size_t space = operand.find(' ');
  // Without a space the root is unknown: the line is refused.
  if (space == std::string::npos || space > kMaxRootWord) return std::nullopt;
  RegistryOperand entry;
  std::string rootWord = operand.substr(0, space);
  if (EqualsIgnoringCase(rootWord, "Root")) {
    entry.root = RegistryRoot::ClassesRoot;
  } else if (EqualsIgnoringCase(rootWord, "Machine")) {
    entry.root = RegistryRoot::LocalMachine;
  } else if (EqualsIgnoringCase(rootWord, "Cuser")) {
    entry.root = RegistryRoot::CurrentUser;
  } else {
    entry.root = RegistryRoot::Users;
  }
  std::size_t pos = space + 1;
  if (pos < operand.size() && operand[pos] == 'E') {
    entry.conditional = true;
    pos += 2;
  }
  if (pos >= operand.size() || operand[pos] != '"') return std::nullopt;
  std::size_t close = operand.find('"', pos + 1);
  if (close == std::string::npos) return std::nullopt;
  entry.subkey = operand.substr(pos + 1, close - pos - 1);
  pos = close + 1;
  if (pos < operand.size() && operand[pos] == ' ') ++pos;
  if (pos < operand.size() && operand[pos] != ' ') entry.valueName = operand.substr(pos);
  return entry;
}

ApplicationValuePath ParseApplicationValuePath(const std::string& application) {
  std::string path = application.size() > 2 ? application.substr(2) : std::string();
  ApplicationValuePath result;
  std::size_t slash = path.rfind('\\');
  std::string last = path;
  if (slash != std::string::npos) {
    result.subkey = path.substr(0, slash + 1);
    last = path.substr(slash + 1);
  }
  std::size_t dot = last.rfind('.');
  result.valueName = dot == std::string::npos ? last : last.substr(0, dot);
  return result;
}
