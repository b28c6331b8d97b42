// A DDEML client for one request: its instance, string handles and conversation, all released together.
#pragma once

#include <windows.h>

#include <ddeml.h>

#include <string>

class DdemlSession {
public:
  DdemlSession();
  ~DdemlSession();
  DdemlSession(const DdemlSession&) = delete;
  DdemlSession& operator=(const DdemlSession&) = delete;

  // The item as text from the service's topic of the same name; at most 260 bytes come back.
  bool Request(const char* service, const std::string& item, std::string* data);

private:
  DWORD instance = 0;
  HSZ serviceHandle = nullptr;
  HSZ itemHandle = nullptr;
  HCONV conversation = nullptr;
};
