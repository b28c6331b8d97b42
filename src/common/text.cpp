#include "common/text.h"

// ASCII only, whatever the C locale says: labels are compared byte for byte.
char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string ToLower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = LowerChar(c);
  return result;
}

bool StartsWithNoCase(std::string_view text, std::string_view lowerPrefix) {
  if (text.size() < lowerPrefix.size()) return false;
  for (size_t i = 0; i < lowerPrefix.size(); ++i)
    if (LowerChar(text[i]) != lowerPrefix[i]) return false;
  return true;
}

bool ContainsNoCase(std::string_view text, std::string_view lowerNeedle) {
  if (lowerNeedle.empty()) return true;
  if (text.size() < lowerNeedle.size()) return false;
  const char first = lowerNeedle[0];
  const char firstUpper = (first >= 'a' && first <= 'z') ? static_cast<char>(first - 'a' + 'A') : first;
  const size_t last = text.size() - lowerNeedle.size();
  for (size_t i = 0; i <= last; ++i) {
    if (text[i] != first && text[i] != firstUpper) continue;
    size_t k = 1;
    while (k < lowerNeedle.size() && LowerChar(text[i + k]) == lowerNeedle[k]) ++k;
    if (k == lowerNeedle.size()) return true;
  }
  return false;
}
