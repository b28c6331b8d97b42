// Sitemap files are read in binary mode, taking CR LF, LF or a lone CR as a line end.
#include "sitemap/sitemap_reader.h"

#include <cstdint>
#include <fstream>
#include <istream>

#include "sitemap/line_pieces.h"

namespace {

constexpr uint64_t Pack(std::string_view text) {
  uint64_t value = 0;
  for (char c : text) value = (value << 8) | static_cast<unsigned char>(c);
  return value;
}

// The reader's test of one line, made while the line streams by, so a line of any length
// needs no more memory than the label it may carry.
class SitemapLineScanner {
public:
  void Reset() {
    window = 0;
    hasOpenList = hasUrl = hasCloseList = false;
    quotes = 0;
    label.clear();
  }
  void Feed(std::string_view text) {
    for (char c : text) {
      const unsigned char upper = (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : static_cast<unsigned char>(c);
      window = (window << 8) | upper;
      if ((window & 0xFFFFFFFFull) == kOpenList) hasOpenList = true;
      if ((window & 0xFFFFFFull) == kUrl) hasUrl = true;
      if ((window & 0xFFFFFFFFFFull) == kCloseList) hasCloseList = true;
      if (c == '"') ++quotes;
      else if (quotes == 3) label.push_back(c);
    }
  }

  bool hasOpenList = false;
  bool hasUrl = false;
  bool hasCloseList = false;
  std::string label;  // between the third and the fourth double quote

private:
  static constexpr uint64_t kOpenList = Pack("<UL>");
  static constexpr uint64_t kUrl = Pack("URL");
  static constexpr uint64_t kCloseList = Pack("</UL>");
  uint64_t window = 0;
  int quotes = 0;
};

}  // namespace

SitemapReader::SitemapReader(MessagePort& messages) : messages(messages) {}

bool SitemapReader::Read(SiteTree& siteTree, const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) return false;
  if (!ReadFromStream(siteTree, file)) messages.ShowFileError(path);
  return true;
}

bool SitemapReader::ReadFromStream(SiteTree& siteTree, std::istream& in) {
  SiteNode* parent = siteTree.FirstTopLevel();
  SiteNode* last = parent;
  SitemapLineScanner scanner;
  return ForEachLinePieces(
      in, [&](std::string_view piece) { scanner.Feed(piece); },
      [&] {
        if (scanner.hasOpenList) {
          parent = last;
        } else if (scanner.hasUrl) {
          if (!scanner.label.empty()) last = siteTree.AddChild(parent, scanner.label, NodeIcon::PageWithLinks);
        } else if (scanner.hasCloseList) {
          parent = parent ? parent->parent : nullptr;
        }
        scanner.Reset();
      });
}
