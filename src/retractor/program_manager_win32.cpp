#include "retractor/program_manager_win32.h"

#include <dde.h>

#include <cstring>

#include "retractor/ddeml_session_win32.h"
#include "retractor/progman_rules.h"

namespace {

const char kClientClass[] = "KVRDDECLASS";
const char kProgman[] = "PROGMAN";
// Program Manager answers within milliseconds; a server that never acknowledges must not hang us.
constexpr DWORD kAcknowledgeTimeout = 10000;
constexpr DWORD kTerminateTimeout = 2000;

class ScopedAtom {
public:
  explicit ScopedAtom(const char* name) : atom(GlobalAddAtomA(name)) {}
  ~ScopedAtom() {
    if (atom) GlobalDeleteAtom(atom);
  }
  ScopedAtom(const ScopedAtom&) = delete;
  ScopedAtom& operator=(const ScopedAtom&) = delete;
  ATOM get() const { return atom; }

private:
  ATOM atom;
};

}  // namespace

ProgramManagerWin32::~ProgramManagerWin32() { DestroyClientWindow(); }

void ProgramManagerWin32::CreateClientWindow() {
  if (clientWindow) return;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ClientProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClientClass;
  if (!RegisterClassA(&windowClass)) return;
  clientWindow = CreateWindowA(kClientClass, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (clientWindow)
    SetWindowLongPtrA(clientWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  else
    UnregisterClassA(kClientClass, instance);  // a class left behind would make every later attempt fail
}

void ProgramManagerWin32::DestroyClientWindow() {
  if (!clientWindow) return;
  DestroyWindow(clientWindow);
  clientWindow = nullptr;
  UnregisterClassA(kClientClass, instance);
}

template <typename Done>
void ProgramManagerWin32::PumpUntil(Done done, DWORD milliseconds) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (done()) return;
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
  }
}

void ProgramManagerWin32::Initiate(ATOM application, ATOM topic) {
  initiating = true;
  SendMessageA(HWND_BROADCAST, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(clientWindow),
               MAKELPARAM(application, topic));
  initiating = false;
}

HWND ProgramManagerWin32::Connect() {
  serverWindow = nullptr;
  {
    ScopedAtom application(kProgman);
    ScopedAtom topic(kProgman);
    Initiate(application.get(), topic.get());
    if (!serverWindow) {
      WinExec(kProgman, SW_SHOWNORMAL);
      Initiate(application.get(), topic.get());
    }
  }
  if (!serverWindow) return nullptr;
  BringWindowToTop(serverWindow);
  ShowWindow(serverWindow, SW_RESTORE);
  EnableWindow(serverWindow, FALSE);
  return serverWindow;
}

bool ProgramManagerWin32::Execute(const std::string& command) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, command.size() + 1);
  if (!memory) return false;
  if (void* text = GlobalLock(memory)) {
    std::memcpy(text, command.c_str(), command.size() + 1);
    GlobalUnlock(memory);
  } else {
    GlobalFree(memory);
    return false;
  }
  acknowledgementPositive = false;
  acknowledged = false;
  if (!PostMessageA(serverWindow, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(clientWindow),
                    reinterpret_cast<LPARAM>(memory))) {
    GlobalFree(memory);
    return false;
  }
  executeMemory = memory;
  PumpUntil([this] { return acknowledged; }, kAcknowledgeTimeout);
  // Unanswered, the memory stays with the server, which may still read it.
  executeMemory = nullptr;
  return acknowledged && acknowledgementPositive;
}

void ProgramManagerWin32::Terminate() {
  terminating = true;
  terminateSeen = false;
  PostMessageA(serverWindow, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(clientWindow), 0);
  PumpUntil([this] { return terminateSeen; }, kTerminateTimeout);
  terminating = false;
  serverWindow = nullptr;
}

LRESULT CALLBACK ProgramManagerWin32::ClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* client = reinterpret_cast<ProgramManagerWin32*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!client) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_DDE_ACK: {
      if (client->initiating) {
        // The answer to an initiate carries the server's own atoms, ours to delete.
        GlobalDeleteAtom(LOWORD(lParam));
        GlobalDeleteAtom(HIWORD(lParam));
        client->serverWindow = reinterpret_cast<HWND>(wParam);
        client->acknowledgementPositive = true;
        return 1;
      }
      UINT_PTR status = 0;
      UINT_PTR memory = 0;
      UnpackDDElParam(WM_DDE_ACK, lParam, &status, &memory);
      FreeDDElParam(WM_DDE_ACK, lParam);
      // A late answer to an execute that timed out is not the answer to the current one.
      if (!client->executeMemory || reinterpret_cast<HGLOBAL>(memory) != client->executeMemory) return 0;
      GlobalFree(client->executeMemory);
      client->executeMemory = nullptr;
      client->acknowledgementPositive = (status & 0x8000) != 0;
      client->acknowledged = true;
      return 0;
    }
    case WM_DDE_TERMINATE:
      if (!client->terminating) {
        PostMessageA(reinterpret_cast<HWND>(wParam), WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window), 0);
      }
      client->terminateSeen = true;
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void ProgramManagerWin32::Converse(const std::string& group, bool deleteGroup, const std::string& item) {
  CreateClientWindow();
  HWND server = Connect();
  if (!server) return;  // the window stays for the next operation
  // The personal group's form first, the common group's when that fails.
  auto groupCommand = deleteGroup ? DeleteGroupCommand : ShowGroupCommand;
  std::optional<std::string> personal = groupCommand(group, false);
  std::optional<std::string> common = groupCommand(group, true);
  if (!(personal && Execute(*personal)) && common) Execute(*common);
  if (!deleteGroup) {
    if (std::optional<std::string> command = DeleteItemCommand(item)) Execute(*command);
  }
  EnableWindow(server, TRUE);
  Terminate();
  DestroyClientWindow();
}

void ProgramManagerWin32::DeleteProgmanItem(const std::string& group, const std::string& item) {
  Converse(group, false, item);
}

void ProgramManagerWin32::DeleteProgmanGroup(const std::string& group) { Converse(group, true, std::string()); }

bool ProgramManagerWin32::IsProgmanGroupEmpty(const std::string& group) {
  DdemlSession session;
  std::string description;
  if (!session.Request(kProgman, group, &description)) return false;
  return IsGroupDescriptionEmpty(description);
}
