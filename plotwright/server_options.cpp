#include "plotwright/server_options.h"

#include <cctype>
#include <cstdlib>

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool PositiveInteger(const std::string& text, int* value) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  *value = std::atoi(text.c_str());
  return *value > 0;
}

std::string Quoted(const std::string& token) {
  return token.find_first_of(" \t") == std::string::npos ? token : "\"" + token + "\"";
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& text) {
  std::vector<std::string> out;
  std::string token;
  bool quoted = false, started = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      started = true;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (started) out.push_back(token);
      token.clear();
      started = false;
    } else {
      token += c;
      started = true;
    }
  }
  if (started) out.push_back(token);
  return out;
}

ServerOptions ParseCommandLine(const std::string& text) {
  ServerOptions o;
  for (const std::string& token : SplitCommandLine(text)) {
    if (token.size() < 2 || (token[0] != '/' && token[0] != '-')) {
      o.errors.push_back(token);
      continue;
    }
    std::size_t colon = token.find(':');
    std::string name = Lower(token.substr(1, colon == std::string::npos ? std::string::npos : colon - 1));
    bool hasValue = colon != std::string::npos;
    std::string value = hasValue ? token.substr(colon + 1) : "";
    bool ok = true;
    if (!hasValue && name == "regserver") o.regServer = true;
    else if (!hasValue && name == "unregserver") o.unregServer = true;
    else if (!hasValue && (name == "embedding" || name == "automation")) o.embedding = true;
    else if (name == "version" && !value.empty()) o.version = value;
    else if (name == "journal" && !value.empty()) o.journal = value;
    else if (name == "svgdir" && !value.empty()) o.svgFolder = value;
    else if (name == "failat") ok = PositiveInteger(value, &o.failAt);
    else if (name == "idle") ok = PositiveInteger(value, &o.idleSeconds);
    else ok = false;
    if (!ok) o.errors.push_back(token);
  }
  return o;
}

std::string ServerCommand(const std::string& program, const ServerOptions& options) {
  ServerOptions defaults;
  std::string command = "\"" + program + "\"";
  if (options.version != defaults.version) command += " " + Quoted("/version:" + options.version);
  if (!options.journal.empty()) command += " " + Quoted("/journal:" + options.journal);
  if (!options.svgFolder.empty()) command += " " + Quoted("/svgdir:" + options.svgFolder);
  if (options.failAt) command += " /failat:" + std::to_string(options.failAt);
  if (options.idleSeconds != defaults.idleSeconds) command += " /idle:" + std::to_string(options.idleSeconds);
  return command;
}
