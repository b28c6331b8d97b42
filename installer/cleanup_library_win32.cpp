// KorvaneCleanup.dll: the uninstall function the shared manifest calls for what cannot go while
// the uninstaller runs, the uninstaller itself and the folders that hold it. Windows removes them
// at the next restart, in the order they were named; a folder goes only if it is empty by then.
#include <windows.h>

namespace {

HMODULE self;

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}

// PATH is a full path, or a name in this library's folder ("." for the folder itself).
__declspec(dllexport) void __stdcall RemoveAtRestart(const char* path) {
  if (!path || !*path) return;
  char full[MAX_PATH] = "";
  if (path[0] == '\\' || (path[0] && path[1] == ':')) {
    if (!GetFullPathNameA(path, MAX_PATH, full, nullptr)) return;
  } else {
    char folder[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(self, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    char* slash = strrchr(folder, '\\');
    if (!slash) return;
    slash[1] = '\0';
    if (lstrlenA(folder) + lstrlenA(path) >= MAX_PATH) return;
    lstrcatA(folder, path);
    if (!GetFullPathNameA(folder, MAX_PATH, full, nullptr)) return;
  }
  MoveFileExA(full, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // extern "C"
