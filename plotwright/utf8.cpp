#include "plotwright/utf8.h"

CodePoint CodePointAt(const std::string& text, std::size_t at) {
  if (at >= text.size()) return {};
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  unsigned char lead = byte(0);
  CodePoint latin1 = {lead, 1};
  if (lead < 0x80) return latin1;
  // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
  std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (length == 0 || text.size() - at < length) return latin1;
  unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  if (byte(1) < low || byte(1) > high) return latin1;
  char32_t value = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return latin1;
    value = (value << 6) | (byte(i) & 0x3F);
  }
  return {value, length};
}

std::string Utf8Of(char32_t code) {
  std::string out;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

std::u16string Utf16Of(const std::string& text) {
  std::u16string out;
  for (std::size_t at = 0; at < text.size();) {
    CodePoint c = CodePointAt(text, at);
    if (c.value > 0xFFFF) {
      out += static_cast<char16_t>(0xD800 + ((c.value - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c.value - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c.value);
    }
    at += c.length;
  }
  return out;
}

std::string Utf8FromUtf16(const std::u16string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t unit = text[i];
    bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (pair) {
      out += Utf8Of(0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00));
    } else {
      // A surrogate on its own is no character.
      out += Utf8Of(unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
  }
  return out;
}
