// The site tree: the one model of the crawled site, its icons and expansion rules.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// Index values double as image-list positions and are tested by number elsewhere.
enum class NodeIcon : std::uint8_t {
  PageWithLinks = 0,
  FtpSite = 1,
  NotRead = 2,
  MailLink = 3,
  ReadError = 4,
  NoLinks = 5,
  ImageMap = 6,
  PageLimit = 7,
  Queued = 8,
  TopOfChart = 9,
  DontMap = 10,
  FtpFolder = 11,
  File = 12,
};

// A node's label. The tree holds each text once, however many nodes show it: a page's links
// repeat wherever the page does, and a densely linked site repeats them millions of times.
// It reads as the text itself.
class NodeLabel {
public:
  NodeLabel() = default;
  explicit NodeLabel(const std::string& held) : text(&held) {}
  operator const std::string&() const { return *text; }
  operator std::string_view() const { return *text; }
  const std::string& str() const { return *text; }
  const char* c_str() const { return text->c_str(); }
  bool empty() const { return text->empty(); }
  size_t size() const { return text->size(); }
  friend std::string operator+(const NodeLabel& label, std::string_view more) { return label.str() + std::string(more); }
  friend std::string operator+(std::string_view before, const NodeLabel& label) { return std::string(before) + label.str(); }
  friend bool operator==(const NodeLabel& label, std::string_view text) { return label.str() == text; }

private:
  static const std::string kNone;
  const std::string* text = &kNone;
};

struct SiteNode {
  NodeLabel label;
  NodeIcon icon = NodeIcon::NotRead;
  SiteNode* parent = nullptr;
  SiteNode* firstChild = nullptr;
  SiteNode* lastChild = nullptr;
  SiteNode* nextSibling = nullptr;
  SiteNode* prevSibling = nullptr;
  // Opaque handle of the view's item for this node (the tree page's HTREEITEM).
  void* viewItem = nullptr;
};

// What the tree page shows; every change to the model that the view must mirror comes here.
class SiteTreeView {
public:
  virtual ~SiteTreeView() = default;
  // A node at the end of its parent's children. Throws std::bad_alloc when the view has no
  // room left for the node; the tree then takes it back.
  virtual void NodeAdded(SiteNode&) {}
  virtual void IconChanged(SiteNode&) {}
  virtual void LabelChanged(SiteNode&) {}
  virtual void NodeDeleting(SiteNode&) {}    // called for the root of a deleted subtree, before it goes
};

class SiteTree {
public:
  SiteTree();
  ~SiteTree();
  SiteTree(const SiteTree&) = delete;
  SiteTree& operator=(const SiteTree&) = delete;

  // The view that mirrors the tree; none while no page shows it.
  void SetView(SiteTreeView* shownIn) { view = shownIn; }
  // Where charts start; none until the first reading's result, or after that node is deleted.
  SiteNode* TopOfChart() const { return topOfChart; }
  SiteNode* FirstTopLevel() const { return firstTop; }
  bool Empty() const { return firstTop == nullptr; }
  size_t NodeCount() const { return nodeCount; }

  // Empties the tree and clears topOfChart.
  // The view is not told (the page empties its control itself).
  void Clear();
  // Appends a child at the end of parent's children (a top-level node when parent is null);
  // the caller sets the icon. Tells the view. Throws std::bad_alloc, the tree unchanged, when
  // there is no room for the node in the tree or in the view.
  SiteNode* AddChild(SiteNode* parent, const std::string& label, NodeIcon icon);
  // A link found on parent's page, as AddChild with the icon its label gives.
  SiteNode* AddLink(SiteNode& parent, const std::string& label);

  NodeIcon IconFor(const SiteNode& node) const;
  void SetIcon(SiteNode& node, NodeIcon icon);
  void SetLabel(SiteNode& node, const std::string& label);
  void ApplyIconFor(SiteNode& node) { SetIcon(node, IconFor(node)); }
  void RefreshIcons(SiteNode* start = nullptr);
  void SetTopOfChart(SiteNode& node);
  void ToggleDontMap(SiteNode& node);
  // Tells the view (NodeDeleting on the root), then frees the branch; clears topOfChart
  // when it was inside. Node addresses are reused later: drop queue entries of the branch
  // in NodeDeleting (IsInSubtree). Its labels are kept until Clear.
  void DeleteSubtree(SiteNode& node);

  // True when node is root or one of its descendants (walks node's parent chain).
  static bool IsInSubtree(const SiteNode& root, const SiteNode& node);

private:
  // Nodes live in blocks owned by the tree; freed nodes are chained for reuse.
  SiteNode* NewNode();
  void ReleaseNode(SiteNode* node);
  NodeLabel Held(const std::string& label);

  SiteTreeView* view = nullptr;
  SiteNode* topOfChart = nullptr;
  SiteNode* firstTop = nullptr;
  SiteNode* lastTop = nullptr;
  size_t nodeCount = 0;
  std::vector<std::unique_ptr<SiteNode[]>> blocks;
  size_t blockSize = 0;
  size_t blockUsed = 0;
  SiteNode* freeNodes = nullptr;
  // Every label of the tree, once each; the nodes point into it.
  std::unordered_set<std::string> labels;
};
