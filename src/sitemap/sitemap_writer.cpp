// Sitemap files. Files are opened in binary mode: every line written ends with
// CR LF on every platform, and the reader takes CR LF, LF or a lone CR as a line end.
#include "sitemap/sitemap_writer.h"

#include <cstdint>
#include <fstream>
#include <istream>
#include <ostream>

#include "common/strings.h"
#include "site/labels.h"

namespace {

constexpr size_t kChunkSize = 64 * 1024;

// Splits a stream into lines at CR LF, LF or a lone CR; the last line needs no terminator.
// Hands each line over in pieces (onPiece(std::string_view), any number, maybe none) followed
// by onEnd(), so a line of any length is never held whole. False when the stream failed.
template <typename OnPiece, typename OnEnd>
bool ForEachLinePieces(std::istream& in, OnPiece onPiece, OnEnd onEnd) {
  std::string chunk(kChunkSize, '\0');
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

// A template line with the label put in place of its first "%URL".
void AppendExpanded(std::string& out, std::string_view line, std::string_view label) {
  const size_t mark = line.find("%URL");
  if (mark == std::string_view::npos) {
    out.append(line);
  } else {
    out.append(line.substr(0, mark)).append(label).append(line.substr(mark + 4));
  }
}

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

SitemapWriter::SitemapWriter(std::string startDirectory, MessagePort& messages)
    : startDirectory(std::move(startDirectory)), messages(messages) {}

const std::vector<std::string>& SitemapWriter::DefaultTemplate() {
  static const std::vector<std::string> lines = {
      "\t<LI><OBJECT CLASSID = \"clsid:A61D5780-BA29-11CF-952E-00C04FD705B4\">",
      "\t\t<param name=\"URL\" value=\"%URL\">",
      "\t\t<param name=\"icon\" value=\"system:moreicons.dll#1\">",
      "\t\t<A HREF=\"%URL\">",
      "\t\t</A>",
      "\t</OBJECT>",
  };
  return lines;
}

bool SitemapWriter::Write(const SiteTree& /*tree*/, const SiteNode* top, const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file.is_open()) return false;
  if (!WriteToStream(top, file)) messages.ShowFileError(path);
  file.close();
  return true;
}

bool SitemapWriter::WriteToStream(const SiteNode* top, std::ostream& stream) {
  out = &stream;
  topNode = top;
  writeFailed = false;
  outBuffer.clear();
  outBuffer.reserve(kChunkSize + 4096);
  LoadTemplate();
  WriteHeader();
  WriteBranch(top);
  bool ok = Flush() && static_cast<bool>(stream.flush());
  out = nullptr;
  return ok;
}

void SitemapWriter::LoadTemplate() {
  templateLines.clear();
  std::ifstream file(startDirectory + "sitemap.txt", std::ios::binary);
  if (!file.is_open()) {
    messages.ShowMessage(IDS_NO_TEMPLATE);
    templateLines = DefaultTemplate();
    return;
  }
  std::string line;
  ForEachLinePieces(
      file, [&](std::string_view piece) { line.append(piece); },
      [&] {
        if (line.compare(0, 2, "//") != 0) templateLines.push_back(line);
        line.clear();
      });
}

void SitemapWriter::WriteHeader() {
  WriteLine("[Sitemap 1.0]");
  std::string line = "[! Sitemap for ";
  if (topNode) line.append(UrlOfLabel(topNode->label));
  line.push_back(']');
  WriteLine(line);
  WriteLine("");
}

void SitemapWriter::WriteBranch(const SiteNode* top) {
  WriteLine("<UL>");
  const SiteNode* node = top;
  while (node) {
    if (node->icon != NodeIcon::DontMap) {
      WriteEntry(*node);
      if (node->firstChild) {
        WriteLine("<UL>");
        node = node->firstChild;
        continue;
      }
    }
    // Next node of the run; each run that ends closes its list. The top node's siblings are
    // never part of a run.
    for (;;) {
      if (node == top) {
        node = nullptr;
        break;
      }
      if (node->nextSibling) {
        node = node->nextSibling;
        break;
      }
      WriteLine("</UL>");
      node = node->parent;
    }
  }
  WriteLine("</UL>");
}

void SitemapWriter::WriteEntry(const SiteNode& node) {
  const std::string_view label = UrlOfLabel(node.label);
  for (const std::string& line : templateLines) {
    AppendExpanded(outBuffer, line, label);
    EndLine();
  }
}

std::string SitemapWriter::ExpandTemplateLine(std::string_view line, std::string_view label) {
  std::string result;
  AppendExpanded(result, line, UrlOfLabel(label));
  return result;
}

void SitemapWriter::WriteLine(std::string_view line) {
  outBuffer.append(line);
  EndLine();
}

void SitemapWriter::EndLine() {
  outBuffer.append("\r\n");
  if (outBuffer.size() >= kChunkSize) Flush();
}

bool SitemapWriter::Flush() {
  if (!writeFailed && out && !outBuffer.empty()) {
    out->write(outBuffer.data(), static_cast<std::streamsize>(outBuffer.size()));
    if (!*out) writeFailed = true;  // what was written so far stays; the rest is dropped
  }
  outBuffer.clear();
  return !writeFailed;
}

bool SitemapWriter::Read(SiteTree& siteTree, const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) return false;
  if (!ReadFromStream(siteTree, file)) messages.ShowFileError(path);
  return true;
}

bool SitemapWriter::ReadFromStream(SiteTree& siteTree, std::istream& in) {
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
