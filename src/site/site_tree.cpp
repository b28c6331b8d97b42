// The site tree. Nodes live in blocks owned by the tree, so destroying a tree of
// any shape is a loop over the blocks; every walk uses the parent links instead of recursion.
#include "site/site_tree.h"

#include <algorithm>
#include <new>

#include "common/text.h"
#include "site/labels.h"

namespace {

constexpr size_t kFirstBlockSize = 16;
constexpr size_t kMaxBlockSize = 4096;

NodeIcon IconForLabel(std::string_view label) {
  if (ContainsNoCase(label, kFileMark)) return NodeIcon::File;
  if (LooksLikeMail(label)) return NodeIcon::MailLink;
  if (LooksLikeFtpSite(label)) return NodeIcon::FtpFolder;
  if (ContainsNoCase(label, ".map")) return NodeIcon::ImageMap;
  return NodeIcon::NotRead;
}

// The node after `node` in pre-order, without leaving the children of stopParent.
SiteNode* NextInForest(SiteNode* node, const SiteNode* stopParent) {
  if (node->firstChild) return node->firstChild;
  while (node) {
    if (node->nextSibling) return node->nextSibling;
    node = node->parent;
    if (node == stopParent) return nullptr;
  }
  return nullptr;
}

}  // namespace

const std::string NodeLabel::kNone;

SiteTree::SiteTree() = default;

SiteTree::~SiteTree() = default;  // the blocks go one by one; no node owns another

SiteNode* SiteTree::NewNode() {
  if (freeNodes) {
    SiteNode* node = freeNodes;
    freeNodes = node->nextSibling;
    node->nextSibling = nullptr;
    return node;
  }
  if (blocks.empty() || blockUsed == blockSize) {
    // Nothing changes when the block cannot be had.
    size_t size = blocks.empty() ? kFirstBlockSize : std::min(blockSize * 2, kMaxBlockSize);
    auto block = std::make_unique<SiteNode[]>(size);
    blocks.push_back(std::move(block));
    blockSize = size;
    blockUsed = 0;
  }
  return &blocks.back()[blockUsed++];
}

void SiteTree::ReleaseNode(SiteNode* node) {
  if (topOfChart == node) topOfChart = nullptr;
  node->label = NodeLabel();
  node->icon = NodeIcon::NotRead;
  node->parent = node->firstChild = node->lastChild = node->prevSibling = nullptr;
  node->viewItem = nullptr;
  node->nextSibling = freeNodes;
  freeNodes = node;
  --nodeCount;
}

void SiteTree::Clear() {
  blocks.clear();
  blockSize = 0;
  blockUsed = 0;
  freeNodes = nullptr;
  firstTop = lastTop = nullptr;
  nodeCount = 0;
  topOfChart = nullptr;
  labels.clear();
}

NodeLabel SiteTree::Held(const std::string& label) { return NodeLabel(*labels.insert(label).first); }

SiteNode* SiteTree::AddChild(SiteNode* parent, const std::string& label, NodeIcon icon) {
  NodeLabel held = Held(label);
  SiteNode* node = NewNode();
  node->label = held;
  node->icon = icon;
  node->parent = parent;
  SiteNode*& first = parent ? parent->firstChild : firstTop;
  SiteNode*& last = parent ? parent->lastChild : lastTop;
  node->prevSibling = last;
  if (last) last->nextSibling = node;
  else first = node;
  last = node;
  ++nodeCount;
  try {
    if (view) view->NodeAdded(*node);
  } catch (const std::bad_alloc&) {
    last = node->prevSibling;
    if (last) last->nextSibling = nullptr;
    else first = nullptr;
    ReleaseNode(node);
    throw;
  }
  return node;
}

NodeIcon SiteTree::IconFor(const SiteNode& node) const {
  if (&node == topOfChart) return NodeIcon::TopOfChart;
  if (node.firstChild) return LooksLikeFtpSite(node.label) ? NodeIcon::FtpFolder : NodeIcon::PageWithLinks;
  return IconForLabel(node.label);
}

void SiteTree::SetIcon(SiteNode& node, NodeIcon icon) {
  if (node.icon == icon) return;
  node.icon = icon;
  if (view) view->IconChanged(node);
}

void SiteTree::SetLabel(SiteNode& node, const std::string& label) {
  node.label = Held(label);
  if (view) view->LabelChanged(node);
}

SiteNode* SiteTree::AddLink(SiteNode& parent, const std::string& label) {
  return AddChild(&parent, label, IconForLabel(label));
}

void SiteTree::RefreshIcons(SiteNode* start) {
  if (!start) start = firstTop;
  if (!start) return;
  const SiteNode* stopParent = start->parent;
  for (SiteNode* node = start; node; node = NextInForest(node, stopParent)) {
    if (node->icon != NodeIcon::TopOfChart && node->icon != NodeIcon::DontMap) ApplyIconFor(*node);
  }
}

void SiteTree::SetTopOfChart(SiteNode& node) {
  SiteNode* previous = topOfChart;
  topOfChart = &node;
  if (previous && previous != &node) ApplyIconFor(*previous);
  SetIcon(node, NodeIcon::TopOfChart);
}

void SiteTree::ToggleDontMap(SiteNode& node) {
  if (node.icon == NodeIcon::DontMap) ApplyIconFor(node);
  else SetIcon(node, NodeIcon::DontMap);
}

void SiteTree::DeleteSubtree(SiteNode& root) {
  if (view) view->NodeDeleting(root);
  // Unlink the branch.
  SiteNode* parent = root.parent;
  SiteNode*& first = parent ? parent->firstChild : firstTop;
  SiteNode*& last = parent ? parent->lastChild : lastTop;
  if (root.prevSibling) root.prevSibling->nextSibling = root.nextSibling;
  else first = root.nextSibling;
  if (root.nextSibling) root.nextSibling->prevSibling = root.prevSibling;
  else last = root.prevSibling;
  root.parent = root.prevSibling = root.nextSibling = nullptr;
  // Free it leaves first: always the first child of its parent, so no stack is needed.
  SiteNode* node = &root;
  for (;;) {
    while (node->firstChild) node = node->firstChild;
    if (node == &root) {
      ReleaseNode(node);
      return;
    }
    SiteNode* up = node->parent;
    up->firstChild = node->nextSibling;
    ReleaseNode(node);
    node = up->firstChild ? up->firstChild : up;
  }
}

bool SiteTree::IsInSubtree(const SiteNode& root, const SiteNode& node) {
  for (const SiteNode* n = &node; n; n = n->parent)
    if (n == &root) return true;
  return false;
}
