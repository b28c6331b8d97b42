// The site tree, its icons and expansion rules.
#include "site/site_tree.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "site/sibling_lists.h"

namespace {

struct RecordingView : SiteTreeView {
  std::vector<std::string> events;
  void NodeAdded(SiteNode& node) override { events.push_back("added " + node.label + " " + std::to_string(static_cast<int>(node.icon))); }
  void IconChanged(SiteNode& node) override { events.push_back("icon " + node.label + " " + std::to_string(static_cast<int>(node.icon))); }
  void NodeDeleting(SiteNode& node) override { events.push_back("deleting " + node.label); }
};

TEST(IconFor, LabelRules) {
  const struct {
    const char* label;
    NodeIcon icon;
  } cases[] = {
      {"ftp://ftp.example.com/readme.txt (file)", NodeIcon::File},
      {"mailto:me@example.com", NodeIcon::MailLink},
      {"../MAILTO.html", NodeIcon::MailLink},
      {"ftp://ftp.example.com/pub", NodeIcon::FtpFolder},
      {"FTP.example.com", NodeIcon::FtpFolder},
      {"ftp://example.com/pub", NodeIcon::NotRead},
      {"http://x/maps/site.MAP", NodeIcon::ImageMap},
      {"http://x/a.map.html", NodeIcon::ImageMap},
      {"http://www.example.com/", NodeIcon::NotRead},
      {"mailto:x@ftp.example.com (file)", NodeIcon::File},
      {"mailto:ftp.x/y.map", NodeIcon::MailLink},
      {"", NodeIcon::NotRead},
  };
  SiteTree tree;
  SiteNode* page = tree.AddChild(nullptr, "http://www.example.com/", NodeIcon::PageWithLinks);
  for (const auto& c : cases) {
    SiteNode* node = tree.AddChild(nullptr, c.label, NodeIcon::PageWithLinks);
    EXPECT_EQ(tree.IconFor(*node), c.icon) << c.label;
    EXPECT_EQ(tree.AddLink(*page, c.label)->icon, c.icon) << "a link found on a page: " << c.label;
  }
}

TEST(IconFor, TopOfChartAndChildren) {
  SiteTree tree;
  SiteNode* web = tree.AddChild(nullptr, "http://www.example.com/", NodeIcon::NotRead);
  SiteNode* ftp = tree.AddChild(nullptr, "ftp://ftp.example.com/ (file)", NodeIcon::NotRead);
  tree.AddChild(web, "http://www.example.com/a.html", NodeIcon::NotRead);
  tree.AddChild(ftp, "x", NodeIcon::NotRead);
  EXPECT_EQ(tree.IconFor(*web), NodeIcon::PageWithLinks);
  EXPECT_EQ(tree.IconFor(*ftp), NodeIcon::FtpFolder);
  tree.SetTopOfChart(*ftp);
  EXPECT_EQ(tree.IconFor(*ftp), NodeIcon::TopOfChart);
}

// A view that has room for a given number of items more.
struct FullView : SiteTreeView {
  int room;
  explicit FullView(int room) : room(room) {}
  void NodeAdded(SiteNode&) override {
    if (room-- <= 0) throw std::bad_alloc();
  }
};

TEST(SiteTree, RefusedTopLevelNodeLeavesTheTreeAsItWas) {
  SiteTree tree;
  SiteNode* first = tree.AddChild(nullptr, "http://a/", NodeIcon::NotRead);
  FullView view(0);
  tree.SetView(&view);
  EXPECT_THROW(tree.AddChild(nullptr, "http://b/", NodeIcon::NotRead), std::bad_alloc);
  EXPECT_EQ(Labels(tree.FirstTopLevel()), std::vector<std::string>{"http://a/"});
  EXPECT_EQ(first->nextSibling, nullptr);
  EXPECT_EQ(tree.NodeCount(), 1u);
}

TEST(RefreshIcons, StartLaterSiblingsAndDescendants) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "a", NodeIcon::NoLinks);
  SiteNode* b = tree.AddChild(nullptr, "b", NodeIcon::ReadError);
  SiteNode* c = tree.AddChild(nullptr, "c", NodeIcon::DontMap);
  SiteNode* c1 = tree.AddChild(c, "c1", NodeIcon::Queued);
  SiteNode* c11 = tree.AddChild(c1, "mailto:c11", NodeIcon::Queued);
  SiteNode* d = tree.AddChild(nullptr, "d", NodeIcon::TopOfChart);
  SiteNode* d1 = tree.AddChild(d, "d1 (file)", NodeIcon::PageLimit);
  tree.RefreshIcons(b);
  EXPECT_EQ(a->icon, NodeIcon::NoLinks);  // before start: untouched
  EXPECT_EQ(b->icon, NodeIcon::NotRead);
  EXPECT_EQ(c->icon, NodeIcon::DontMap);
  EXPECT_EQ(c1->icon, NodeIcon::PageWithLinks);
  EXPECT_EQ(c11->icon, NodeIcon::MailLink);
  EXPECT_EQ(d->icon, NodeIcon::TopOfChart);
  EXPECT_EQ(d1->icon, NodeIcon::File);
  tree.RefreshIcons();
  EXPECT_EQ(a->icon, NodeIcon::NotRead);
}

TEST(RefreshIcons, StartBelowTopLevelStaysInItsRun) {
  SiteTree tree;
  SiteNode* root = tree.AddChild(nullptr, "root", NodeIcon::Queued);
  SiteNode* x = tree.AddChild(root, "x", NodeIcon::Queued);
  SiteNode* y = tree.AddChild(root, "y", NodeIcon::Queued);
  SiteNode* y1 = tree.AddChild(y, "y1", NodeIcon::Queued);
  SiteNode* other = tree.AddChild(nullptr, "other", NodeIcon::Queued);
  tree.RefreshIcons(y);
  EXPECT_EQ(root->icon, NodeIcon::Queued);
  EXPECT_EQ(x->icon, NodeIcon::Queued);
  EXPECT_EQ(y->icon, NodeIcon::PageWithLinks);
  EXPECT_EQ(y1->icon, NodeIcon::NotRead);
  EXPECT_EQ(other->icon, NodeIcon::Queued);
}

TEST(RefreshIcons, EmptyTree) {
  SiteTree tree;
  tree.RefreshIcons();
  EXPECT_TRUE(tree.Empty());
}

TEST(SetTopOfChart, PreviousGetsIconFor) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "a", NodeIcon::NotRead);
  SiteNode* b = tree.AddChild(a, "ftp.x", NodeIcon::NotRead);
  tree.SetTopOfChart(*a);
  EXPECT_EQ(a->icon, NodeIcon::TopOfChart);
  tree.SetTopOfChart(*b);
  EXPECT_EQ(tree.TopOfChart(), b);
  EXPECT_EQ(a->icon, NodeIcon::PageWithLinks);
  EXPECT_EQ(b->icon, NodeIcon::TopOfChart);
  tree.SetTopOfChart(*b);
  EXPECT_EQ(b->icon, NodeIcon::TopOfChart);
}

TEST(ToggleDontMap, Toggles) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "mailto:a", NodeIcon::NoLinks);
  tree.ToggleDontMap(*a);
  EXPECT_EQ(a->icon, NodeIcon::DontMap);
  tree.ToggleDontMap(*a);
  EXPECT_EQ(a->icon, NodeIcon::MailLink);
  tree.SetTopOfChart(*a);
  tree.ToggleDontMap(*a);
  EXPECT_EQ(a->icon, NodeIcon::DontMap);
  tree.ToggleDontMap(*a);
  EXPECT_EQ(a->icon, NodeIcon::TopOfChart);
}

TEST(DeleteSubtree, UnlinksAndClearsTopOfChart) {
  SiteTree tree;
  RecordingView view;
  tree.SetView(&view);
  SiteNode* root = tree.AddChild(nullptr, "root", NodeIcon::NotRead);
  SiteNode* a = tree.AddChild(root, "a", NodeIcon::NotRead);
  SiteNode* b = tree.AddChild(root, "b", NodeIcon::NotRead);
  SiteNode* c = tree.AddChild(root, "c", NodeIcon::NotRead);
  SiteNode* b1 = tree.AddChild(b, "b1", NodeIcon::NotRead);
  tree.AddChild(b1, "b11", NodeIcon::NotRead);
  tree.SetTopOfChart(*b1);
  view.events.clear();
  EXPECT_EQ(tree.NodeCount(), 6u);
  tree.DeleteSubtree(*b);
  EXPECT_EQ(view.events, std::vector<std::string>{"deleting b"});
  EXPECT_EQ(tree.TopOfChart(), nullptr);
  EXPECT_EQ(tree.NodeCount(), 3u);
  EXPECT_EQ(Labels(root->firstChild), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(c->prevSibling, a);
  tree.DeleteSubtree(*a);
  EXPECT_EQ(root->firstChild, c);
  EXPECT_EQ(c->prevSibling, nullptr);
  tree.SetTopOfChart(*root);
  tree.DeleteSubtree(*c);
  EXPECT_EQ(root->firstChild, nullptr);
  EXPECT_EQ(root->lastChild, nullptr);
  EXPECT_EQ(tree.TopOfChart(), root);  // outside the deleted branch
  tree.DeleteSubtree(*root);
  EXPECT_TRUE(tree.Empty());
  EXPECT_EQ(tree.NodeCount(), 0u);
  EXPECT_EQ(tree.TopOfChart(), nullptr);
  // Freed nodes are reused and come back clean.
  SiteNode* again = tree.AddChild(nullptr, "again", NodeIcon::NotRead);
  EXPECT_EQ(again->firstChild, nullptr);
  EXPECT_EQ(again->parent, nullptr);
  EXPECT_EQ(Labels(tree.FirstTopLevel()), std::vector<std::string>{"again"});
}

TEST(DeleteSubtree, TopLevelSiblings) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "a", NodeIcon::NotRead);
  SiteNode* b = tree.AddChild(nullptr, "b", NodeIcon::NotRead);
  SiteNode* c = tree.AddChild(nullptr, "c", NodeIcon::NotRead);
  tree.DeleteSubtree(*c);
  tree.AddChild(nullptr, "d", NodeIcon::NotRead);
  EXPECT_EQ(Labels(tree.FirstTopLevel()), (std::vector<std::string>{"a", "b", "d"}));
  tree.DeleteSubtree(*a);
  EXPECT_EQ(tree.FirstTopLevel(), b);
  EXPECT_EQ(Labels(tree.FirstTopLevel()), (std::vector<std::string>{"b", "d"}));
}

TEST(IsInSubtree, WalksParents) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "a", NodeIcon::NotRead);
  SiteNode* b = tree.AddChild(a, "b", NodeIcon::NotRead);
  SiteNode* c = tree.AddChild(nullptr, "c", NodeIcon::NotRead);
  EXPECT_TRUE(SiteTree::IsInSubtree(*a, *a));
  EXPECT_TRUE(SiteTree::IsInSubtree(*a, *b));
  EXPECT_FALSE(SiteTree::IsInSubtree(*b, *a));
  EXPECT_FALSE(SiteTree::IsInSubtree(*a, *c));
}

TEST(SiteTree, ClearEmptiesEverything) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "a", NodeIcon::NotRead);
  tree.AddChild(a, "b", NodeIcon::NotRead);
  tree.SetTopOfChart(*a);
  tree.Clear();
  EXPECT_TRUE(tree.Empty());
  EXPECT_EQ(tree.NodeCount(), 0u);
  EXPECT_EQ(tree.TopOfChart(), nullptr);
  tree.AddChild(nullptr, "fresh", NodeIcon::NotRead);
  EXPECT_EQ(tree.NodeCount(), 1u);
}

// Shapes that would exhaust the stack if any walk recursed along siblings or down a chain.
constexpr int kMany = 200000;

TEST(SiteTreeShapes, WideTreeDestroyed) {
  auto tree = std::make_unique<SiteTree>();
  SiteNode* root = tree->AddChild(nullptr, "root", NodeIcon::NotRead);
  for (int i = 0; i < kMany; ++i) tree->AddChild(root, "http://www.example.com/page" + std::to_string(i) + ".html", NodeIcon::NotRead);
  tree->RefreshIcons();
  EXPECT_EQ(root->icon, NodeIcon::PageWithLinks);
  EXPECT_EQ(tree->NodeCount(), static_cast<size_t>(kMany) + 1);
  tree.reset();
}

TEST(SiteTreeShapes, WideSubtreeDeleted) {
  SiteTree tree;
  SiteNode* root = tree.AddChild(nullptr, "root", NodeIcon::NotRead);
  SiteNode* wide = tree.AddChild(root, "wide", NodeIcon::NotRead);
  for (int i = 0; i < kMany; ++i) tree.AddChild(wide, "x", NodeIcon::NotRead);
  tree.DeleteSubtree(*wide);
  EXPECT_EQ(tree.NodeCount(), 1u);
  EXPECT_EQ(root->firstChild, nullptr);
}

TEST(SiteTreeShapes, DeepChainWalkedDeletedAndDestroyed) {
  auto tree = std::make_unique<SiteTree>();
  SiteNode* node = tree->AddChild(nullptr, "root", NodeIcon::NotRead);
  SiteNode* second = nullptr;
  for (int i = 0; i < kMany; ++i) {
    node = tree->AddChild(node, "d", NodeIcon::NotRead);
    if (!second) second = node;
  }
  tree->RefreshIcons();
  EXPECT_EQ(node->icon, NodeIcon::NotRead);
  EXPECT_EQ(second->icon, NodeIcon::PageWithLinks);
  EXPECT_TRUE(SiteTree::IsInSubtree(*tree->FirstTopLevel(), *node));
  tree->DeleteSubtree(*second);
  EXPECT_EQ(tree->NodeCount(), 1u);
  node = tree->FirstTopLevel();
  for (int i = 0; i < kMany; ++i) node = tree->AddChild(node, "d", NodeIcon::NotRead);
  tree.reset();
}

}  // namespace
