#include "plotwright/link_target.h"

#include <cctype>

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool StartsWith(const std::string& text, const char* prefix) { return Lower(text).rfind(prefix, 0) == 0; }

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && Lower(text.substr(text.size() - tail.size())) == tail;
}

std::string Trimmed(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string AddressAtEnd(const std::string& text, const std::string& address) {
  if (!address.empty() && text.size() >= address.size() && text.compare(text.size() - address.size(), address.size(), address) == 0)
    return address;
  std::string command = Trimmed(text);
  if (command.empty()) return Trimmed(address);
  if (command[0] == '"') {
    std::size_t close = command.find('"', 1);
    return close == std::string::npos ? std::string() : Trimmed(command.substr(close + 1));
  }
  std::size_t space = command.find_last_of(" \t");
  return space == std::string::npos ? command : command.substr(space + 1);
}

bool IsLocalPath(const std::string& a) {
  bool drive = a.size() > 3 && std::isalpha(static_cast<unsigned char>(a[0])) && a[1] == ':' && a[2] == '\\';
  bool share = a.size() > 2 && a[0] == '\\' && a[1] == '\\';
  return drive || share;
}

}  // namespace

LinkTarget LinkToOpen(const std::string& linkText, const std::string& linkAddress) {
  std::string address = AddressAtEnd(linkText, linkAddress);
  for (char c : address)
    if (static_cast<unsigned char>(c) < 32 || c == '"' || c == '<' || c == '>' || c == '|') return {};
  bool web = StartsWith(address, "http://") || StartsWith(address, "https://") || StartsWith(address, "ftp://");
  bool mail = StartsWith(address, "mailto:");
  if (web || mail) {
    std::size_t scheme = address.find(':') + (web ? 3 : 1);
    if (address.size() <= scheme) return {};
    std::string escaped;
    for (char c : address) escaped += c == ' ' ? std::string("%20") : std::string(1, c);
    return {web ? LinkKind::Web : LinkKind::Mail, escaped};
  }
  if (IsLocalPath(address) && (EndsWith(address, ".htm") || EndsWith(address, ".html")) &&
      address.find_first_of("*?") == std::string::npos)
    return {LinkKind::LocalPage, address};
  return {};
}
