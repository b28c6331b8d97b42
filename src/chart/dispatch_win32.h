// The Dispatch port over IDispatch::Invoke. OLE must be initialised on the calling thread.
#pragma once
#include <string>

#include "chart/dispatch.h"

// The automation object registered under progId, from a local server or a library;
// null when it cannot be created.
DispatchPtr CreateAutomationObject(const std::string& progId);
