// The progress window's rules: step arithmetic and the activity text it remembers.
#pragma once

#include <memory>
#include <string>

#include "retractor/platform_ports.h"

struct ProgressStep {
  int stepPercent = 1;
  int commandsPerStep = 1;
};

ProgressStep ComputeProgressStep(int count);

// Activity texts (string numbers).
inline constexpr int kTextDeletingFiles = 2;
inline constexpr int kTextDeletingKeys = 3;
inline constexpr int kTextCleaningDirectories = 4;
inline constexpr int kTextDeletingShared = 5;
inline constexpr int kTextExternalProcess = 6;

// A null window (silent mode) makes every operation do nothing.
class ProgressDialog {
public:
  ProgressDialog(UserInterface& texts, std::unique_ptr<ProgressWindow> opened)
      : ui(texts), window(std::move(opened)) {}
  void SetText(int stringId);
  void SetStep(int step);
  void Step();
  void BringToTop();

private:
  UserInterface& ui;
  std::unique_ptr<ProgressWindow> window;
  int shownString = 0;
};
