#include "retractor/progress_dialog.h"

ProgressStep ComputeProgressStep(int count) {
  ProgressStep result;
  if (count >= 100) {
    result.stepPercent = 1;
    result.commandsPerStep = static_cast<int>((static_cast<long long>(count) + 50) / 100);
  } else if (count >= 50) {
    result.commandsPerStep = count / (100 - count);
    result.stepPercent = result.commandsPerStep + 1;
  } else if (count >= 1) {
    // One step per command, as wide as fits: 49 commands end at 98, 3 at 99.
    result.commandsPerStep = 1;
    result.stepPercent = 100 / count;
  } else {
    // No usable count: one percent per hundred commands, so that a long manifest moves the
    // bar without stepping it at every command.
    result.commandsPerStep = 100;
    result.stepPercent = 1;
  }
  return result;
}

void ProgressDialog::SetText(int stringId) {
  if (!window || stringId == shownString) return;
  shownString = stringId;
  window->ShowText(ui.LoadText(stringId));
}

void ProgressDialog::SetStep(int step) {
  if (window) window->SetStep(step);
}

void ProgressDialog::Step() {
  if (window) window->Step();
}

void ProgressDialog::BringToTop() {
  if (window) window->BringToTop();
}
