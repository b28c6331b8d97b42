// "Save Broken Links..." on the tree page: asks where in the save dialog, writes the crawl's
// broken-links report there whole, or says why it could not.
#pragma once
#include <string>
#include <unordered_map>

#include "crawler/crawl.h"
#include "site/site_tree.h"
#include "wizard/pages/page_shell.h"

void SaveBrokenLinks(PageShell& shell, const SiteTree& tree,
                     const std::unordered_map<std::string, KeptReading>& kept);
