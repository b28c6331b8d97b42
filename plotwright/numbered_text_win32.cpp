#include "plotwright/numbered_text_win32.h"

#include <cstdio>
#include <vector>

std::string LoadText(UINT id) {
  char buffer[1024] = "";
  LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
  return buffer;
}

std::string FormatText(UINT id, const std::string& text) {
  std::string format = LoadText(id);
  std::vector<char> buffer(format.size() + text.size() + 64);
  std::snprintf(buffer.data(), buffer.size(), format.c_str(), text.c_str());
  return buffer.data();
}
