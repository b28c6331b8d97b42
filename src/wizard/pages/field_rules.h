// How the pages read their edit fields: the range check as the user types, and the parse when
// a page stores its fields, with the standard messages for text that is not a number.
#pragma once
#include <optional>
#include <string>

#include "common/strings.h"

// An integer field's limits and the message shown when a typed value is corrected to one.
struct FieldRange {
  int lowest;
  int highest;
  int messageId;
};

// The reading depth, on the start page and on the tree page.
inline constexpr FieldRange kDepthRange{1, 3, IDS_DEPTH_RANGE};

inline constexpr const char* kEnterInteger = "Please enter an integer.";
inline constexpr const char* kEnterNumber = "Please enter a number.";
inline constexpr const char* kEnterPositiveInteger = "Please enter a positive integer.";

// "Please enter an integer between LOWEST and HIGHEST."
std::string IntegerRangeMessage(int lowest, int highest);

// The range check on a field's text: value -1 for empty text; otherwise the leading integer
// (no digits counts as 0) held to lowest..highest, with the text to put in the field when it
// had to be corrected (empty when the text stays).
struct ClampedField {
  int value;
  std::string correctedText;
};
ClampedField ClampFieldText(const std::string& text, int lowest, int highest);

// A whole field's text as a decimal integer, optionally signed, with only blanks or tabs
// around it; nothing for anything else, an empty field and a number beyond int included.
std::optional<int> ParseIntegerField(const std::string& text);
// The same without a sign, for a value that cannot be negative.
std::optional<unsigned> ParseUnsignedField(const std::string& text);
// A decimal number (sign, digits, fraction, exponent) with only blanks or tabs around it.
std::optional<double> ParseNumberField(const std::string& text);

// How a double is shown in a field: up to 15 significant digits, so 1.5 shows as "1.5".
std::string FormatNumberField(double value);
