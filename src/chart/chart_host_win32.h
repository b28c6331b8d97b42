// The chart run's platform: automation objects, window order, process end, browser command.
#pragma once
#include "chart/chart_host.h"

class Win32ChartHost : public ChartHost {
public:
  DispatchPtr CreateApplication(const std::string& progId) override;
  void RaiseWindow(std::int32_t window) override;
  void EndProcess(int exitCode) override;
  std::string BrowserCommand() override;
};
