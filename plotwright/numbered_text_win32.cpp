#include "plotwright/numbered_text_win32.h"

#include <cstdio>
#include <vector>

#include "plotwright/utf8.h"

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

std::wstring WideText(const std::string& utf8) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W calls take UTF-16");
  std::u16string wide = Utf16Of(utf8);
  return std::wstring(wide.begin(), wide.end());
}

std::string AnsiText(const std::string& utf8) {
  std::wstring wide = WideText(utf8);
  if (wide.empty()) return {};
  int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(std::size_t(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), out.data(), size, nullptr, nullptr);
  return out;
}
