// What the shell settles before any manifest runs and the engine reads.
#pragma once

#include <string>

struct UninstallerSettings {
  bool silentMode = false;
  bool testMode = false;
  bool legacyShell = false;  // major version below 4
  unsigned platformId = 2;   // 2: Windows NT
  std::string title;
  std::string uninstallerDir;  // without a trailing backslash
};

// String numbers.
inline constexpr int kStringTitle = 1;
inline constexpr int kStringAppRunning = 59142;
inline constexpr int kStringNoManifest = 59145;
inline constexpr int kStringConfirmRemove = 59146;
inline constexpr int kStringConfirmShared = 59147;
