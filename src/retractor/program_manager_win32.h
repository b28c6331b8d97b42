// Program Manager over DDE: raw messages for the commands, DDEML for the group query.
#pragma once

#include <windows.h>

#include <string>

#include "retractor/platform_ports.h"

class ProgramManagerWin32 : public ProgramManager {
public:
  explicit ProgramManagerWin32(HINSTANCE program) : instance(program) {}
  ~ProgramManagerWin32() override;
  ProgramManagerWin32(const ProgramManagerWin32&) = delete;
  ProgramManagerWin32& operator=(const ProgramManagerWin32&) = delete;

  void DeleteProgmanItem(const std::string& group, const std::string& item) override;
  bool IsProgmanGroupEmpty(const std::string& group) override;
  void DeleteProgmanGroup(const std::string& group) override;

private:
  static LRESULT CALLBACK ClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void CreateClientWindow();
  void DestroyClientWindow();
  HWND Connect();
  void Initiate(ATOM application, ATOM topic);
  bool Execute(const std::string& command);
  void Terminate();
  // Dispatches this thread's messages until done() or the time is up.
  template <typename Done>
  void PumpUntil(Done done, DWORD milliseconds);
  void Converse(const std::string& group, bool deleteGroup, const std::string& item);

  HINSTANCE instance;
  HWND clientWindow = nullptr;
  HWND serverWindow = nullptr;
  bool initiating = false;
  // The command memory of the execute awaiting its answer; an answer for any other is late.
  HGLOBAL executeMemory = nullptr;
  bool acknowledged = false;
  bool terminating = false;
  bool acknowledgementPositive = false;
  bool terminateSeen = false;
};
