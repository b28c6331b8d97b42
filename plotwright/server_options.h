// The command line of Plotwright.exe.
//   /regserver, /unregserver   register or remove the automation server; the switches below
//                              given with /regserver go into the registered command, so that
//                              every start of the server by a client uses them
//   /version:TEXT              the version text the application reports (default 7.0)
//   /journal:PATH              append one line per call received to PATH
//   /svgdir:FOLDER             where drawings are saved when a run ends normally
//   /failat:N                  the Nth call of each application object fails
//   /idle:SECONDS              end after this long without clients or user input (default 900)
//   /Embedding, /Automation    started by COM for a client
// A switch starts with / or -, its name is case-blind; quotes group words with spaces.
#pragma once

#include <string>
#include <vector>

struct ServerOptions {
  bool regServer = false;
  bool unregServer = false;
  bool embedding = false;
  std::string version = "7.0";
  std::string journal;
  std::string svgFolder;
  int failAt = 0;
  int idleSeconds = 900;
  std::vector<std::string> errors;  // switches not understood, as given
};

std::vector<std::string> SplitCommandLine(const std::string& text);
ServerOptions ParseCommandLine(const std::string& text);
// The command to register: the program, quoted, and the switches that differ from the defaults.
std::string ServerCommand(const std::string& program, const ServerOptions& options);
