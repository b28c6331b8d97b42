// The pages' rules: storing the start page and the chart options page, the picture clicks, and
// the wizard's flags through the ways between the pages.
#include <gtest/gtest.h>

#include "wizard/pages/chart_options_page_rules.h"
#include "wizard/pages/start_page_rules.h"
#include "wizard/pages/wizard_flags.h"

namespace {

TEST(StoreStartFields, StopsAtTheFirstFieldWithoutAnInteger) {
  const struct {
    const char* pageLimit;
    bool limitPages;
    const char* depth;
    StartField failed;
    int storedPageLimit, storedDepth;
    bool storedLimitPages;
  } cases[] = {
      {"250", true, "2", StartField::None, 250, 2, true},
      {" 250\t", true, " 3 ", StartField::None, 250, 3, true},
      {"", true, "2", StartField::PageLimit, 77, 1, false},    // limitPages and depth keep theirs
      {"12x", true, "2", StartField::PageLimit, 77, 1, false},
      {"250", true, "", StartField::Depth, 250, 1, true},       // what came before is stored
      {"250", false, "two", StartField::Depth, 250, 1, false},
      // An unticked (disabled) page limit never holds the page.
      {"", false, "2", StartField::None, 77, 2, false},
  };
  for (const auto& c : cases) {
    StartSettings settings;
    settings.pageLimit = 77;
    StartPageFields fields{"http://a/", false, c.pageLimit, c.limitPages, c.depth};
    EXPECT_EQ(StoreStartFields(fields, settings), c.failed) << c.pageLimit << " / " << c.depth;
    EXPECT_EQ(settings.startUrl, "http://a/");  // the first fields are always stored
    EXPECT_FALSE(settings.stayInDomain);
    EXPECT_EQ(settings.pageLimit, c.storedPageLimit) << c.pageLimit;
    EXPECT_EQ(settings.limitPages, c.storedLimitPages) << c.pageLimit;
    EXPECT_EQ(settings.depth, c.storedDepth) << c.depth;
  }
}

TEST(StoreStartFields, DisabledEmptyPageLimitFallsBackFromTheEmptyFieldValue) {
  StartSettings settings;
  settings.pageLimit = -1;  // what the range check leaves for an empty field
  EXPECT_EQ(StoreStartFields({"u", true, "", false, "1"}, settings), StartField::None);
  EXPECT_EQ(settings.pageLimit, 100);
}

TEST(StoreChartOptions, SpacingsMustBeNumbersFromOneToThree) {
  using Field = ChartOptionsStore::Field;
  const struct {
    const char* horizontal;
    const char* vertical;
    bool generateFlowchart;
    Field failed;
    bool outOfRange;
    double storedHorizontal, storedVertical;
  } cases[] = {
      {"2", "2.5", true, Field::None, false, 2, 2.5},
      {" 1 ", "3", true, Field::None, false, 1, 3},
      {"abc", "2", true, Field::HorizontalSpacing, false, 1.5, 1.5},
      {"", "2", true, Field::HorizontalSpacing, false, 1.5, 1.5},
      {"2", "x", true, Field::VerticalSpacing, false, 2, 1.5},
      {"0.5", "2", true, Field::HorizontalSpacing, true, 1.5, 1.5},
      {"2", "3.01", true, Field::VerticalSpacing, true, 2, 1.5},
      // Without a flowchart the disabled fields keep their old values and hold nothing up.
      {"abc", "9", false, Field::None, false, 1.5, 1.5},
      {"2", "", false, Field::None, false, 2, 1.5},
  };
  for (const auto& c : cases) {
    ChartOptions options;
    ChartOptionsFields fields{0, 2, false, c.horizontal, c.vertical, c.generateFlowchart, true, "out"};
    ChartOptionsStore store = StoreChartOptions(fields, options);
    EXPECT_EQ(store.field, c.failed) << c.horizontal << " / " << c.vertical;
    EXPECT_EQ(store.outOfRange, c.outOfRange) << c.horizontal << " / " << c.vertical;
    EXPECT_EQ(options.horizontalSpacing, c.storedHorizontal) << c.horizontal;
    EXPECT_EQ(options.verticalSpacing, c.storedVertical) << c.vertical;
    // The fields before the spacings are always stored; those after only by a whole store.
    EXPECT_EQ(options.colorMode, 0);
    EXPECT_EQ(options.orientation, 2);
    EXPECT_FALSE(options.chartDuplicateChildren);
    bool whole = c.failed == Field::None;
    EXPECT_EQ(options.generateFlowchart, whole ? c.generateFlowchart : true);
    EXPECT_EQ(options.saveSitemap, whole);
    EXPECT_EQ(options.sitemapFileName, whole ? "out" : "");
  }
}

TEST(OrientationAt, ThreePicturesWithOpenRightAndBottomEdges) {
  const struct {
    int x, y;
    std::optional<int> orientation;
  } cases[] = {
      {60, 130, 0}, {130, 130, 1}, {210, 130, 2}, {100, 130, {}},  // between the first two
      {50, 125, 0}, {98, 172, 0},  {99, 130, {}}, {60, 173, {}},   // edges
      {49, 130, {}}, {124, 125, 1}, {171, 172, 1}, {172, 130, {}},
      {199, 125, 2}, {246, 172, 2}, {247, 130, {}}, {210, 124, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(OrientationAt(c.x, c.y), c.orientation) << c.x << "," << c.y;
}

TEST(WizardFlags, TreeRebuiltFromTheStartPageAndKeptFromTheChartOptions) {
  using Rebuild = WizardFlags::TreeRebuild;
  WizardFlags flags;
  // Next from the start page reads the site.
  flags.StartNext();
  EXPECT_EQ(flags.TakeTreeRebuild(), Rebuild::ReadSite);
  // On to the chart options and back: the tree stays.
  flags.TreeNext();
  flags.ChartOptionsBack();
  EXPECT_EQ(flags.TakeTreeRebuild(), Rebuild::Keep);
  // Through the finish page and back twice: still kept.
  flags.TreeNext();
  flags.ChartOptionsNext();
  flags.ChartOptionsBack();
  EXPECT_EQ(flags.TakeTreeRebuild(), Rebuild::Keep);
  // Back to the start page, import: the file is read once.
  flags.TreeBack();
  flags.StartImport();
  EXPECT_EQ(flags.TakeTreeRebuild(), Rebuild::ImportFile);
  EXPECT_FALSE(flags.importPending);
  // Back and Next again reads the site afresh, not the file.
  flags.TreeBack();
  flags.StartNext();
  EXPECT_EQ(flags.TakeTreeRebuild(), Rebuild::ReadSite);
}

TEST(WizardFlags, ImportHeldOnTheStartPageIsReadOnTheNextEntry) {
  WizardFlags flags;
  flags.TreeBack();
  flags.StartImport();  // the page could not be left: a field failed to store
  flags.StartNext();
  EXPECT_EQ(flags.TakeTreeRebuild(), WizardFlags::TreeRebuild::ImportFile);
}

}  // namespace
