// The start page's settings, read by the tree page when it rebuilds its tree.
#pragma once
#include <string>

struct StartSettings {
  std::string startUrl;
  int depth = 1;  // 1 to 3
  bool stayInDomain = true;
  bool linksOnce = false;  // "Show each page's links only once"
  bool limitPages = false;
  int pageLimit = 100;  // 1 to 5000
  std::string importPath;
};
