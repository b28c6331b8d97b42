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

// UTF-8, which page names decoded from percent-escapes are in (the program's other texts are
// in the ANSI code page).
// The length of the well-formed UTF-8 sequence at the start of text: 1 for ASCII, 2 to 4 for a
// character above it, 0 for none (a stray byte, an overlong form, a surrogate, past U+10FFFF).
size_t Utf8SequenceLength(std::string_view text);
// The text in UTF-16, as automation's BSTRs hold it; a byte that starts no well-formed
// sequence becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view text);
