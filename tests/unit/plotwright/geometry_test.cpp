#include "plotwright/geometry.h"

#include <gtest/gtest.h>

namespace {

const Master kAllMasters[] = {Master::Process,     Master::Document,        Master::Terminal,
                              Master::Preparation, Master::SummingJunction, Master::InternalStorage};

}  // namespace

TEST(Geometry, EveryOutlineStaysWithinItsBoxAndHasAFilledFigure) {
  for (Master m : kAllMasters) {
    Point c{10, 20};
    Bounds box = ShapeBox(m, c);
    std::vector<Figure> figures = ShapeOutline(m, c);
    ASSERT_FALSE(figures.empty()) << MasterName(m);
    EXPECT_NE(figures[0].kind, FigureKind::Stroke) << MasterName(m);
    for (const Figure& f : figures)
      for (const Point& p : f.points) {
        EXPECT_GE(p.x, box.left - 1e-9) << MasterName(m);
        EXPECT_LE(p.x, box.right + 1e-9) << MasterName(m);
        EXPECT_GE(p.y, box.top - 1e-9) << MasterName(m);
        EXPECT_LE(p.y, box.bottom + 1e-9) << MasterName(m);
      }
  }
  EXPECT_EQ(ShapeBox(Master::SummingJunction, {0, 0}).width(), ShapeBox(Master::SummingJunction, {0, 0}).height());
}

TEST(Geometry, LabelsGoInsideTheShapeOrBelowTheSmallCircle) {
  for (Master m : kAllMasters) {
    Bounds shape = ShapeBox(m, {5, 5}), label = LabelBox(m, {5, 5});
    if (m == Master::SummingJunction) {
      EXPECT_EQ(label.top, shape.bottom);
      EXPECT_NEAR(label.width(), kShapeWidth, 1e-12);
    } else {
      EXPECT_EQ(label.top, shape.top) << MasterName(m);
      EXPECT_EQ(label.bottom, shape.bottom) << MasterName(m);
      EXPECT_NEAR((label.left + label.right) / 2, 5.0, 1e-12) << MasterName(m);
      // The preparation's label keeps clear of its slanted sides.
      EXPECT_NEAR(label.width(), shape.width() * (m == Master::Preparation ? 0.8 : 1.0), 1e-12) << MasterName(m);
    }
  }
}

TEST(Geometry, MastersAreFoundByNameWhateverTheCase) {
  for (Master m : kAllMasters) EXPECT_EQ(MasterByName(MasterName(m)), m);
  EXPECT_EQ(MasterByName("summing junction"), Master::SummingJunction);
  EXPECT_EQ(MasterByName("INTERNAL STORAGE"), Master::InternalStorage);
  EXPECT_EQ(MasterByName("Process "), std::nullopt);
  EXPECT_EQ(MasterByName(""), std::nullopt);
}

TEST(Geometry, ColoursOutsideTheRangeAreDrawnAtTheNearestLimit) {
  struct Case {
    Rgb given, drawn;
  } cases[] = {
      {{-15, 270, 255}, {0, 255, 255}},
      {{270, -15, 255}, {255, 0, 255}},
      {{-45, 300, 255}, {0, 255, 255}},
      {{0, 255, 255}, {0, 255, 255}},
      {{-32768, 32767, 128}, {0, 255, 128}},
  };
  for (const Case& c : cases) EXPECT_EQ(DrawnColour(c.given), c.drawn);
}

TEST(Geometry, ConnectionPointsGoClockwiseFromTheTop) {
  Bounds b{0, 0, 4, 2};
  struct Case {
    double index;
    Point p;
  } cases[] = {{0, {2, 0}}, {1, {4, 1}}, {2, {2, 2}}, {3, {0, 1}}, {4, {2, 1}}, {1.5, {2, 1}}, {-1, {2, 1}}};
  for (const Case& c : cases) EXPECT_EQ(ConnectionPoint(b, c.index), c.p) << c.index;
}

TEST(Geometry, ConnectorsOfTheThreeLayouts) {
  Bounds parent = ShapeBox(Master::Process, {1, 2});
  Bounds child = ShapeBox(Master::Process, {3, 3});
  // Horizontal: down from the parent's bottom, then along the row into the child's left side.
  EXPECT_EQ(ConnectorRoute(parent, 2, child, 3), (std::vector<Point>{{1, 2.25}, {1, 3}, {2.6, 3}}));
  // Vertical: out of the parent's right side, then down into the child's top.
  EXPECT_EQ(ConnectorRoute(parent, 1, child, 0), (std::vector<Point>{{1.4, 2}, {3, 2}, {3, 2.75}}));
  // Org chart: from the child's top up to the parent's junction row, across, down to the parent.
  Bounds top = ShapeBox(Master::Process, {50, 2}), below = ShapeBox(Master::Process, {49, 4});
  EXPECT_EQ(ConnectorRoute(below, 0, top, 2, 3.0), (std::vector<Point>{{49, 3.75}, {49, 3}, {50, 3}, {50, 2.25}}));
  EXPECT_EQ(ConnectorRoute(below, 0, top, 2),
            (std::vector<Point>{{49, 3.75}, {49, 3.0}, {50, 3.0}, {50, 2.25}}));
  // Side to side, and anything with a centre, is straight or goes half way.
  EXPECT_EQ(ConnectorRoute(parent, 1, child, 3).size(), 4u);
  EXPECT_EQ(ConnectorRoute(parent, 7, child, 3).size(), 2u);
  // Points in line need no bend.
  EXPECT_EQ(ConnectorRoute(top, 2, ShapeBox(Master::Process, {50, 4}), 0).size(), 2u);
}

TEST(Geometry, ZoomKeepsThePointUnderTheAnchor) {
  Viewport v;
  v.content = {-1, 0, 99, 50};
  v.scrollX = 300;
  v.scrollY = 120;
  Point anchor{200, 150};
  Point before = v.ToChart(anchor);
  Viewport zoomed = ZoomAbout(v, v.scale * 1.25, anchor, 800, 600);
  Point after = zoomed.ToChart(anchor);
  EXPECT_NEAR(after.x, before.x, 1e-9);
  EXPECT_NEAR(after.y, before.y, 1e-9);
  EXPECT_EQ(ZoomAbout(v, 1e9, anchor, 800, 600).scale, kMaxScale);
  EXPECT_EQ(ZoomAbout(v, 0, anchor, 800, 600).scale, kMinScale);
}

TEST(Geometry, ScrollingStaysWithinTheContentOrCentresIt) {
  Viewport v;
  v.content = {0, 0, 10, 5};  // 960 by 480 pixels
  struct Case {
    double x, y, expectX, expectY;
  } cases[] = {{-50, -5, 0, -60}, {500, 10, 160, -60}, {100, 0, 100, -60}};  // lower than the view: centred
  for (const Case& c : cases) {
    v.scrollX = c.x;
    v.scrollY = c.y;
    Viewport clamped = Clamped(v, 800, 600);
    EXPECT_EQ(clamped.scrollX, c.expectX);
    EXPECT_EQ(clamped.scrollY, c.expectY);
  }
}

TEST(Geometry, FitShowsAllButNeverEnlarges) {
  EXPECT_EQ(FitScale({0, 0, 2, 1}, 800, 600), kActualScale);
  EXPECT_DOUBLE_EQ(FitScale({0, 0, 100, 10}, 800, 600), kMinScale);  // 8 pixels a unit would fit
  EXPECT_DOUBLE_EQ(FitScale({0, 0, 20, 10}, 800, 600), 40.0);
  EXPECT_EQ(FitScale({0, 0, 20, 10}, 0, 600), kActualScale);
}
