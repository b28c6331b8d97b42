// What makes a chart hard to follow, counted on the routes as drawn: {connectors through a shape
// other than their two ends, pairs of connectors of different parents along a common stretch,
// connectors between placed shapes left undrawn}. A connector's parent is the end dropped first.
#pragma once

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "plotwright/automation.h"
#include "plotwright/geometry.h"

inline std::array<int, 3> CountRouteFaults(const Application& app, const Document& document) {
  constexpr double kTolerance = 1e-6;
  std::array<int, 3> faults{};
  const auto& routes = app.Routes(document);
  // By the line a stretch lies on (vertical or not, and where): its ends, parent and connector.
  std::map<std::pair<bool, long long>, std::vector<std::array<double, 4>>> stretches;
  for (std::size_t i = 0; i < document.lines.size(); ++i) {
    const Line& l = app.line(document.lines[i]);
    if (i >= routes.size() || routes[i].empty()) {
      faults[2] += app.shape(l.from).placed && app.shape(l.to).placed;
      continue;
    }
    bool through = false;
    for (std::size_t k = 1; k < routes[i].size(); ++k) {
      Point a = routes[i][k - 1], b = routes[i][k];
      Bounds seg{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
      for (int n : document.shapes) {
        Bounds box = ShapeBox(app.shape(n).master, {app.shape(n).x, app.shape(n).y});
        through |= n != l.from && n != l.to && app.shape(n).placed && seg.left < box.right - kTolerance &&
                   seg.right > box.left + kTolerance && seg.top < box.bottom - kTolerance &&
                   seg.bottom > box.top + kTolerance;
      }
      bool vertical = a.x == b.x;
      stretches[{vertical, std::llround((vertical ? a.x : a.y) / kTolerance)}].push_back(
          {vertical ? seg.top : seg.left, vertical ? seg.bottom : seg.right, double(std::min(l.from, l.to)), double(i)});
    }
    faults[0] += through;
  }
  std::set<std::pair<double, double>> sharing;
  for (const auto& [line, on] : stretches)
    for (const auto& [lo, hi, parent, index] : on)
      for (const auto& [lo2, hi2, parent2, index2] : on)
        if (parent != parent2 && index < index2 && std::min(hi, hi2) - std::max(lo, lo2) > kTolerance)
          sharing.insert({index, index2});
  faults[1] = int(sharing.size());
  return faults;
}
