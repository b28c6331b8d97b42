// Sitemap files (".smp"): a branch of the site tree written through a template.
#pragma once
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "site/site_tree.h"
#include "common/message_port.h"

class SitemapWriter {
public:
  // startDirectory ends in a backslash; the template is startDirectory + "sitemap.txt".
  SitemapWriter(std::string startDirectory, MessagePort& messages);

  // Writes the branch of topNode (none: an empty list). False when the file cannot be created.
  bool Write(const SiteTree& tree, const SiteNode* topNode, const std::string& path);
  // What Write does once the file is open (template, header, branch list), on any stream.
  // False when the stream failed in the middle.
  bool WriteToStream(const SiteNode* topNode, std::ostream& out);

  void LoadTemplate();
  static std::string ExpandTemplateLine(std::string_view line, std::string_view label);

  const std::vector<std::string>& TemplateLines() const { return templateLines; }
  static const std::vector<std::string>& DefaultTemplate();

private:
  void WriteHeader();
  // The branch list of the top node at level 0: its entry and all its descendants' entries
  // nested in <UL>/</UL>; the top node's siblings are never written. Iterative.
  void WriteBranch(const SiteNode* topNode);
  void WriteEntry(const SiteNode& node);
  void WriteLine(std::string_view line);
  void EndLine();
  bool Flush();

  std::string startDirectory;
  MessagePort& messages;
  std::vector<std::string> templateLines;
  std::ostream* out = nullptr;
  const SiteNode* topNode = nullptr;
  std::string outBuffer;
  bool writeFailed = false;
};
