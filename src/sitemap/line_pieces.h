// Text files read as lines at CR LF, LF or a lone CR, in pieces, so that a line of any length
// is never held whole: the sitemap reader and the template both read this way.
#pragma once
#include <istream>
#include <string>
#include <string_view>

inline constexpr size_t kLineChunkSize = 64 * 1024;

// Splits a stream into lines at CR LF, LF or a lone CR; the last line needs no terminator.
// Hands each line over in pieces (onPiece(std::string_view), any number, maybe none) followed
// by onEnd(), so a line of any length is never held whole. False when the stream failed.
template <typename OnPiece, typename OnEnd>
bool ForEachLinePieces(std::istream& in, OnPiece onPiece, OnEnd onEnd) {
  std::string chunk(kLineChunkSize, '\0');
  bool afterCr = false;  // the last character seen was a CR that ended a line
  bool open = false;     // characters since the last line end
  while (in) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const size_t got = static_cast<size_t>(in.gcount());
    size_t start = 0;
    for (size_t i = 0; i < got; ++i) {
      const char c = chunk[i];
      if (c != '\n' && c != '\r') continue;
      if (c == '\n' && afterCr && i == start) {
        afterCr = false;  // the LF of a CR LF
        start = i + 1;
        continue;
      }
      if (i > start) onPiece(std::string_view(chunk.data() + start, i - start));
      onEnd();
      open = false;
      afterCr = (c == '\r');
      start = i + 1;
    }
    if (start < got) {
      onPiece(std::string_view(chunk.data() + start, got - start));
      open = true;
      afterCr = false;
    }
  }
  if (open) onEnd();
  return !in.bad();
}

