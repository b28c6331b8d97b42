// The broken links of a crawl, from the tree as it stands and the readings the crawl kept: each
// address whose reading failed, why, and the pages that link to it.
#pragma once
#include <string>
#include <unordered_map>
#include <vector>

#include "crawler/crawl.h"
#include "site/site_tree.h"

struct BrokenAddress {
  std::string address;  // as it was read: the URL as sent, or the path of a local file
  std::string reason;
  // The pages whose links lead to it, each once, in the order found; none for the start page.
  std::vector<std::string> linkedFrom;
};

struct BrokenLinks {
  std::string startUrl;   // the address of the first top-level node
  size_t addressesRead = 0;  // addresses in the tree read in this crawl, the broken ones too
  size_t links = 0;       // links to the broken addresses: each page and address once
  size_t notChecked = 0;  // addresses in the tree never read: outside the limits, e-mail, aborted
  std::vector<BrokenAddress> broken;  // in the order their addresses were first found
};

// Walks the tree level by level, the order in which a crawl finds its links. Touches neither the
// file system nor the network: what was read is what the crawl kept.
BrokenLinks FindBrokenLinks(const SiteTree& tree,
                            const std::unordered_map<std::string, KeptReading>& kept);
