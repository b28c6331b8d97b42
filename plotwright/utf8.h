// The documents' texts are UTF-8: the server takes every text a client sends in UTF-16 and keeps
// it so. A byte that starts no well-formed sequence is read as the Latin-1 character of that
// byte, so that no text is refused and every text is walked a whole character at a time.
#pragma once

#include <cstddef>
#include <string>

struct CodePoint {
  char32_t value = 0;
  std::size_t length = 0;  // bytes it takes; 0 only at the end of the text
};

// The character that starts at text[at].
CodePoint CodePointAt(const std::string& text, std::size_t at);
// The character's UTF-8 bytes.
std::string Utf8Of(char32_t code);
// The text as UTF-16, for the window's W functions, and back.
std::u16string Utf16Of(const std::string& text);
std::string Utf8FromUtf16(const std::u16string& text);
