// How the pages read their fields: the range check as the user types and the parse on storing.
#include "wizard/pages/field_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(ClampFieldText, LeadingIntegerHeldToTheRange) {
  const struct {
    const char* text;
    int lowest, highest;
    int value;
    const char* corrected;
  } cases[] = {
      {"", 1, 3, -1, ""},           // empty: nothing shown, nothing changed
      {"2", 1, 3, 2, ""},
      {"7", 1, 3, 3, "3"},
      {"0", 1, 3, 1, "1"},
      {"-4", 1, 3, 1, "1"},
      {"a", 1, 5000, 1, "1"},       // no leading digits counts as 0
      {"5001", 1, 5000, 5000, "5000"},
      {"  +12x", 1, 5000, 12, ""},  // stops at the first other character
      {"1 2", 1, 3, 1, ""},
      {"99999999999999999999", 1, 500, 500, "500"},  // saturates, no overflow
      {"-99999999999999999999", 1, 500, 1, "1"},
      {"3", 3, 3, 3, ""},
  };
  for (const auto& c : cases) {
    ClampedField field = ClampFieldText(c.text, c.lowest, c.highest);
    EXPECT_EQ(field.value, c.value) << c.text;
    EXPECT_EQ(field.correctedText, c.corrected) << c.text;
    // The corrected text is itself checked again and must then stand.
    if (!field.correctedText.empty()) {
      EXPECT_EQ(ClampFieldText(field.correctedText, c.lowest, c.highest).correctedText, "");
    }
  }
}

TEST(ParseFields, WholeTextMustBeTheNumber) {
  const struct {
    const char* text;
    std::optional<int> integer;
    std::optional<unsigned> positive;
    std::optional<double> number;
  } cases[] = {
      {"", {}, {}, {}},
      {" \t ", {}, {}, {}},
      {"12", 12, 12u, 12.0},
      {" \t+12\t ", 12, 12u, 12.0},
      {"-3", -3, {}, -3.0},
      {"1.5", {}, {}, 1.5},
      {".5", {}, {}, 0.5},
      {"2.", {}, {}, 2.0},
      {"1e2", {}, {}, 100.0},
      {"1.5E-1", {}, {}, 0.15},
      {"12a", {}, {}, {}},
      {"1 2", {}, {}, {}},
      {"\n12", {}, {}, {}},    // only blanks and tabs may surround it
      {"+-1", {}, {}, {}},
      {".", {}, {}, {}},
      {"1e", {}, {}, {}},
      {"inf", {}, {}, {}},
      {"nan", {}, {}, {}},
      {"0x10", {}, {}, {}},
      {"1e999", {}, {}, {}},   // beyond a double
      {"2147483647", 2147483647, 2147483647u, 2147483647.0},
      {"2147483648", {}, 2147483648u, 2147483648.0},
      {"4294967296", {}, {}, 4294967296.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseIntegerField(c.text), c.integer) << '"' << c.text << '"';
    EXPECT_EQ(ParseUnsignedField(c.text), c.positive) << '"' << c.text << '"';
    EXPECT_EQ(ParseNumberField(c.text), c.number) << '"' << c.text << '"';
  }
}

TEST(FieldTexts, NumbersAndMessages) {
  EXPECT_EQ(FormatNumberField(1.5), "1.5");
  EXPECT_EQ(FormatNumberField(2), "2");
  EXPECT_EQ(FormatNumberField(0.1 + 0.2), "0.3");  // 15 digits hide the binary rounding
  EXPECT_EQ(FormatNumberField(-1e-20), "-1e-20");
  EXPECT_EQ(IntegerRangeMessage(0, 500), "Please enter an integer between 0 and 500.");
}

}  // namespace
