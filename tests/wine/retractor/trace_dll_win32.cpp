// An uninstall library whose entries write what they were called with to <dll>.trace.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HMODULE self;

void Trace(const std::string& line) {
  char path[MAX_PATH];
  GetModuleFileNameA(self, path, sizeof path);
  std::string file = std::string(path) + ".trace";
  if (FILE* f = fopen(file.c_str(), "a")) {
    fprintf(f, "%s\n", line.c_str());
    fclose(f);
  }
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

__declspec(dllexport) void __cdecl Unregister() { Trace("Unregister"); }
__declspec(dllexport) void __cdecl CdeclText(const char* text) { Trace(std::string("CdeclText(") + text + ")"); }
__declspec(dllexport) void __stdcall StdcallText(const char* text) {
  Trace(std::string("StdcallText(") + text + ")");
}
__declspec(dllexport) LONG __stdcall StdcallNone() {
  Trace("StdcallNone");
  return 1;
}

// Writes the label and the performance counter in microseconds, for timing a run.
__declspec(dllexport) void __stdcall Stamp(const char* label) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  Trace(std::string("Stamp ") + label + " " + std::to_string(static_cast<long long>(now.QuadPart * 1e6 / frequency.QuadPart)));
}

}
