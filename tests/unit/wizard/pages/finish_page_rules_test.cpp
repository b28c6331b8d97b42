#include "wizard/pages/finish_page_rules.h"

#include <gtest/gtest.h>

#include "chart/stand_in.h"
#include "test_files.h"

namespace {

struct RecordingFinishView : FinishView {
  std::vector<std::string> events;
  int steps = 0;
  void StepProgress() override { ++steps; }
  void ShowStatus(int frame, int image, bool remember) override {
    events.push_back("status " + std::to_string(frame) + " " + std::to_string(image) + (remember ? "" : " once"));
  }
  void EnableClosingText(bool enable) override { events.push_back(enable ? "text on" : "text off"); }
  void ShowWaitCursor() override { events.push_back("wait"); }
  void RestoreCursor() override { events.push_back("cursor"); }
  void StartProgress(std::uint16_t highest) override { events.push_back("progress " + std::to_string(highest)); }
  void RaiseWizard() override { events.push_back("raise wizard"); }
  void RaisePage() override { events.push_back("raise page"); }
  void ShowFinishButtons() override { events.push_back("back+finish"); }
};

using Events = std::vector<std::string>;

struct FinishRun {
  TempDir dir;
  SiteTree tree;
  ChartOptions options;
  StandIn plotwright;
  StandInHost host{plotwright};
  RecordingMessages messages;
  RecordingFinishView view;

  FinishRun() {
    WriteFile(dir.File("sitemap.txt"), "<LI>%URL\r\n");
    SiteNode* top = tree.AddChild(nullptr, "http://site.com/", NodeIcon::PageWithLinks);
    tree.AddChild(top, "http://site.com/a.html", NodeIcon::NotRead);
    tree.AddChild(top, "http://site.com/b.html", NodeIcon::NotRead);
  }
  void Run() { RunOutputs(view, host, messages, {tree, tree.TopOfChart(), options, dir.WithSeparator()}); }
};

const Events kChartEvents = {"wait",        "status 1058 0", "status 1058 1", "status 1045 2", "progress 3",
                             "raise wizard", "status 1045 3", "cursor",        "raise page"};

TEST(FinishRun, StepsAndStatusesForEachChoiceOfOutputs) {
  struct Case {
    bool chart;
    bool sitemap;
    Events events;
  };
  auto join = [](Events a, const Events& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const Events sitemap = {"status 1042 4", "status 1042 5"};
  const Events done = {"status 1043 6", "text on", "back+finish"};
  const Case cases[] = {
      {false, false, join({"text off"}, done)},
      {false, true, join(join({"text off"}, sitemap), done)},
      {true, false, join(join({"text off"}, kChartEvents), done)},
      {true, true, join(join(join({"text off"}, kChartEvents), sitemap), done)},
  };
  for (const Case& c : cases) {
    FinishRun run;
    run.options.generateFlowchart = c.chart;
    run.options.saveSitemap = c.sitemap;
    run.options.sitemapFileName = run.dir.File("out");
    run.Run();
    EXPECT_EQ(run.view.events, c.events) << c.chart << c.sitemap;
    // Only the sitemap chosen: the flowchart application is not even started.
    EXPECT_EQ(run.plotwright.journal.empty(), !c.chart);
    EXPECT_EQ(run.view.steps, c.chart ? 3 : 0);
    EXPECT_EQ(std::filesystem::exists(run.dir.File("out.smp")), c.sitemap);
    EXPECT_TRUE(run.messages.shown.empty());
  }
}

TEST(FinishRun, SitemapNameGetsItsExtensionOnce) {
  const std::pair<const char*, const char*> cases[] = {
      {"map", "map.smp"}, {"map.SMP", "map.SMP"}, {"old.smp.bak", "old.smp.bak"}, {"", ".smp"}, {"a.smpx", "a.smpx"},
  };
  for (auto [name, expected] : cases) EXPECT_EQ(SitemapFileName(name), expected) << name;
  // The longer name is kept in the options, for the options page to show.
  FinishRun run;
  run.options.generateFlowchart = false;
  run.options.saveSitemap = true;
  run.options.sitemapFileName = run.dir.File("site");
  run.Run();
  EXPECT_EQ(run.options.sitemapFileName, run.dir.File("site.smp"));
  EXPECT_NE(ReadFile(run.dir.File("site.smp")).find("http://site.com/b.html"), std::string::npos);
}

TEST(FinishRun, UnwritableSitemapSaysSoAndGoesOn) {
  FinishRun run;
  run.options.generateFlowchart = false;
  run.options.saveSitemap = true;
  run.options.sitemapFileName = run.dir.File("missing/folder/map.smp");
  run.Run();
  EXPECT_EQ(run.messages.shown, std::vector<int>{135});
  EXPECT_EQ(run.view.events.back(), "back+finish");
}

TEST(FinishRun, FailedCallEndsTheRunWithoutAMessage) {
  FinishRun run;
  run.options.saveSitemap = true;
  run.options.sitemapFileName = run.dir.File("out");
  run.plotwright.failOn = "shape2 17 put";
  run.Run();
  EXPECT_EQ(run.view.events, (Events{"text off", "wait", "status 1058 0", "status 1058 1", "status 1045 2",
                                     "progress 3", "raise wizard", "cursor"}));
  EXPECT_TRUE(run.messages.shown.empty());
  EXPECT_FALSE(std::filesystem::exists(run.dir.File("out.smp")));
  // The builder was torn down: the application's run was ended as failed.
  EXPECT_EQ(run.plotwright.journal.back(), "application 65 call []");
}

TEST(FinishRun, DrawsWithTheChosenLayoutAndNothingForAnUnknownOne) {
  const std::pair<int, const char*> cases[] = {{0, "document1 2 put [3]"}, {1, "document1 2 put [3]"},
                                               {2, "document1 2 put [1]"}, {7, nullptr}};
  for (auto [orientation, layoutCall] : cases) {
    FinishRun run;
    run.options.orientation = orientation;
    run.Run();
    auto from = run.plotwright.JournalFrom("document1 2 put");
    EXPECT_EQ(from.empty() ? "" : from[0], layoutCall ? layoutCall : "") << orientation;
    EXPECT_EQ(run.view.steps, layoutCall ? 3 : 0);
    EXPECT_EQ(run.view.events.back(), "back+finish");
  }
}

TEST(FinishRun, ProgressRangeStopsAt16Bits) {
  const std::pair<size_t, unsigned> cases[] = {{0, 0}, {3, 3}, {65535, 65535}, {65536, 65535}, {1000000, 65535}};
  for (auto [nodes, range] : cases) EXPECT_EQ(ProgressRange(nodes), range) << nodes;
}

}  // namespace
