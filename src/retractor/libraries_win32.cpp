#include "retractor/platform_win32.h"

namespace {

#if defined(__i386__)
// Uninstall entries may be __cdecl or __stdcall: the stack pointer is saved in a
// callee-saved register and put back, so either convention leaves it right.
void CallWithoutArgument(FARPROC function) {
  asm volatile(
      "movl %%esp, %%edi\n\t"
      "call *%0\n\t"
      "movl %%edi, %%esp\n\t"
      :
      : "r"(function)
      : "eax", "ecx", "edx", "edi", "memory", "cc");
}

void CallWithText(FARPROC function, const char* text) {
  asm volatile(
      "movl %%esp, %%edi\n\t"
      "pushl %1\n\t"
      "call *%0\n\t"
      "movl %%edi, %%esp\n\t"
      :
      : "r"(function), "r"(text)
      : "eax", "ecx", "edx", "edi", "memory", "cc");
}
#else
// 64-bit Windows has one calling convention (used by the test build on machines without 32-bit).
void CallWithoutArgument(FARPROC function) { reinterpret_cast<void (*)()>(function)(); }
void CallWithText(FARPROC function, const char* text) {
  reinterpret_cast<void (*)(const char*)>(function)(text);
}
#endif

class LoadedLibraryWin32 : public LoadedLibrary {
public:
  explicit LoadedLibraryWin32(HMODULE loaded) : module(loaded) {}
  ~LoadedLibraryWin32() override { FreeLibrary(module); }
  bool Call(const std::string& function, const std::string* argument) override {
    FARPROC entry = GetProcAddress(module, function.c_str());
    if (!entry) return false;
    if (argument) {
      CallWithText(entry, argument->c_str());
    } else {
      CallWithoutArgument(entry);
    }
    return true;
  }

private:
  HMODULE module;
};

}  // namespace

std::unique_ptr<LoadedLibrary> LibrariesWin32::Load(const std::string& path) {
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) return nullptr;
  return std::make_unique<LoadedLibraryWin32>(module);
}
