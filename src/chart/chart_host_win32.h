// The chart run's platform: automation objects, window order, process end, browser command.
#pragma once
#include <functional>
#include <string>
#include <utility>

#include "chart/chart_host.h"

class ChartHostWin32 : public ChartHost {
public:
  // `browserCommand` gives the default browser's command prefix each time a chart is drawn.
  explicit ChartHostWin32(std::function<std::string()> browserCommand) : browserCommand(std::move(browserCommand)) {}
  DispatchPtr CreateApplication(const std::string& progId) override;
  void RaiseWindow(std::int32_t window) override;
  void EndProcess(int exitCode) override;
  std::string BrowserCommand() override { return browserCommand(); }

private:
  std::function<std::string()> browserCommand;
};
