#include "crawler/broken_links.h"

#include <limits>
#include <unordered_set>

#include "site/labels.h"
#include "site/url.h"

namespace {

constexpr size_t kNotBroken = std::numeric_limits<size_t>::max();

// The address a label was read by: a local file by its path as it stands, anything else as the
// URL the crawler sent. Which one was read is known from the kept readings, not from the disk.
std::string AddressOf(const SiteNode& node, const std::unordered_map<std::string, KeptReading>& kept) {
  std::string address(UrlOfLabel(node.label));
  if (kept.count(address)) return address;
  NormalizeRemoteUrl(address);
  return address;
}

}  // namespace

BrokenLinks FindBrokenLinks(const SiteTree& tree,
                            const std::unordered_map<std::string, KeptReading>& kept) {
  BrokenLinks found;
  if (const SiteNode* top = tree.FirstTopLevel()) found.startUrl = AddressOf(*top, kept);
  // Each address met so far: its place among the broken ones, or kNotBroken.
  std::unordered_map<std::string, size_t> met;
  std::vector<std::unordered_set<std::string>> linkedFrom;

  std::vector<const SiteNode*> level;
  for (const SiteNode* top = tree.FirstTopLevel(); top; top = top->nextSibling) level.push_back(top);
  for (size_t next = 0; next < level.size(); ++next) {
    const SiteNode& node = *level[next];
    for (const SiteNode* child = node.firstChild; child; child = child->nextSibling)
      level.push_back(child);

    auto [at, first] = met.try_emplace(AddressOf(node, kept), kNotBroken);
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
    std::string page = AddressOf(*node.parent, kept);
    if (!linkedFrom[at->second].insert(page).second) continue;
    found.broken[at->second].linkedFrom.push_back(std::move(page));
    ++found.links;
  }
  return found;
}
