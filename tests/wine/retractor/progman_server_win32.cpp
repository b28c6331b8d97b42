// A stand-in Program Manager for the tests: a DDEML server "PROGMAN" that keeps groups
// of items, carries out showgroup, deleteitem and deletegroup, answers the group request
// and writes every execute and request to a log.
//   retractor_progman LOG [slow] GROUPS
// GROUPS: P:Name=item,item;C:Name=item  (P personal, C common). "slow" answers requests after 7 s.
#include <windows.h>
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
    for (const std::string& spec : Split(__argv[next], ';')) {
      std::size_t eq = spec.find('=');
      if (spec.size() < 3 || eq == std::string::npos) continue;
      Group g{spec.substr(2, eq - 2), spec[0] == 'C', {}};
      if (eq + 1 < spec.size()) g.items = Split(spec.substr(eq + 1), ',');
      groups.push_back(g);
    }
  }
  if (DdeInitializeA(&instance, Callback, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0) !=
      DMLERR_NO_ERROR) {
    return 1;
  }
  service = DdeCreateStringHandleA(instance, "PROGMAN", CP_WINANSI);
  DdeNameService(instance, service, nullptr, DNS_REGISTER);
  CreateWindowA("STATIC", "Stand-in Program Manager", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300, 300, 100, nullptr,
                nullptr, nullptr, nullptr);
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
