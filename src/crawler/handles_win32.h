// Small owners for the internet client's Win32 objects: a critical section and its scoped
// lock, WinInet and kernel handles that close themselves, and the error of a failed call.
#pragma once
#include <windows.h>
#include <wininet.h>

#include "common/owners_win32.h"

class CriticalSection {
public:
  CriticalSection() { InitializeCriticalSection(&cs); }
  ~CriticalSection() { DeleteCriticalSection(&cs); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;
  void Enter() { EnterCriticalSection(&cs); }
  void Leave() { LeaveCriticalSection(&cs); }

private:
  CRITICAL_SECTION cs;
};

class Lock {
public:
  explicit Lock(CriticalSection& cs) : cs(cs) { cs.Enter(); }
  ~Lock() { cs.Leave(); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

private:
  CriticalSection& cs;
};

using UniqueInternet = Owner<HINTERNET, InternetCloseHandle>;
using UniqueHandle = HandleOwner;

inline DWORD LastFailure() {
  DWORD error = GetLastError();
  // A completion without an error code would read as success.
  return error ? error : ERROR_INTERNET_INTERNAL_ERROR;
}
