#include "site/labels.h"

#include "common/text.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = LowerChar(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// The byte that "%XX" at text[at] stands for, or -1 when there is no such escape there.
int EscapedByte(std::string_view text, size_t at) {
  if (at + 2 >= text.size() || text[at] != '%') return -1;
  int high = HexValue(text[at + 1]), low = HexValue(text[at + 2]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

}  // namespace

std::string_view UrlOfLabel(std::string_view label) {
  size_t mark = label.find(kFileMark);
  return mark == std::string_view::npos ? label : label.substr(0, mark);
}

bool LooksLikeMail(std::string_view text) { return ContainsNoCase(text, "ailto"); }

bool LooksLikeFtpUrl(std::string_view text) { return ContainsNoCase(text, "ftp:"); }

bool LooksLikeFtpSite(std::string_view text) { return ContainsNoCase(text, "ftp."); }

bool IsUnreadableLabel(std::string_view label) {
  return ContainsNoCase(label, "mailto:") || ContainsNoCase(label, ".map") || ContainsNoCase(label, kFileMark);
}

std::string ReadableName(std::string_view name) {
  constexpr size_t kEscape = 3;  // "%XX"
  std::string out;
  out.reserve(name.size());
  for (size_t i = 0; i < name.size();) {
    int byte = EscapedByte(name, i);
    if (byte < 0) {
      out += name[i++];
      continue;
    }
    // The escapes from here on, as bytes: as many as one character can take.
    std::string bytes;
    for (size_t at = i; bytes.size() < 4 && (byte = EscapedByte(name, at)) >= 0; at += kEscape)
      bytes += static_cast<char>(byte);
    size_t length = Utf8SequenceLength(bytes);
    unsigned char lead = static_cast<unsigned char>(bytes[0]), second = static_cast<unsigned char>(bytes[1]);
    // Control characters, C0 and C1 alike, have nothing to read.
    bool control = lead < 0x20 || lead == 0x7F || (lead == 0xC2 && length == 2 && second < 0xA0);
    if (length == 0 || control) {
      out.append(name.substr(i, kEscape));
      i += kEscape;
    } else {
      out.append(bytes, 0, length);
      i += length * kEscape;
    }
  }
  return out;
}
