// combine_url_compare BASE < references
// For each line (a relative reference) prints: reference TAB ours TAB platform's.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "site/url.h"

namespace {

std::string PlatformCombine(const std::string& base, const std::string& relative) {
  std::vector<char> buffer(256);
  DWORD size = static_cast<DWORD>(buffer.size());
  if (!InternetCombineUrlA(base.c_str(), relative.c_str(), buffer.data(), &size, ICU_NO_ENCODE)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return "<error " + std::to_string(GetLastError()) + ">";
    buffer.resize(size + 1);
    size = static_cast<DWORD>(buffer.size());
    if (!InternetCombineUrlA(base.c_str(), relative.c_str(), buffer.data(), &size, ICU_NO_ENCODE))
      return "<error " + std::to_string(GetLastError()) + ">";
  }
  return std::string(buffer.data(), size);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string base = argv[1];
  std::string relative;
  while (std::getline(std::cin, relative)) {
    if (!relative.empty() && relative.back() == '\r') relative.pop_back();
    printf("%s\t%s\t%s\n", relative.c_str(), CombineUrl(base, relative).c_str(), PlatformCombine(base, relative).c_str());
  }
  return 0;
}
