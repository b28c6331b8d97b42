// One FTP connection: WinInet in synchronous mode on a thread of its own, fed commands one
// at a time by the user-interface thread. Each command but CloseFind and Quit ends in an
// FtpDone event for the connection's context.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <deque>
#include <memory>
#include <string>

#include "crawler/handles_win32.h"

class FtpSession {
public:
  enum class Command { Connect, SetDirectory, FindFirst, FindNext, CloseFind, Quit };

  // Takes the wait limit in force now.
  FtpSession(std::string agent, std::string host, INTERNET_PORT port, unsigned context);

  bool StartThread(const std::shared_ptr<FtpSession>& self);
  void Post(Command command, std::string text = {});

private:
  struct Queued {
    Command command;
    std::string text;
  };

  static DWORD WINAPI ThreadMain(LPVOID param);
  Queued Next();
  void Run();

  const std::string agent;
  const std::string host;
  const INTERNET_PORT port;
  const unsigned context;
  const DWORD limit;
  bool listingCut = false;  // the worker's own
  CriticalSection cs;
  UniqueHandle wake;
  std::deque<Queued> commands;
};
