// Records what an application tells its window and journal.
#pragma once

#include <string>
#include <vector>

#include "plotwright/automation.h"

struct RecordingEvents : ApplicationEvents {
  std::vector<std::string> journal;
  int changes = 0;
  std::vector<bool> runEnds;

  void OnCall(const std::string& line) override { journal.push_back(line); }
  void OnChanged() override { ++changes; }
  void OnRunEnded(bool normal) override { runEnds.push_back(normal); }
};
