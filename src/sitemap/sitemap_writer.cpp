// Sitemap files are written in binary mode: every line ends with CR LF on every platform.
#include "sitemap/sitemap_writer.h"

#include <cstdint>
#include <fstream>
#include <ostream>

#include "common/strings.h"
#include "sitemap/line_pieces.h"
#include "site/labels.h"

namespace {

// Output goes to the file in pieces of this size.
constexpr size_t kChunkSize = 64 * 1024;

// A template line with the label put in place of its first "%URL".
void AppendExpanded(std::string& out, std::string_view line, std::string_view label) {
  const size_t mark = line.find("%URL");
  if (mark == std::string_view::npos) {
    out.append(line);
  } else {
    out.append(line.substr(0, mark)).append(label).append(line.substr(mark + 4));
  }
}

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
