// What makes a chart hard to follow, counted on the routes as drawn: connectors that pass through
// a shape other than their two ends, pairs of connectors of different parents that run along a
// common stretch, and connectors between placed shapes left undrawn. A connector's parent is the
// end dropped first, as in every layout.
#pragma once

#include <algorithm>
#include <map>
#include <ostream>
#include <set>
#include <tuple>
#include <vector>

#include "plotwright/automation.h"
#include "plotwright/geometry.h"

struct RouteFaults {
  int throughShapes = 0;
  int sharedStretches = 0;
  int undrawn = 0;
  bool operator==(const RouteFaults&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const RouteFaults& f) {
  return out << f.throughShapes << " through shapes, " << f.sharedStretches << " shared stretches, " << f.undrawn << " undrawn";
}

inline RouteFaults CountRouteFaults(const Application& app, const Document& document) {
  constexpr double kTolerance = 1e-6;
  RouteFaults faults;
  const auto& routes = app.Routes(document);
  // Stretches by the line they lie on (vertical or not, and where): (from, to, parent, line).
  std::map<std::pair<bool, long long>, std::vector<std::tuple<double, double, int, int>>> stretches;
  for (std::size_t i = 0; i < document.lines.size(); ++i) {
    const Line& l = app.line(document.lines[i]);
    if (i >= routes.size() || routes[i].empty()) {
      faults.undrawn += app.shape(l.from).placed && app.shape(l.to).placed;
      continue;
    }
    bool through = false;
    for (std::size_t k = 1; k < routes[i].size(); ++k) {
      Point a = routes[i][k - 1], b = routes[i][k];
      Bounds seg{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
      for (int n : document.shapes) {
        const Shape& s = app.shape(n);
        if (n == l.from || n == l.to || !s.placed) continue;
        Bounds box = ShapeBox(s.master, {s.x, s.y});
        through |= seg.left < box.right - kTolerance && seg.right > box.left + kTolerance &&
                   seg.top < box.bottom - kTolerance && seg.bottom > box.top + kTolerance;
      }
      bool vertical = a.x == b.x;
      double at = vertical ? a.x : a.y;
      stretches[{vertical, std::llround(at / kTolerance)}].emplace_back(
          vertical ? seg.top : seg.left, vertical ? seg.bottom : seg.right, std::min(l.from, l.to), int(i));
    }
    faults.throughShapes += through;
  }
  std::set<std::pair<int, int>> sharing;
  for (const auto& [line, on] : stretches)
    for (const auto& [lo, hi, parent, index] : on)
      for (const auto& [lo2, hi2, parent2, index2] : on)
        if (parent != parent2 && index < index2 && std::min(hi, hi2) - std::max(lo, lo2) > kTolerance)
          sharing.insert({index, index2});
  faults.sharedStretches = int(sharing.size());
  return faults;
}
