// Starts a program with an exact command line and returns its exit status:
//   retractor_launch PROGRAM "REST OF THE COMMAND LINE"
// (wine quotes each Unix argument, so a command line such as /r"Name"x.app needs this).
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
  if (argc < 3) return 255;
  std::string line = "\"" + std::string(argv[1]) + "\" " + argv[2];
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  if (!CreateProcessA(argv[1], line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return 255;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 255;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return static_cast<int>(code);
}
