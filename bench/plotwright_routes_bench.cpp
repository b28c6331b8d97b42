// The stand-in working out every connector's route of a drawing, as it does before it paints or
// saves a drawing that changed: org charts of a site's tree (a start page of 60 links, each page
// with as many links as the argument), placed as Pathloom's org chart places them at 1 inch, up
// to the edge of the page.
#include <benchmark/benchmark.h>

#include <vector>

#include "plotwright/automation.h"
#include "plotwright/connector_routes.h"

namespace {

const ObjectId kDoc{ObjectKind::Document, 1};

struct OrgChart {
  Application app{{"7.0", 0}};
  std::vector<std::vector<int>> children;  // by node
  double rowCursor = 2.0;
  int shapes = 0;

  explicit OrgChart(int links) {
    children.resize(1);
    for (int page = 0; page < 60; ++page) {
      children[0].push_back(int(children.size()));
      children.emplace_back();
    }
    for (int page = 1; page <= 60; ++page)
      for (int link = 0; link < links; ++link) {
        children[page].push_back(int(children.size()));
        children.emplace_back();
      }
    app.Invoke({ObjectKind::Application, 0}, 67, CallKind::Call, {});
    app.Invoke(kDoc, 4, CallKind::Put, {Value::Text("Plotwright basic palettes\\Standard")});
    Place(0, 50.0, rowCursor);
  }

  int Drop(double x, double y) {
    app.Invoke(kDoc, 6, CallKind::Put, {Value::R8(x)});
    app.Invoke(kDoc, 7, CallKind::Put, {Value::R8(y)});
    return app.Invoke(kDoc, 71, CallKind::Call, {Value::Text("Process")}).value.object.number;
  }

  int Place(int node, double x, double y) {
    int shape = Drop(x, y);
    if (children[node].empty() || !app.shape(shape).placed) return shape;
    rowCursor += 2.0;
    double row = rowCursor;
    int side = 1;
    double offset = 0.0;
    for (int child : children[node]) {
      int childShape = Place(child, x + side * offset, row);
      app.Invoke(kDoc, 69, CallKind::Call,
                 {Value::Object({ObjectKind::Shape, childShape}), Value::Object({ObjectKind::Shape, shape}),
                  Value::R8(0), Value::R8(2)});
      side = -side;
      if (side == -1) offset += 1.0;
    }
    return shape;
  }
};

void OrgChartRoutes(benchmark::State& state) {
  OrgChart chart(int(state.range(0)));
  const Document& document = chart.app.document(1);
  for (auto _ : state) benchmark::DoNotOptimize(RouteConnectors(chart.app, document));
  int placed = 0;
  for (int n : document.shapes) placed += chart.app.shape(n).placed;
  state.counters["shapes"] = placed;
}
BENCHMARK(OrgChartRoutes)->Arg(5)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond);

}  // namespace
