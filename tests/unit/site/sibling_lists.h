// The labels and icons of a run of siblings, first to last, for comparing with a table.
#pragma once
#include <string>
#include <vector>

#include "site/site_tree.h"

inline std::vector<std::string> Labels(const SiteNode* first) {
  std::vector<std::string> labels;
  for (const SiteNode* n = first; n; n = n->nextSibling) labels.push_back(n->label);
  return labels;
}

inline std::vector<NodeIcon> Icons(const SiteNode* first) {
  std::vector<NodeIcon> icons;
  for (const SiteNode* n = first; n; n = n->nextSibling) icons.push_back(n->icon);
  return icons;
}
