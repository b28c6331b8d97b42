#include "crawler/broken_links.h"

#include <limits>
#include <unordered_set>

#include "crawler/fetch_task.h"
#include "site/labels.h"

namespace {

constexpr size_t kNotBroken = std::numeric_limits<size_t>::max();

// The address a node is read by, as the crawl keeps its reading.
std::string AddressOf(const SiteNode& node) { return ReadingKey(node, std::string(UrlOfLabel(node.label))); }

}  // namespace

BrokenLinks FindBrokenLinks(const SiteTree& tree,
                            const std::unordered_map<std::string, KeptReading>& kept) {
  BrokenLinks found;
  if (const SiteNode* top = tree.FirstTopLevel()) found.startUrl = AddressOf(*top);
  // Each address met so far: its place among the broken ones, or kNotBroken.
  std::unordered_map<std::string, size_t> met;
  std::vector<std::unordered_set<std::string>> linkedFrom;

  std::vector<const SiteNode*> level;
  for (const SiteNode* top = tree.FirstTopLevel(); top; top = top->nextSibling) level.push_back(top);
  for (size_t next = 0; next < level.size(); ++next) {
    const SiteNode& node = *level[next];
    for (const SiteNode* child = node.firstChild; child; child = child->nextSibling)
      level.push_back(child);

    auto [at, first] = met.try_emplace(AddressOf(node), kNotBroken);
    if (first) {
      auto reading = kept.find(at->first);
      if (reading == kept.end()) {
        ++found.notChecked;
        continue;
      }
      ++found.addressesRead;
      if (reading->second.status != ReadStatus::ReadFailed) continue;
      at->second = found.broken.size();
      found.broken.push_back(BrokenAddress{at->first, reading->second.reason, {}});
      linkedFrom.emplace_back();
    }
    if (at->second == kNotBroken || !node.parent) continue;
    std::string page = AddressOf(*node.parent);
    if (!linkedFrom[at->second].insert(page).second) continue;
    found.broken[at->second].linkedFrom.push_back(std::move(page));
    ++found.links;
  }
  return found;
}
