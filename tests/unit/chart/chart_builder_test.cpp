#include "chart/chart_builder.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>

#include "chart/stand_in.h"
#include "plotwright/route_faults.h"

namespace {

enum class Layout { Horizontal, Vertical, OrgChart };

// Builds a tree from indented lines: two spaces per level; a leading '~' makes the node
// DontMap; a name without ':' becomes "http://site.com/NAME".
void Grow(SiteTree& tree, const std::vector<std::string>& lines) {
  std::vector<SiteNode*> path;
  for (const std::string& line : lines) {
    size_t depth = line.find_first_not_of(' ') / 2;
    std::string name = line.substr(depth * 2);
    NodeIcon icon = NodeIcon::PageWithLinks;
    if (name[0] == '~') {
      icon = NodeIcon::DontMap;
      name.erase(0, 1);
    }
    path.resize(depth);
    path.push_back(tree.AddChild(depth ? path[depth - 1] : nullptr,
                                 name.find(':') == std::string::npos ? "http://site.com/" + name : name, icon));
  }
}

struct ChartRun {
  StandIn plotwright;
  StandInHost host{plotwright};
  FakeProgress progress;
  RecordingMessages messages;

  // Constructs, applies the options, draws, finishes normally and tears down.
  void Draw(const SiteTree& tree, const ChartOptions& options, Layout layout, const SiteNode* start = nullptr) {
    ChartBuilder builder(tree, progress, host, messages);
    builder.ApplyOptions(options);
    if (layout == Layout::Horizontal) builder.DrawHorizontal(start);
    if (layout == Layout::Vertical) builder.DrawVertical(start);
    if (layout == Layout::OrgChart) builder.DrawOrgChart(start);
    builder.Finish(false);
  }

  std::vector<std::string> Placements() const { return plotwright.Placements(); }
  std::vector<std::array<int, 3>> Fills() const { return plotwright.Fills(); }
};

ChartOptions Spacing(double h, double v, int colorMode = 3) {
  ChartOptions options;
  options.horizontalSpacing = h;
  options.verticalSpacing = v;
  options.colorMode = colorMode;
  return options;
}

const std::vector<std::string> kTwoLeaves = {"S", "  A", "  B"};
const std::vector<std::string> kTwoBranches = {"S", "  A", "    A1", "  B", "    B1"};

TEST(ChartLayout, PlacesShapesInDrawingOrder) {
  struct Case {
    Layout layout;
    double h, v;
    std::vector<std::string> tree;
    std::vector<std::string> placements;
  };
  const Case cases[] = {
      {Layout::Horizontal, 1, 1, kTwoLeaves, {"S (1,2)", "A (2,3) <S", "B (3,3) <S"}},
      {Layout::Vertical, 1, 1, kTwoLeaves, {"S (1,2)", "A (2,3) <S", "B (2,4) <S"}},
      {Layout::OrgChart, 1, 1, kTwoLeaves, {"S (50,2)", "A (50,4) <S", "B (49,4) <S"}},
      // Later siblings' branches come first; the children's row or column clears them.
      {Layout::Horizontal, 1, 2, kTwoBranches,
       {"S (1,2)", "A (2,4) <S", "B (3,4) <S", "B1 (4,6) <B", "A1 (3,8) <A"}},
      {Layout::Vertical, 1, 2, kTwoBranches,
       {"S (1,2)", "A (2,4) <S", "B (2,6) <S", "B1 (3,8) <B", "A1 (5,6) <A"}},
      {Layout::OrgChart, 1, 2, kTwoBranches,
       {"S (50,2)", "A (50,6) <S", "A1 (50,10) <A", "B (49,6) <S", "B1 (49,14) <B"}},
      {Layout::OrgChart, 1, 1, {"S", "  A", "  B", "  C"}, {"S (50,2)", "A (50,4) <S", "B (49,4) <S", "C (51,4) <S"}},
      // A DontMap node leaves no gap, and its branch is not drawn.
      {Layout::Horizontal, 1, 1, {"S", "  A", "  ~X", "    X1", "  B"}, {"S (1,2)", "A (2,3) <S", "B (3,3) <S"}},
      {Layout::Vertical, 1, 1, {"S", "  A", "  ~X", "    X1", "  B"}, {"S (1,2)", "A (2,3) <S", "B (2,4) <S"}},
      {Layout::OrgChart, 1, 1, {"S", "  A", "  ~X", "    X1", "  B"}, {"S (50,2)", "A (50,4) <S", "B (49,4) <S"}},
      // The start's own siblings are never drawn.
      {Layout::Horizontal, 1.5, 1.5, {"S", "T"}, {"S (1.5,2)"}},
  };
  for (const Case& c : cases) {
    SiteTree tree;
    Grow(tree, c.tree);
    ChartRun run;
    run.Draw(tree, Spacing(c.h, c.v), c.layout);
    EXPECT_EQ(run.Placements(), c.placements) << "layout " << int(c.layout) << " spacing " << c.h << "/" << c.v;
    EXPECT_EQ(run.progress.steps, int(c.placements.size()));
    EXPECT_TRUE(run.messages.shown.empty());
  }
}

// The layouts as plain recursion over the tree, positions only: the builder must place every
// tree the same way and in the same order.
struct ReferenceLayout {
  double h = 1, v = 1;
  bool tooMuch = false;
  std::vector<std::string> out;
  double rowCursor = 0;

  int Parents(const SiteNode* n) const {  // nodes with children in n, its later siblings and their branches
    int count = 0;
    for (; n; n = n->nextSibling) count += (n->firstChild ? 1 : 0) + Parents(n->firstChild);
    return count;
  }
  void Emit(const SiteNode& n, double x, double y, const SiteNode* parent) {
    char place[64];
    std::snprintf(place, sizeof place, " (%g,%g)", x, y);
    out.push_back(ShapeName(n.label) + place + (parent ? " <" + ShapeName(parent->label) : ""));
  }
  void Rows(const SiteNode* n, double x, double y, const SiteNode* parent, int depth, bool vertical) {
    double posX = h + x;
    if (posX > 100 || y > 100) tooMuch = true;
    if (tooMuch) return;
    bool drawn = n->icon != NodeIcon::DontMap;
    if (drawn) Emit(*n, posX, y, parent);
    else if (vertical) y -= v;
    else x -= h;
    const SiteNode* next = depth > 0 ? n->nextSibling : nullptr;
    double offset = vertical ? h : v;
    if (next) {
      Rows(next, vertical ? x : x + h, vertical ? y + v : y, parent, depth, vertical);
      offset += v * Parents(next);
    }
    if (drawn && n->firstChild) {
      if (vertical) Rows(n->firstChild, x + offset, y + v, n, depth + 1, true);
      else Rows(n->firstChild, x + h, y + offset, n, depth + 1, false);
    }
  }
  void Org(const SiteNode* n, double x, double y, const SiteNode* parent, int depth, double baseX, int side) {
    if (tooMuch) return;
    if (depth == 0) rowCursor = y;
    for (; n; n = depth > 0 ? n->nextSibling : nullptr) {
      double posX = side * x + baseX;
      if (posX > 100 || y > 100) {
        tooMuch = true;
        return;
      }
      bool drawn = n->icon != NodeIcon::DontMap;
      if (drawn) Emit(*n, posX, y, nullptr);
      size_t shape = out.size() - 1;
      if (drawn && n->firstChild) {
        rowCursor += 2 * v;
        Org(n->firstChild, 0, rowCursor, n, depth + 1, posX, 1);
        if (tooMuch) return;
      }
      if (drawn) {
        // connected only once its children are drawn
        if (parent) out[shape] += " <" + ShapeName(parent->label);
        side = -side;
        if (side == -1) x += h;
      }
    }
  }
};

TEST(ChartLayout, MatchesRecursiveDrawingOnRandomTrees) {
  std::mt19937 random(8);
  for (int round = 0; round < 60; ++round) {
    SiteTree tree;
    std::vector<SiteNode*> nodes{tree.AddChild(nullptr, "http://site.com/n0", NodeIcon::PageWithLinks)};
    int size = 2 + int(random() % 40);
    for (int i = 1; i < size; ++i) {
      SiteNode* parent = nodes[random() % nodes.size()];
      NodeIcon icon = random() % 6 == 0 ? NodeIcon::DontMap : NodeIcon::PageWithLinks;
      nodes.push_back(tree.AddChild(parent, "http://site.com/n" + std::to_string(i), icon));
    }
    double h = 0.5 + (random() % 8) * 0.5;
    double v = 0.5 + (random() % 8) * 0.5;
    for (Layout layout : {Layout::Horizontal, Layout::Vertical, Layout::OrgChart}) {
      ReferenceLayout reference;
      reference.h = h;
      reference.v = v;
      if (layout == Layout::OrgChart) reference.Org(nodes[0], 0, 2, nullptr, 0, 50, 1);
      else reference.Rows(nodes[0], 0, 2, nullptr, 0, layout == Layout::Vertical);
      ChartRun run;
      run.Draw(tree, Spacing(h, v), layout);
      ASSERT_EQ(run.Placements(), reference.out) << "round " << round << " layout " << int(layout);
      EXPECT_EQ(run.messages.shown.size(), reference.tooMuch ? 1u : 0u);
    }
  }
}

TEST(ChartLayout, StartWithoutChildrenGivesOneShapeAndNoLine) {
  SiteTree tree;
  Grow(tree, {"S"});
  ChartRun run;
  run.Draw(tree, Spacing(1.5, 1.5), Layout::OrgChart);
  EXPECT_EQ(run.Placements(), std::vector<std::string>{"S (50,2)"});
  for (const std::string& line : run.plotwright.journal) EXPECT_EQ(line.find("document1 69"), std::string::npos);
}

TEST(ChartLayout, DrawsFromTheGivenStartOrTheFirstTopLevelNode) {
  SiteTree tree;
  Grow(tree, {"S", "  A", "    A1", "T"});
  ChartRun fromBranch;
  fromBranch.Draw(tree, Spacing(1, 1), Layout::Horizontal, tree.FirstTopLevel()->firstChild);
  EXPECT_EQ(fromBranch.Placements(), (std::vector<std::string>{"A (1,2)", "A1 (2,3) <A"}));
}

TEST(ChartCutOff, StopsAtTheFirstShapePastTheLimitAndSaysSoOnce) {
  SiteTree tree;
  std::vector<std::string> lines{"S"};
  for (int i = 1; i <= 12; ++i) lines.push_back("  C" + std::to_string(i));
  Grow(tree, lines);
  ChartRun run;
  run.Draw(tree, Spacing(10, 1), Layout::Horizontal);
  // S at 10, C1..C9 at 20..100; C10 would be at 110.
  ASSERT_EQ(run.plotwright.shapeCount(), 10);
  EXPECT_EQ(run.plotwright.shape(10).x, 100);
  EXPECT_EQ(run.messages.shown, std::vector<int>{136});
}

TEST(ChartCutOff, ShapeTheApplicationLeavesOffThePageStopsEveryLayout) {
  struct Case {
    Layout layout;
    double h, v;
    std::vector<std::string> placements;  // the last one is off the page
  };
  const Case cases[] = {
      {Layout::Horizontal, -1, 1, {"S (-1,2)"}},
      {Layout::Vertical, 1, -3, {"S (1,2)", "A (2,-1) <S"}},
      {Layout::OrgChart, 60, 1, {"S (50,2)", "A (50,4) <S", "A1 (50,6) <A", "B (-10,4)"}},
  };
  for (const Case& c : cases) {
    SiteTree tree;
    Grow(tree, {"S", "  A", "    A1", "  B", "  C"});
    ChartRun run;
    run.Draw(tree, Spacing(c.h, c.v), c.layout);
    // The shape off the page is still labelled, and nothing is drawn after it.
    EXPECT_EQ(run.Placements(), c.placements) << int(c.layout);
    EXPECT_FALSE(run.plotwright.shape(int(c.placements.size())).placed);
    EXPECT_EQ(run.messages.shown, std::vector<int>{136});
  }
}

TEST(ChartCutOff, DontMapStartDrawsNothingAndSaysNothing) {
  SiteTree tree;
  Grow(tree, {"~S", "  A"});
  for (Layout layout : {Layout::Horizontal, Layout::Vertical, Layout::OrgChart}) {
    ChartRun run;
    run.Draw(tree, Spacing(1, 1), layout);
    EXPECT_EQ(run.plotwright.shapeCount(), 0);
    EXPECT_TRUE(run.messages.shown.empty());
  }
}

// Runs work on a thread whose stack is far smaller than a program's, so that drawing that
// recursed once per level of a tree would overflow it long before the tree's end.
void OnSmallStack(const std::function<void()>& work) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 128 * 1024);
  pthread_t thread;
  auto run = [](void* w) -> void* {
    (*static_cast<const std::function<void()>*>(w))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&work)), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
}

TEST(ChartLayout, DeepAndWideTreesDoNotExhaustTheStack) {
  const int kNodes = 5000;
  SiteTree deep;
  SiteNode* node = deep.AddChild(nullptr, "http://a.com/0", NodeIcon::PageWithLinks);
  for (int i = 1; i < kNodes; ++i) node = deep.AddChild(node, "http://a.com/" + std::to_string(i), NodeIcon::PageWithLinks);
  SiteTree wide;
  SiteNode* top = wide.AddChild(nullptr, "http://a.com/0", NodeIcon::PageWithLinks);
  for (int i = 1; i < kNodes; ++i) wide.AddChild(top, "http://a.com/" + std::to_string(i % 500), NodeIcon::PageWithLinks);
  for (const SiteTree* tree : {&deep, &wide})
    for (Layout layout : {Layout::Horizontal, Layout::Vertical, Layout::OrgChart}) {
      ChartRun run;
      run.plotwright.Start("7.0", false);
      ChartOptions options = Spacing(0, 0, 1);  // nothing reaches the limit: every node is drawn
      options.chartDuplicateChildren = false;
      OnSmallStack([&] { run.Draw(*tree, options, layout); });
      EXPECT_EQ(run.progress.steps, kNodes);
    }
}

// Trees as each node's number of children, in pre-order (their labels matter not here).
void GrowShape(SiteTree& tree, SiteNode* parent, const char*& counts) {
  char* end = nullptr;
  long children = std::strtol(counts, &end, 10);
  counts = end;
  SiteNode* node = tree.AddChild(parent, "http://site.com/page", NodeIcon::PageWithLinks);
  for (long i = 0; i < children; ++i) GrowShape(tree, node, counts);
}

// A branch read two levels deep, as the number of links on each page its top links to.
std::string TwoLevels(std::initializer_list<int> pages) {
  std::string shape = std::to_string(pages.size());
  for (int links : pages) {
    shape += " " + std::to_string(links);
    for (int i = 0; i < links; ++i) shape += " 0";
  }
  return shape;
}

TEST(ChartRoutes, NoConnectorCrossesAShapeOrRunsAlongAnotherParents) {
  // The sample as the main command charts it, the libxslt manual read to depth 2 (2,997 nodes)
  // and the libffi manual's "Using libffi" read to depth 3 (138 nodes), as Debian installs them;
  // each painted now and then while its first 70 shapes or so are drawn, as the window is.
  const std::string trees[] = {
      "8 3 1 0 1 0 8 0 0 0 0 0 0 0 0 3 0 1 0 0 2 2 0 0 0 2 0 3 0 0 0 0 0 1 3 0 0 0 0",
      TwoLevels({0,  0,  0, 0, 0, 49, 48, 47, 59, 47, 60, 47, 49, 46, 59, 47, 72, 74, 66, 59, 34, 129, 0, 48, 0,
                 19, 18, 3, 0, 0, 0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  209, 125, 287, 623, 623, 0, 0, 0}),
      TwoLevels({6, 65, 4, 3, 9, 5, 12, 5, 8, 5, 4})};
  for (const std::string& shape : trees)
    for (Layout layout : {Layout::Horizontal, Layout::Vertical, Layout::OrgChart})
      for (auto [h, v] : {std::pair{1.5, 1.5}, {1.0, 1.0}, {3.0, 3.0}, {3.0, 1.0}}) {
        SiteTree tree;
        const char* counts = shape.c_str();
        GrowShape(tree, nullptr, counts);
        ChartRun run;
        const Application& app = run.plotwright.application();
        int changes = 0;
        run.plotwright.changed = [&] { if (++changes % 7 == 0 && changes < 1000) app.Routes(*app.latestDocument()); };
        run.Draw(tree, Spacing(h, v), layout);
        EXPECT_EQ(CountRouteFaults(app, *app.latestDocument()), (std::array<int, 3>{}))
            << "layout " << int(layout) << " spacing " << h << "/" << v << " shapes " << run.progress.steps;
      }
}

TEST(ChartColors, DepthGivesComponentsIn16BitsWithoutClamping) {
  SiteTree tree;
  std::vector<std::string> lines;
  for (int depth = 0; depth <= 9; ++depth) lines.push_back(std::string(2 * size_t(depth), ' ') + "D" + std::to_string(depth));
  Grow(tree, lines);
  ChartRun run;
  run.Draw(tree, Spacing(1, 1, 2), Layout::Vertical);
  auto fills = run.Fills();
  ASSERT_EQ(fills.size(), 10u);
  EXPECT_EQ(fills[0], (std::array<int, 3>{255, 0, 255}));
  EXPECT_EQ(fills[1], (std::array<int, 3>{225, 30, 255}));
  EXPECT_EQ(fills[9], (std::array<int, 3>{-15, 270, 255}));
}

TEST(ChartColors, DomainsAreNumberedAcrossChartRuns) {
  ProcessChartCounters() = {};
  SiteTree tree;
  Grow(tree, {"http://www.one.com/", "  http://www.two.com/a", "  http://www.one.com/b", "  http://three.org/c"});
  ChartRun first;
  first.Draw(tree, Spacing(1, 1, 0), Layout::Horizontal);
  using Fill = std::array<int, 3>;
  EXPECT_EQ(first.Fills(), (std::vector<Fill>{{255, 0, 255}, {205, 50, 255}, {255, 0, 255}, {155, 100, 255}}));
  // The counter belongs to the process: a second run goes on from where the first stopped.
  ChartRun second;
  second.Draw(tree, Spacing(1, 1, 0), Layout::OrgChart);
  EXPECT_EQ(second.Fills(), (std::vector<Fill>{{105, 150, 255}, {55, 200, 255}, {105, 150, 255}, {5, 250, 255}}));
  ChartRun third;
  third.Draw(tree, Spacing(1, 1, 0), Layout::OrgChart);
  EXPECT_EQ(third.Fills()[0], (Fill{-45, 300, 255}));
}

TEST(ChartDuplicates, OnlyTheFirstDrawnOccurrenceHasItsChildrenDrawn) {
  const std::vector<std::string> tree = {"S", "  A", "    A1", "  B", "    A", "      A2"};
  struct Case {
    Layout layout;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {Layout::Horizontal, {"S", "A", "B", "A", "A1"}},
      {Layout::Vertical, {"S", "A", "B", "A", "A1"}},
      {Layout::OrgChart, {"S", "A", "A1", "B", "A"}},
  };
  for (const Case& c : cases) {
    SiteTree siteTree;
    Grow(siteTree, tree);
    ChartRun run;
    ChartOptions options = Spacing(1, 1);
    options.chartDuplicateChildren = false;
    run.Draw(siteTree, options, c.layout);
    std::vector<std::string> names;
    for (int n = 1; n <= run.plotwright.shapeCount(); ++n) names.push_back(run.plotwright.shape(n).label);
    EXPECT_EQ(names, c.names) << int(c.layout);
  }
}

TEST(ChartDuplicates, ColoursContinueAcrossRunsAndCountDontMapBranches) {
  ProcessChartCounters() = {};
  using Fill = std::array<int, 3>;
  const Fill none{-1, -1, -1};
  SiteTree tree;
  Grow(tree, {"S", "  A", "    A1", "  B", "    A", "  ~X", "    B"});
  ChartRun first;
  first.Draw(tree, Spacing(1, 1, 1), Layout::Horizontal);
  // S, A, B, then B's child A, then A's child A1; B counts twice through the DontMap branch.
  EXPECT_EQ(first.Fills(), (std::vector<Fill>{none, {0, 255, 255}, {30, 225, 255}, {0, 255, 255}, none}));
  ChartRun second;
  second.Draw(tree, Spacing(1, 1, 1), Layout::Horizontal);
  EXPECT_EQ(second.Fills()[1], (Fill{60, 195, 255}));
  EXPECT_EQ(second.Fills()[2], (Fill{90, 165, 255}));
  ProcessChartCounters().duplicateCounter = 270;  // the tenth label
  ChartRun tenth;
  tenth.Draw(tree, Spacing(1, 1, 1), Layout::Horizontal);
  EXPECT_EQ(tenth.Fills()[1], (Fill{270, -15, 255}));
}

TEST(ChartShapes, MasterFollowsTheIcon) {
  const std::pair<NodeIcon, const char*> cases[] = {
      {NodeIcon::MailLink, "Preparation"},  {NodeIcon::ReadError, "Summing Junction"},
      {NodeIcon::ImageMap, "Terminal"},     {NodeIcon::FtpFolder, "Document"},
      {NodeIcon::File, "Internal Storage"}, {NodeIcon::TopOfChart, "Process"},
      {NodeIcon::NotRead, "Process"},
  };
  for (auto [icon, master] : cases) {
    SiteTree tree;
    tree.AddChild(nullptr, "http://site.com/", icon);
    ChartRun run;
    run.Draw(tree, Spacing(1, 1), Layout::Horizontal);
    ASSERT_EQ(run.plotwright.shapeCount(), 1);
    EXPECT_STREQ(MasterName(run.plotwright.shape(1).master), master);
  }
}

TEST(ChartShapes, LabelAndLinkOfEachKindOfNode) {
  struct Case {
    const char* label;
    const char* url;
    const char* name;
    bool utf8 = true;  // the label crosses as UTF-8, not in the ANSI code page
  };
  const Case cases[] = {
      {"http://site.com/docs/", "http://site.com/docs/", "docs"},
      // A person reads the name with its escapes decoded; the link keeps them.
      {"http://site.com/caf%C3%A9.html", "http://site.com/caf%C3%A9.html", "caf\xC3\xA9.html"},
      {"http://site.com/my%20docs/", "http://site.com/my%20docs/", "my docs"},
      {"http://site.com/caf%E9.html", "http://site.com/caf%E9.html", "caf%E9.html"},
      // A name already in the ANSI code page is sent as it is, escapes and all.
      {"http://site.com/caf\xE9%20a.html", "http://site.com/caf\xE9%20a.html", "caf\xE9%20a.html", false},
      {"http://site.com/docs/page.html", "http://site.com/docs/page.html", "page.html"},
      {"mailto:joe@site.com", "mailto:joe@site.com", "joe@site.com"},
      {"MAILTO:joe@site.com", "MAILTO:joe@site.com", "joe@site.com"},
      {"ftp://ftp.site.com/pub/file.zip (file)", "ftp://ftp.site.com/pub/file.zip", "file.zip"},
      {"http://site.com", "http://site.com", "site.com"},
  };
  for (const Case& c : cases) {
    SiteTree tree;
    tree.AddChild(nullptr, c.label, NodeIcon::PageWithLinks);
    ChartRun run;
    run.Draw(tree, Spacing(1, 1), Layout::Horizontal);
    // The journal writes texts as JSON, whatever they crossed as.
    auto json = [](const std::string& text, bool utf8) {
      return JsonText(stand_in_detail::ServerText(utf8 ? AutoValue::Utf8Text(text) : AutoValue::Text(text)));
    };
    std::vector<std::string> expected = {
        "shape1 15 get []",
        "link1 15 put [" + json(c.url, false) + "]",
        "link1 9 put [" + json(std::string("\"C:\\web\\browse.exe\" ") + c.url, false) + "]",
        "shape1 17 put [" + json(c.name, c.utf8) + "]",
    };
    auto journal = run.plotwright.JournalFrom("shape1 15 get");
    journal.resize(4);
    EXPECT_EQ(journal, expected) << c.label;
    EXPECT_EQ(run.plotwright.SentAsUtf8({ObjectKind::Shape, 1}, shapeid::kLabel), c.utf8) << c.label;
    EXPECT_FALSE(run.plotwright.SentAsUtf8({ObjectKind::Link, 1}, linkid::kAddress)) << c.label;
  }
}

using Journal = std::vector<std::string>;

TEST(ChartRunCalls, ConstructionSetsUpADocumentWithThePaletteOfTheVersion) {
  const std::pair<const char*, const char*> cases[] = {
      {"7.0", "Plotwright basic palettes\\\\Standard"},
      {"10.1 beta", "Plotwright basic palettes\\\\Standard"},
      {"6.99", "Standard"},
      {"5.0", "Standard"},
      {"", "Standard"},
      {"v7", "Standard"},
  };
  for (auto [version, palette] : cases) {
    ChartRun run;
    run.plotwright.Start(version);
    SiteTree tree;
    { ChartBuilder builder(tree, run.progress, run.host, run.messages); }
    Journal expected = {
        "create tesselplot.application",
        "application 30 get []",
        "application 31 put [false]",
        "application 67 call []",
        std::string("document1 4 put [\"") + palette + "\"]",
        "document1 53 put [0]",
        "application 25 put [false]",
        // teardown without Finish
        "application 31 get []",
        "application 31 put [true]",
        "application 65 call []",
    };
    EXPECT_EQ(run.plotwright.journal, expected) << version;
  }
}

TEST(ChartRunCalls, LaunchFailureShowsTheMessageAndEndsTheProcess) {
  ChartRun run;
  run.host.launchFails = true;
  SiteTree tree;
  try {
    ChartBuilder builder(tree, run.progress, run.host, run.messages);
    ADD_FAILURE() << "the builder went on without an application";
  } catch (const StandInHost::ProcessEnded& ended) {
    EXPECT_EQ(ended.code, 1);
  }
  EXPECT_EQ(run.messages.shown, std::vector<int>{116});
  EXPECT_EQ(run.plotwright.journal, Journal{"create tesselplot.application"});
}

TEST(ChartRunCalls, EndOfEachLayoutByVersion) {
  struct Case {
    Layout layout;
    const char* version;
    double pageWidth;
    Journal end;
  };
  // One shape at X 50 (org chart) with spacing 1.5: the extent is 2 * 1.5 - 50 + 50 = 3.
  const Journal orgEnd = {"document1 37 get []", "page1 9 get []", "document1 89 call [2]", "document1 66 call []",
                          "document1 81 call [0, 0, 1.0, 1.0]"};
  auto org = [&](const char* pages) {
    Journal j = orgEnd;
    j.push_back(std::string("page1 15 put [") + pages + "]");
    j.push_back("document1 55 put [1]");
    return j;
  };
  const Case cases[] = {
      {Layout::Horizontal, "7.0", 8.5, {"document1 55 put [1]"}},
      {Layout::Vertical, "7.0", 8.5, {"document1 55 put [1]"}},
      {Layout::OrgChart, "7.0", 8.5, org("1")},
      {Layout::OrgChart, "7.0", 2.0, org("2")},
      {Layout::OrgChart, "7.0", 0.001, org("3001")},
      {Layout::OrgChart, "7.0", 0.0, org("1")},
      {Layout::OrgChart, "7.0", 1e-9, org("32767")},
      {Layout::Horizontal, "5.0", 8.5, {"document1 55 put [2]"}},
      {Layout::OrgChart, "5.0", 8.5, {"document1 55 put [2]"}},
  };
  for (const Case& c : cases) {
    ChartRun run;
    run.plotwright.Start(c.version);
    run.plotwright.pageWidth = c.pageWidth;
    SiteTree tree;
    Grow(tree, {"S"});
    run.Draw(tree, Spacing(1.5, 1.5), c.layout);
    Journal expected = c.end;
    for (const char* line : {"application 31 put [true]", "application 33 get []", "raise 4242",
                             "application 64 call []", "application 31 get []"})
      expected.push_back(line);
    Journal journal = run.plotwright.JournalFrom("shape1 17 put");
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(Journal(journal.begin() + 1, journal.end()), expected) << int(c.layout) << " " << c.version;
  }
}

TEST(ChartRunCalls, EachShapeIsDroppedColouredLabelledAndConnected) {
  ChartRun run;
  SiteTree tree;
  Grow(tree, {"S", "  A"});
  ChartOptions options = Spacing(1, 1, 2);
  run.Draw(tree, options, Layout::OrgChart);
  Journal expected = {
      "document1 2 put [1]",
      "document1 6 put [50.0]", "document1 7 put [2.0]", "document1 71 call [\"Process\"]", "shape1 24 get []",
      "document1 6 get []", "document1 7 get []", "application 63 call [255, 0, 255]", "shape1 5 put [16711935]",
      "shape1 15 get []", "link1 15 put [\"http://site.com/S\"]",
      "link1 9 put [\"\\\"C:\\\\web\\\\browse.exe\\\" http://site.com/S\"]", "shape1 17 put [\"S\"]",
      "shape1 3 put [50.0]", "shape1 4 put [3.0]",
      "document1 6 put [50.0]", "document1 7 put [4.0]", "document1 71 call [\"Process\"]", "shape2 24 get []",
      "document1 6 get []", "document1 7 get []", "application 63 call [225, 30, 255]", "shape2 5 put [16719585]",
      "shape2 15 get []", "link2 15 put [\"http://site.com/A\"]",
      "link2 9 put [\"\\\"C:\\\\web\\\\browse.exe\\\" http://site.com/A\"]", "shape2 17 put [\"A\"]",
      "document1 69 call [\"shape2\", \"shape1\", 0.0, 2.0]", "line1 10 get []", "lineformat1 11 put [3]",
      "lineformat1 5 put [0]", "line1 34 call []",
  };
  Journal journal = run.plotwright.JournalFrom("document1 2 put");
  journal.resize(expected.size());
  EXPECT_EQ(journal, expected);
}

TEST(ChartRunCalls, RowsConnectParentToChild) {
  for (Layout layout : {Layout::Horizontal, Layout::Vertical}) {
    ChartRun run;
    SiteTree tree;
    Grow(tree, {"S", "  A"});
    run.Draw(tree, Spacing(1, 1), layout);
    Journal journal = run.plotwright.JournalFrom("document1 69");
    journal.resize(2);
    EXPECT_EQ(journal, (Journal{layout == Layout::Horizontal ? "document1 69 call [\"shape1\", \"shape2\", 2.0, 3.0]"
                                                            : "document1 69 call [\"shape1\", \"shape2\", 1.0, 0.0]",
                               "line1 34 call []"}));
  }
}

TEST(ChartRunCalls, FinishAndTeardown) {
  struct Case {
    bool finish;
    bool abnormal;
    Journal end;
  };
  const Case cases[] = {
      {true, false,
       {"application 31 put [true]", "application 33 get []", "raise 4242", "application 64 call []",
        "application 31 get []"}},
      {true, true, {"application 31 put [true]", "application 65 call []", "application 31 get []"}},
      {false, false, {"application 31 get []", "application 31 put [true]", "application 65 call []"}},
  };
  for (const Case& c : cases) {
    ChartRun run;
    SiteTree tree;
    {
      ChartBuilder builder(tree, run.progress, run.host, run.messages);
      run.plotwright.journal.clear();
      if (c.finish) builder.Finish(c.abnormal);
    }
    EXPECT_EQ(run.plotwright.journal, c.end);
  }
}

TEST(ChartRunCalls, AnErrorEndsTheRunAndTeardownStillRuns) {
  const char* failures[] = {"shape2 17 put", "document1 71 call", "application 63 call", "line1 34 call",
                            "document1 55 put", "document1 37 get"};
  for (const char* failOn : failures) {
    ChartRun run;
    run.plotwright.failOn = failOn;
    SiteTree tree;
    Grow(tree, {"S", "  A", "  B"});
    EXPECT_THROW(run.Draw(tree, Spacing(1, 1, 2), Layout::OrgChart), AutomationError) << failOn;
    Journal journal = run.plotwright.JournalFrom(failOn);
    EXPECT_EQ(journal, (Journal{run.plotwright.JournalFrom(failOn).at(0), "application 31 get []",
                                "application 31 put [true]", "application 65 call []"}))
        << failOn;
    EXPECT_TRUE(run.messages.shown.empty());
  }
}

TEST(ChartRunCalls, AnErrorWhileConnectingStillTearsDown) {
  const Journal handBack = {"application 31 get []", "application 31 put [true]", "application 65 call []"};
  // Before the run has taken the application from the user, teardown only asks.
  const std::pair<const char*, Journal> cases[] = {
      {"application 30 get", {"application 31 get []"}},
      {"application 67 call", handBack},
      {"document1 53 put", handBack},
  };
  for (const auto& [failOn, teardown] : cases) {
    ChartRun run;
    run.plotwright.failOn = failOn;
    SiteTree tree;
    EXPECT_THROW(ChartBuilder(tree, run.progress, run.host, run.messages), AutomationError);
    Journal journal = run.plotwright.JournalFrom(failOn);
    ASSERT_FALSE(journal.empty()) << failOn;
    EXPECT_EQ(Journal(journal.begin() + 1, journal.end()), teardown) << failOn;
  }
}

}  // namespace
