#include "plotwright/label_wrap.h"

#include "plotwright/utf8.h"

namespace {

// Advance widths of the printable ASCII characters in thousandths of the font size: for each, the
// wider of Arial's and DejaVu Sans' (the face Wine and librsvg fall back to when Arial is absent).
constexpr short kWidths[95] = {
    318, 401, 460, 838, 636, 950, 780, 275, 390, 390, 500, 838, 318, 361, 318, 337,  //  !"#$%&'()*+,-./
    636, 636, 636, 636, 636, 636, 636, 636, 636, 636, 337, 337, 838, 838, 838, 556,  // 0-9 :;<=>?
    1015, 684, 686, 722, 770, 667, 611, 778, 752, 295, 500, 667, 557, 863, 748, 787,  // @A-O
    667, 787, 722, 667, 611, 732, 684, 989, 685, 667, 685, 390, 337, 390, 838, 556,   // P-Z [\]^_
    500, 613, 635, 550, 635, 615, 352, 635, 634, 278, 278, 579, 278, 974, 634, 612,   // `a-o
    635, 635, 411, 521, 392, 634, 592, 818, 592, 592, 525, 636, 337, 636, 838,        // p-z {|}~
};
// The letters of Latin-1 (U+00C0 to U+00FF) as wide as the letter under their accent; '@', the
// widest, stands for the ligatures AE and ae, '+' for the multiplication and division signs.
constexpr char kLatin1Letters[] = "AAAAAA@CEEEEIIIIDNOOOOO+OUUUUYPBaaaaaa@ceeeeiiiionooooo+ouuuuypy";
// Other letters above ASCII: wide enough for any accented Latin letter, and the em square for the
// rest, which holds the CJK ideographs and kana.
constexpr short kLatinWidth = 800;
constexpr char32_t kLastLatin = 0x024F;
constexpr short kOtherWidth = 1000;

bool BreaksAfter(char32_t c) {
  switch (c) {
    case ' ': case '/': case '\\': case '.': case '?': case '&': case '=': case '-': return true;
  }
  return false;
}

std::string Trimmed(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

double CharWidth(char32_t c) {
  if (c >= 0xC0 && c <= 0xFF) c = static_cast<unsigned char>(kLatin1Letters[c - 0xC0]);
  int thousandths = c < 32 ? kWidths[0] : c < 127 ? kWidths[c - 32] : c <= kLastLatin ? kLatinWidth : kOtherWidth;
  return thousandths * kFontSize / 1000.0;
}

double TextWidth(const std::string& text) {
  double width = 0.0;
  for (std::size_t at = 0; at < text.size();) {
    CodePoint c = CodePointAt(text, at);
    width += CharWidth(c.value);
    at += c.length;
  }
  return width;
}

std::vector<LabelLine> WrapLabel(const std::string& label, double width) {
  std::vector<LabelLine> lines;
  auto emit = [&](const std::string& text) {
    std::string kept = Trimmed(text);
    if (!kept.empty()) lines.push_back({kept, TextWidth(kept)});
  };
  std::string line;
  double lineWidth = 0.0;
  std::size_t breakAt = std::string::npos;  // the line may end after this many bytes
  // A character at a time, never a byte of one: a line breaks only between characters.
  for (std::size_t at = 0; at < label.size();) {
    CodePoint c = CodePointAt(label, at);
    // Control characters count as spaces.
    bool space = c.value <= U' ';
    std::string bytes = space ? std::string(" ") : label.substr(at, c.length);
    at += c.length;
    if (space && line.empty()) continue;
    double w = CharWidth(c.value);
    if (!line.empty() && lineWidth + w > width) {
      if (space) {
        emit(line);
        line.clear();
        lineWidth = 0.0;
        breakAt = std::string::npos;
        continue;
      }
      if (breakAt != std::string::npos) {
        emit(line.substr(0, breakAt));
        line = Trimmed(line.substr(breakAt));
      } else {
        emit(line);
        line.clear();
      }
      lineWidth = TextWidth(line);
      breakAt = std::string::npos;
      // What followed the last break is itself a whole line: the run is broken here.
      if (!line.empty() && lineWidth + w > width) {
        emit(line);
        line.clear();
        lineWidth = 0.0;
      }
    }
    line += bytes;
    lineWidth += w;
    if (space || BreaksAfter(c.value)) breakAt = line.size();
  }
  emit(line);
  return lines;
}
