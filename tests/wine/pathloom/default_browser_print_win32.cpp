// Prints DefaultBrowserCommand() between brackets, so a trailing blank shows.
#include <cstdio>

#include "wizard/default_browser_win32.h"

int main() {
  printf("[%s]\n", DefaultBrowserCommand().c_str());
  return 0;
}
