// Case-blind text helpers: the program's URL and label tests are substring searches in lower case.
#pragma once
#include <string>
#include <string_view>

char LowerChar(char c);
std::string ToLower(std::string_view text);
// lowerNeedle must already be lower case.
bool ContainsNoCase(std::string_view text, std::string_view lowerNeedle);
// lowerPrefix must already be lower case.
bool StartsWithNoCase(std::string_view text, std::string_view lowerPrefix);
