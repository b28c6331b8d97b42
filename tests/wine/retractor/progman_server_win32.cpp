// A stand-in Program Manager for the tests: keeps groups of items, carries out showgroup,
// deleteitem and deletegroup, answers the group request and logs every execute and request.
// Wine's own shell also answers "PROGMAN". A raw initiate takes the last answer and DDEML's
// the first, so the stand-in answers twice: through DDEML (its window lies above the
// shell's) and through a raw window kept at the bottom of the Z order.
//   retractor_progman LOG [slow] GROUPS
// GROUPS: P:Name=item,item;C:Name=item  (P personal, C common). "slow" answers requests after 7 s.
#include <windows.h>
#include <dde.h>
#include <ddeml.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct Group {
  std::string name;
  bool common;
  std::vector<std::string> items;
};

DWORD instance;
HSZ service;
std::string logPath;
bool slow = false;
std::vector<Group> groups;
Group* current = nullptr;

void Log(const std::string& line) {
  if (FILE* f = fopen(logPath.c_str(), "a")) {
    fprintf(f, "%s\n", line.c_str());
    fclose(f);
  }
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

Group* FindGroup(const std::string& name, int common) {
  for (Group& g : groups) {
    if (g.name == name && (common < 0 || g.common == (common == 1))) return &g;
  }
  return nullptr;
}

bool Carry(const std::string& command) {
  std::size_t open = command.find('(');
  std::size_t close = command.rfind(')');
  if (command.empty() || command[0] != '[' || open == std::string::npos || close == std::string::npos) return false;
  std::string verb = command.substr(1, open - 1);
  std::vector<std::string> args = Split(command.substr(open + 1, close - open - 1), ',');
  if (verb == "showgroup" && args.size() == 3) {
    current = FindGroup(args[0], args[2] == "1" ? 1 : 0);
    return current != nullptr;
  }
  if (verb == "deleteitem" && current) {
    for (auto it = current->items.begin(); it != current->items.end(); ++it) {
      if (*it == args[0]) {
        current->items.erase(it);
        return true;
      }
    }
    return false;
  }
  if (verb == "deletegroup" && args.size() == 2) {
    Group* g = FindGroup(args[0], args[1] == "1" ? 1 : 0);
    if (!g) return false;
    if (current == g) current = nullptr;
    groups.erase(groups.begin() + (g - groups.data()));
    return true;
  }
  return false;
}

HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV, HSZ topic, HSZ item, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
  switch (type) {
    case XTYP_CONNECT:
      return reinterpret_cast<HDDEDATA>(DdeCmpStringHandles(topic, service) == 0);
    case XTYP_EXECUTE: {
      char text[1024] = "";
      DdeGetData(data, reinterpret_cast<LPBYTE>(text), sizeof text - 1, 0);
      bool ok = Carry(text);
      Log(std::string("EXEC ") + text + (ok ? " ok" : " fail"));
      return reinterpret_cast<HDDEDATA>(ok ? DDE_FACK : DDE_FNOTPROCESSED);
    }
    case XTYP_REQUEST: {
      char name[256] = "";
      DdeQueryStringA(instance, item, name, sizeof name, CP_WINANSI);
      Log(std::string("REQUEST ") + name);
      if (slow) Sleep(7000);
      Group* g = FindGroup(name, -1);
      if (!g || format != CF_TEXT) return nullptr;
      std::string text = "\"" + g->name + "\",C:\\WINDOWS\\" + g->name + ".GRP," + std::to_string(g->items.size()) +
                         ",1\r\n";
      for (const std::string& i : g->items) text += "\"" + i + "\",\"\",C:\\app.exe,0,0,0,0\r\n";
      return DdeCreateDataHandle(instance, reinterpret_cast<LPBYTE>(text.data()), text.size() + 1, 0, item,
                                 CF_TEXT, 0);
    }
  }
  return nullptr;
}

void KeepAtBottom(HWND window) {
  SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool IsProgmanAtom(ATOM atom) {
  char name[64] = "";
  GlobalGetAtomNameA(atom, name, sizeof name);
  return lstrcmpiA(name, "PROGMAN") == 0;
}

LRESULT CALLBACK RawProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND client = reinterpret_cast<HWND>(wParam);
  switch (message) {
    case WM_DDE_INITIATE:
      if (IsProgmanAtom(LOWORD(lParam)) && IsProgmanAtom(HIWORD(lParam))) {
        SendMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window),
                     MAKELPARAM(GlobalAddAtomA("PROGMAN"), GlobalAddAtomA("PROGMAN")));
      }
      return 0;
    case WM_DDE_EXECUTE: {
      HGLOBAL memory = reinterpret_cast<HGLOBAL>(lParam);
      std::string text;
      if (const char* locked = static_cast<const char*>(GlobalLock(memory))) {
        text = locked;
        GlobalUnlock(memory);
      }
      bool ok = Carry(text);
      Log("EXEC " + text + (ok ? " ok" : " fail"));
      PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window),
                   PackDDElParam(WM_DDE_ACK, ok ? 0x8000 : 0, reinterpret_cast<UINT_PTR>(memory)));
      return 0;
    }
    case WM_DDE_TERMINATE:
      // The client restored and raised us: hide again, below the shell's server.
      PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window), 0);
      KeepAtBottom(window);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 2;
  logPath = __argv[1];
  int next = 2;
  if (__argc > next && std::string(__argv[next]) == "slow") {
    slow = true;
    ++next;
  }
  if (__argc > next) {
    for (const std::string& entry : Split(__argv[next], ';')) {
      std::size_t eq = entry.find('=');
      if (entry.size() < 3 || eq == std::string::npos) continue;
      Group g{entry.substr(2, eq - 2), entry[0] == 'C', {}};
      if (eq + 1 < entry.size()) g.items = Split(entry.substr(eq + 1), ',');
      groups.push_back(g);
    }
  }
  if (DdeInitializeA(&instance, Callback, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0) !=
      DMLERR_NO_ERROR) {
    return 1;
  }
  service = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
  DdeNameService(instance, service, nullptr, DNS_REGISTER);
  WNDCLASSA raw = {};
  raw.lpfnWndProc = RawProc;
  raw.hInstance = GetModuleHandleA(nullptr);
  raw.lpszClassName = "StandInProgman";
  RegisterClassA(&raw);
  HWND rawWindow = CreateWindowA("StandInProgman", "Program Manager", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 raw.hInstance, nullptr);
  KeepAtBottom(rawWindow);
  Log("READY");
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  DdeNameService(instance, service, nullptr, DNS_UNREGISTER);
  DdeFreeStringHandle(instance, service);
  DdeUninitialize(instance);
  return 0;
}
