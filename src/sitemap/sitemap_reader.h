// Reading a sitemap file (".smp") back into the site tree: one node per entry, nested as its
// lists are.
#pragma once
#include <iosfwd>
#include <string>

#include "common/message_port.h"
#include "site/site_tree.h"

class SitemapReader {
public:
  explicit SitemapReader(MessagePort& messages);

  // Reads a sitemap file into the tree (normally empty). False when the file cannot be opened;
  // a read error in the middle is shown and keeps the nodes read so far.
  bool Read(SiteTree& tree, const std::string& path);
  // Read's line loop over any stream; lines end with CR LF, LF or a lone CR.
  // False when the stream failed in the middle (the nodes read so far stay).
  bool ReadFromStream(SiteTree& tree, std::istream& in);

private:
  MessagePort& messages;
};
