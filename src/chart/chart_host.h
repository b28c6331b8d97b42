// What a chart run needs besides the automation calls: the platform and the finish page.
#pragma once
#include <cstdint>
#include <string>

#include "chart/dispatch.h"

class ChartHost {
public:
  virtual ~ChartHost() = default;
  // The application object registered under progId; null when it cannot be created.
  virtual DispatchPtr CreateApplication(const std::string& progId) = 0;
  // Brings a top-level window to the top of the window order without moving or sizing it.
  virtual void RaiseWindow(std::int32_t window) = 0;
  // Ends the process with the exit code; does not return on the real platform.
  virtual void EndProcess(int exitCode) = 0;
  // The default browser's command prefix (empty when there is none).
  virtual std::string BrowserCommand() = 0;
};

// The finish page's progress bar, one step per shape dropped.
class ChartProgress {
public:
  virtual ~ChartProgress() = default;
  virtual void StepProgress() = 0;
};
