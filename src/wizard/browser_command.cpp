#include "wizard/browser_command.h"

#include <algorithm>

#include "common/text.h"

std::string BrowserCommandFromRegistry(std::string command) {
  if (command.empty()) return command;
  size_t placeholder = command.find("%1");
  if (placeholder != std::string::npos) command.erase(placeholder);
  // A quoted placeholder ("%1") leaves its opening quote behind, which would swallow the URL
  // into an unclosed argument; the URL is appended bare instead.
  size_t lastQuote = command.find_last_of('"');
  if (lastQuote != std::string::npos && command.find_first_not_of(' ', lastQuote + 1) == std::string::npos &&
      std::count(command.begin(), command.end(), '"') % 2 == 1)
    command.erase(lastQuote);
  if (command.find_first_not_of(' ') == std::string::npos) return std::string();  // nothing but "%1"
  if (command.find('"') == std::string::npos) {
    std::string lower = ToLower(command);
    size_t exe = lower.find("exe");
    if (exe != std::string::npos) {
      command = "\"" + lower.substr(0, exe + 3) + "\"";
    } else {
      // No "exe" to cut at: the program's end is unknown, so the registered text before
      // "%1" stays as it is (program and arguments), without trailing blanks.
      command.erase(command.find_last_not_of(' ') + 1);
    }
  }
  if (command.back() != ' ') command.push_back(' ');
  return command;
}
