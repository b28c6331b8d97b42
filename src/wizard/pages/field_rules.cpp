#include "wizard/pages/field_rules.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdio>
#include <string_view>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text without the blanks and tabs around it.
std::string_view Trimmed(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Drops a leading '+', which the library's parse does not take; false for "+-".
bool DropPlus(std::string_view& text) {
  if (text.empty() || text[0] != '+') return true;
  text.remove_prefix(1);
  return text.empty() || text[0] != '-';
}

size_t DigitsAt(std::string_view text, size_t at) {
  size_t end = at;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return end - at;
}

}  // namespace

std::string IntegerRangeMessage(int lowest, int highest) {
  return "Please enter an integer between " + std::to_string(lowest) + " and " + std::to_string(highest) + ".";
}

ClampedField ClampFieldText(const std::string& text, int lowest, int highest) {
  if (text.empty()) return {-1, {}};
  size_t at = 0;
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  // Saturates: a run of digits too long for an int is beyond either limit anyway.
  long long magnitude = 0;
  for (; at < text.size() && IsDigit(text[at]); ++at)
    magnitude = std::min(magnitude * 10 + (text[at] - '0'), static_cast<long long>(INT_MAX) + 1);
  long long value = negative ? -magnitude : magnitude;
  if (value > highest) return {highest, std::to_string(highest)};
  if (value < lowest) return {lowest, std::to_string(lowest)};
  return {static_cast<int>(value), {}};
}

std::optional<int> ParseIntegerField(const std::string& text) {
  std::string_view digits = Trimmed(text);
  if (!DropPlus(digits)) return std::nullopt;
  int value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

std::optional<unsigned> ParseUnsignedField(const std::string& text) {
  std::string_view digits = Trimmed(text);
  if (!DropPlus(digits)) return std::nullopt;
  unsigned value = 0;
  if (digits.empty() || !IsDigit(digits[0])) return std::nullopt;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

std::optional<double> ParseNumberField(const std::string& text) {
  std::string_view number = Trimmed(text);
  if (!DropPlus(number)) return std::nullopt;
  // Only the decimal form: no "inf", "nan" or hexadecimal, which the library would take.
  size_t at = !number.empty() && number[0] == '-' ? 1 : 0;
  size_t whole = DigitsAt(number, at);
  at += whole;
  size_t fraction = 0;
  if (at < number.size() && number[at] == '.') {
    fraction = DigitsAt(number, at + 1);
    at += 1 + fraction;
  }
  if (whole + fraction == 0) return std::nullopt;
  if (at < number.size() && (number[at] == 'e' || number[at] == 'E')) {
    size_t sign = at + 1 < number.size() && (number[at + 1] == '+' || number[at + 1] == '-') ? 1 : 0;
    size_t exponent = DigitsAt(number, at + 1 + sign);
    if (exponent == 0) return std::nullopt;
    at += 1 + sign + exponent;
  }
  if (at != number.size()) return std::nullopt;
  double value = 0;
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return value;
}

std::string FormatNumberField(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}
