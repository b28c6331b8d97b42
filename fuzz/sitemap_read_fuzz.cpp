// libFuzzer target: the sitemap reader, then a write of what it read and a second read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "sitemap/sitemap_reader.h"
#include "sitemap/sitemap_writer.h"

namespace {

struct NoMessages : MessagePort {
  void ShowMessage(int) override {}
};

size_t CountNodes(const SiteTree& tree) {
  size_t count = 0;
  const SiteNode* node = tree.FirstTopLevel();
  while (node) {
    ++count;
    if (node->firstChild) {
      if (node->firstChild->parent != node) std::abort();
      node = node->firstChild;
      continue;
    }
    while (node && !node->nextSibling) node = node->parent;
    if (node) node = node->nextSibling;
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  NoMessages messages;
  SitemapWriter writer("/nonexistent-pathloom-dir/", messages);
  SitemapReader reader(messages);
  SiteTree tree;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  if (!reader.ReadFromStream(tree, in)) std::abort();
  if (CountNodes(tree) != tree.NodeCount()) std::abort();
  for (const SiteNode* n = tree.FirstTopLevel(); n; n = n->nextSibling)
    if (n->label.empty() || n->label.str().find_first_of("\r\n\"") != std::string::npos) std::abort();
  tree.RefreshIcons();

  std::ostringstream out;
  if (!writer.WriteToStream(tree.FirstTopLevel(), out)) std::abort();
  SiteTree again;
  std::istringstream back(out.str());
  if (!reader.ReadFromStream(again, back)) std::abort();
  if (CountNodes(again) != again.NodeCount()) std::abort();
  if (!tree.Empty()) tree.DeleteSubtree(*tree.FirstTopLevel());
  return 0;
}
