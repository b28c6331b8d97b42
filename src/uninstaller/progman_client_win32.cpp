#include "uninstaller/progman_client_win32.h"

#include <dde.h>
#include <ddeml.h>

#include <cstring>

#include "uninstaller/progman_rules.h"

namespace {

const char kClientClass[] = "KVRDDECLASS";
const char kProgman[] = "PROGMAN";
// Program Manager answers within milliseconds; a server that never acknowledges must not hang us.
constexpr DWORD kAcknowledgeTimeout = 10000;
constexpr DWORD kTerminateTimeout = 2000;
constexpr DWORD kRequestTimeout = 5000;

class ScopedAtom {
 public:
  explicit ScopedAtom(const char* name) : atom_(GlobalAddAtomA(name)) {}
  ~ScopedAtom() {
    if (atom_) GlobalDeleteAtom(atom_);
  }
  ScopedAtom(const ScopedAtom&) = delete;
  ScopedAtom& operator=(const ScopedAtom&) = delete;
  ATOM get() const { return atom_; }

 private:
  ATOM atom_;
};

HDDEDATA CALLBACK IgnoreEverything(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

// One DDEML instance with its string handles and conversation, all released together.
class DdemlSession {
 public:
  DdemlSession() {
    if (DdeInitializeA(&instance_, IgnoreEverything,
                       APPCMD_FILTERINITS | CBF_FAIL_SELFCONNECTIONS | CBF_FAIL_POKES | CBF_SKIP_CONNECT_CONFIRMS,
                       0) != DMLERR_NO_ERROR) {
      instance_ = 0;
    }
  }
  ~DdemlSession() {
    if (conversation_) DdeDisconnect(conversation_);
    for (HSZ handle : {service_, item_}) {
      if (handle) DdeFreeStringHandle(instance_, handle);
    }
    if (instance_) DdeUninitialize(instance_);
  }
  DdemlSession(const DdemlSession&) = delete;
  DdemlSession& operator=(const DdemlSession&) = delete;

  bool Request(const std::string& item, std::string* data) {
    if (!instance_) return false;
    service_ = DdeCreateStringHandleA(instance_, kProgman, CP_WINANSI);
    item_ = DdeCreateStringHandleA(instance_, item.c_str(), CP_WINANSI);
    if (!service_ || !item_) return false;
    conversation_ = DdeConnect(instance_, service_, service_, nullptr);
    if (!conversation_) return false;
    HDDEDATA result =
        DdeClientTransaction(nullptr, 0, conversation_, item_, CF_TEXT, XTYP_REQUEST, kRequestTimeout, nullptr);
    if (!result) return false;
    char buffer[260];
    DWORD size = DdeGetData(result, reinterpret_cast<LPBYTE>(buffer), sizeof buffer, 0);
    DdeFreeDataHandle(result);
    data->assign(buffer, size);
    return true;
  }

 private:
  DWORD instance_ = 0;
  HSZ service_ = nullptr;
  HSZ item_ = nullptr;
  HCONV conversation_ = nullptr;
};

}  // namespace

ProgmanClient::~ProgmanClient() { DestroyClientWindow(); }

void ProgmanClient::CreateClientWindow() {
  if (clientWindow_) return;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ClientProc;
  windowClass.hInstance = instance_;
  windowClass.lpszClassName = kClientClass;
  if (!RegisterClassA(&windowClass)) return;
  clientWindow_ = CreateWindowA(kClientClass, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, instance_, nullptr);
  if (clientWindow_)
    SetWindowLongPtrA(clientWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  else
    UnregisterClassA(kClientClass, instance_);  // a class left behind would make every later attempt fail
}

void ProgmanClient::DestroyClientWindow() {
  if (!clientWindow_) return;
  DestroyWindow(clientWindow_);
  clientWindow_ = nullptr;
  UnregisterClassA(kClientClass, instance_);
}

template <typename Done>
void ProgmanClient::PumpUntil(Done done, DWORD milliseconds) {
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

void ProgmanClient::Initiate(ATOM application, ATOM topic) {
  initiating_ = true;
  SendMessageA(HWND_BROADCAST, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(clientWindow_),
               MAKELPARAM(application, topic));
  initiating_ = false;
}

HWND ProgmanClient::Connect() {
  serverWindow_ = nullptr;
  {
    ScopedAtom application(kProgman);
    ScopedAtom topic(kProgman);
    Initiate(application.get(), topic.get());
    if (!serverWindow_) {
      WinExec(kProgman, SW_SHOWNORMAL);
      Initiate(application.get(), topic.get());
    }
  }
  if (!serverWindow_) return nullptr;
  BringWindowToTop(serverWindow_);
  ShowWindow(serverWindow_, SW_RESTORE);
  EnableWindow(serverWindow_, FALSE);
  return serverWindow_;
}

bool ProgmanClient::Execute(const std::string& command) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, command.size() + 1);
  if (!memory) return false;
  if (void* text = GlobalLock(memory)) {
    std::memcpy(text, command.c_str(), command.size() + 1);
    GlobalUnlock(memory);
  } else {
    GlobalFree(memory);
    return false;
  }
  acknowledgementPositive_ = false;
  acknowledged_ = false;
  if (!PostMessageA(serverWindow_, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(clientWindow_),
                    reinterpret_cast<LPARAM>(memory))) {
    GlobalFree(memory);
    return false;
  }
  executeMemory_ = memory;
  PumpUntil([this] { return acknowledged_; }, kAcknowledgeTimeout);
  // Unanswered, the memory stays with the server, which may still read it.
  executeMemory_ = nullptr;
  return acknowledged_ && acknowledgementPositive_;
}

void ProgmanClient::Terminate() {
  terminating_ = true;
  terminateSeen_ = false;
  PostMessageA(serverWindow_, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(clientWindow_), 0);
  PumpUntil([this] { return terminateSeen_; }, kTerminateTimeout);
  terminating_ = false;
  serverWindow_ = nullptr;
}

LRESULT CALLBACK ProgmanClient::ClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* client = reinterpret_cast<ProgmanClient*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!client) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_DDE_ACK: {
      if (client->initiating_) {
        // The answer to an initiate carries the server's own atoms, ours to delete.
        GlobalDeleteAtom(LOWORD(lParam));
        GlobalDeleteAtom(HIWORD(lParam));
        client->serverWindow_ = reinterpret_cast<HWND>(wParam);
        client->acknowledgementPositive_ = true;
        return 1;
      }
      UINT_PTR status = 0;
      UINT_PTR memory = 0;
      UnpackDDElParam(WM_DDE_ACK, lParam, &status, &memory);
      FreeDDElParam(WM_DDE_ACK, lParam);
      // A late answer to an execute that timed out is not the answer to the current one.
      if (!client->executeMemory_ || reinterpret_cast<HGLOBAL>(memory) != client->executeMemory_) return 0;
      GlobalFree(client->executeMemory_);
      client->executeMemory_ = nullptr;
      client->acknowledgementPositive_ = (status & 0x8000) != 0;
      client->acknowledged_ = true;
      return 0;
    }
    case WM_DDE_TERMINATE:
      if (!client->terminating_) {
        PostMessageA(reinterpret_cast<HWND>(wParam), WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window), 0);
      }
      client->terminateSeen_ = true;
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void ProgmanClient::Converse(const std::string& group, bool deleteGroup, const std::string& item) {
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

void ProgmanClient::DeleteProgmanItem(const std::string& group, const std::string& item) {
  Converse(group, false, item);
}

void ProgmanClient::DeleteProgmanGroup(const std::string& group) { Converse(group, true, std::string()); }

bool ProgmanClient::IsProgmanGroupEmpty(const std::string& group) {
  DdemlSession session;
  std::string description;
  if (!session.Request(group, &description)) return false;
  return IsGroupDescriptionEmpty(description);
}
