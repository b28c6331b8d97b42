// Prints DefaultBrowserCommand() between brackets, so a trailing blank shows.
#include <cstdio>

#include "crawler/url.h"

int main() {
  printf("[%s]\n", DefaultBrowserCommand().c_str());
  return 0;
}
