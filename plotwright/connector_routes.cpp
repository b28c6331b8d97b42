#include "plotwright/connector_routes.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <unordered_map>

#include "plotwright/automation.h"
#include "plotwright/geometry.h"

namespace {

// Coordinates closer than this are one row or column: a client reaches them by different sums.
constexpr double kSame = 1e-6;
// What the outermost track of a channel keeps clear of the shapes beside it.
constexpr double kTrackMargin = 0.02;

long long Key(double v) { return std::llround(v / kSame); }

// Routes are planned as if every trunk ran down. One that leaves its parent's right side is
// planned in the drawing mirrored about its diagonal, where it does: rows become columns, and
// the sides top and left, right and bottom, change places.
Point Flip(Point p) { return {p.y, p.x}; }
Bounds Flip(const Bounds& b) { return {b.top, b.left, b.bottom, b.right}; }
double FlipSide(double side) { return 3.0 - side; }

bool IsExit(double side) { return side == 1.0 || side == 2.0; }
bool IsEntry(double side) { return side == 0.0 || side == 3.0; }

Point Centre(const Bounds& b) { return {(b.left + b.right) / 2, (b.top + b.bottom) / 2}; }

// The smallest distance between neighbouring rows (or columns) that leaves room between their
// shapes: lanes and tracks keep half of it from the shapes' centres.
double Pitch(std::vector<double> centres, double extent) {
  std::sort(centres.begin(), centres.end());
  double pitch = 0.0;
  for (std::size_t i = 1; i < centres.size(); ++i) {
    double gap = centres[i] - centres[i - 1];
    if (gap > extent + kSame && (pitch == 0.0 || gap < pitch)) pitch = gap;
  }
  return pitch > 0.0 ? pitch : 2 * extent;
}

// The placed shapes by the column their centre sits in, each column ordered down: what a trunk
// dropping straight from its parent would meet.
class Columns {
public:
  void Add(Point centre, int shape) { columns[Key(centre.x)].push_back({centre.y, shape}); }
  void Sort() {
    for (auto& [key, column] : columns) std::sort(column.begin(), column.end());
    for (auto& [key, column] : columns) keys.push_back(key);
    std::sort(keys.begin(), keys.end());
  }
  // Whether a shape sits in column x below y and above the row `rank`, or in that row and is
  // not one of `allowed`.
  template <typename Allowed>
  bool Blocked(double x, double y, double rank, Allowed allowed) const {
    auto found = columns.find(Key(x));
    if (found == columns.end()) return false;
    const auto& column = found->second;
    auto at = std::upper_bound(column.begin(), column.end(), std::pair<double, int>{y + kSame, 0});
    for (; at != column.end() && at->first < rank + kSame; ++at)
      if (at->first < rank - kSame || !allowed(at->second)) return true;
    return false;
  }
  bool AnyLeftOf(double x) const { return !keys.empty() && keys.front() < Key(x); }
  bool AnyRightOf(double x) const { return !keys.empty() && keys.back() > Key(x); }

private:
  std::unordered_map<long long, std::vector<std::pair<double, int>>> columns;
  std::vector<long long> keys;
};

// A stretch between two rows or two columns, and the parents whose connectors run along it.
struct Channel {
  bool horizontal = true;  // runs along x, at y = at
  double at = 0.0;
  double room = 0.0;  // how far its tracks may lie to either side of it
  std::map<int, std::pair<double, double>> spans;  // by parent: how far along it its connectors run
  std::map<int, int> trackOf;                      // by parent
  double step = 0.0;
};

struct Member {
  int line = 0;  // place in the document's lines
  int child = 0;
  double entry = 0.0;  // the child's side, as planned (top or left)
  bool childFirst = false;
};

// A parent's connectors to the children in one row of the plan.
struct Family {
  int parent = 0;
  bool flipped = false;
  double rank = 0.0;  // the children's row, as planned
  std::vector<Member> members;
};

// A route being built: its corners, and for each stretch the channel it runs along (-1 for a
// stub into or out of a shape).
struct Path {
  std::vector<Point> points;
  std::vector<int> channels;
  void To(Point p, int channel) {
    if (std::fabs(p.x - points.back().x) < kSame && std::fabs(p.y - points.back().y) < kSame) return;
    points.push_back(p);
    channels.push_back(channel);
  }
};

class Router {
public:
  Router(const Application& app, const Document& document) : app(app), document(document) {}

  std::vector<std::vector<Point>> Run() {
    std::vector<double> xs, ys;
    for (int n : document.shapes) {
      const Shape& s = app.shape(n);
      if (!s.placed) continue;
      xs.push_back(s.x);
      ys.push_back(s.y);
      plain.Add({s.x, s.y}, n);
      flipped.Add({s.y, s.x}, n);
    }
    plain.Sort();
    flipped.Sort();
    columnPitch = Pitch(xs, kShapeWidth);
    rowPitch = Pitch(ys, kShapeHeight);

    routes.assign(document.lines.size(), {});
    paths.assign(document.lines.size(), {});
    parentOf.assign(document.lines.size(), 0);
    for (const Family& family : Families()) Plan(family);
    AssignTracks();
    for (std::size_t i = 0; i < paths.size(); ++i)
      if (!paths[i].points.empty()) routes[i] = Finished(paths[i], parentOf[i]);
    return std::move(routes);
  }

private:
  Bounds Box(int shape, bool flip) const {
    const Shape& s = app.shape(shape);
    Bounds b = ShapeBox(s.master, {s.x, s.y});
    return flip ? Flip(b) : b;
  }

  // Groups the lines that run from a parent's bottom or right side to a child's top or left side
  // beyond it; every other line keeps the plain route between its two points.
  std::vector<Family> Families() {
    std::vector<Family> families;
    std::map<std::tuple<int, bool, long long>, std::size_t> byKey;
    for (std::size_t i = 0; i < document.lines.size(); ++i) {
      const Line& l = app.line(document.lines[i]);
      const Shape &from = app.shape(l.from), &to = app.shape(l.to);
      if (!from.placed || !to.placed) continue;
      Member m{int(i), l.to, l.toPoint, false};
      int parent = l.from;
      double exit = l.fromPoint;
      if (!(IsExit(exit) && IsEntry(m.entry))) {
        m = {int(i), l.from, l.fromPoint, true};
        parent = l.to;
        exit = l.toPoint;
      }
      bool flip = exit == 1.0;
      if (flip) m.entry = FlipSide(m.entry);
      double rank = Centre(Box(m.child, flip)).y;
      if (!IsExit(exit) || !IsEntry(m.entry) || parent == m.child || rank < Centre(Box(parent, flip)).y + kSame) {
        routes[i] = LineRoute(l, from, to);
        continue;
      }
      auto [at, added] = byKey.try_emplace({parent, flip, Key(rank)}, families.size());
      if (added) families.push_back({parent, flip, rank, {}});
      families[at->second].members.push_back(m);
    }
    return families;
  }

  // A channel of the plan: mirrored, a row of the plan is a column of the drawing.
  int PlanChannel(const Family& f, bool alongPlanRow, double at, double room) {
    bool horizontal = alongPlanRow != f.flipped;
    auto [found, added] = channelIndex.try_emplace({horizontal, Key(at)}, int(channels.size()));
    if (added) channels.push_back({horizontal, at, room, {}, {}, 0.0});
    channels[found->second].room = std::min(channels[found->second].room, room);
    return found->second;
  }

  void Plan(const Family& f) {
    const Columns& columns = f.flipped ? flipped : plain;
    double across = f.flipped ? rowPitch : columnPitch, down = f.flipped ? columnPitch : rowPitch;
    // Half the space between the shapes of neighbouring rows, and of neighbouring columns.
    double rowRoom = (down - (f.flipped ? kShapeWidth : kShapeHeight)) / 2 - kTrackMargin;
    double columnRoom = (across - (f.flipped ? kShapeHeight : kShapeWidth)) / 2 - kTrackMargin;
    Bounds parent = Box(f.parent, f.flipped);
    Point centre = Centre(parent);
    double childTop = f.rank;
    double childMeanX = 0.0;
    for (const Member& m : f.members) {
      Bounds b = Box(m.child, f.flipped);
      childTop = std::min(childTop, b.top);
      childMeanX += Centre(b).x / double(f.members.size());
    }
    // The lane lies half a row above the children, or half way down to them when they are closer.
    double lane = f.rank - down / 2;
    if (lane <= parent.bottom + kSame || lane >= childTop - kSame) lane = (parent.bottom + childTop) / 2;

    Path trunk;
    trunk.points = {{centre.x, parent.bottom}};
    bool blocked = columns.Blocked(centre.x, centre.y, f.rank, [&](int shape) {
      return std::any_of(f.members.begin(), f.members.end(), [&](const Member& m) { return m.child == shape; });
    });
    if (!blocked) {
      trunk.To({centre.x, lane}, -1);
    } else {
      // Shapes of other branches stand below the parent: the trunk steps down, half a column
      // aside, towards the children and inside the drawing, and drops between the columns. It
      // steps above the lane of the row below, whose branches drop into shapes it passes over.
      double nextLane = std::min(centre.y + down / 2, lane);
      double step = (parent.bottom + nextLane) / 2;
      double side = childMeanX < centre.x - kSame ? -1.0 : 1.0;
      if (side > 0 ? !columns.AnyRightOf(centre.x) : !columns.AnyLeftOf(centre.x)) side = -side;
      double aside = centre.x + side * across / 2;
      trunk.To({centre.x, step}, -1);
      trunk.To({aside, step}, PlanChannel(f, true, step, step - parent.bottom - kTrackMargin));
      trunk.To({aside, lane}, PlanChannel(f, false, aside, columnRoom));
    }
    int laneChannel = PlanChannel(f, true, lane, rowRoom);
    for (const Member& m : f.members) {
      Path path = trunk;
      Bounds child = Box(m.child, f.flipped);
      Point c = Centre(child);
      if (m.entry == 0.0) {
        path.To({c.x, lane}, laneChannel);
        path.To({c.x, child.top}, -1);
      } else {
        // Into the left side: down the gap left of the child, then across into it.
        double gap = c.x - across / 2;
        path.To({gap, lane}, laneChannel);
        path.To({gap, c.y}, PlanChannel(f, false, gap, columnRoom));
        path.To({child.left, c.y}, -1);
      }
      if (f.flipped)
        for (Point& p : path.points) p = Flip(p);
      if (m.childFirst) {
        std::reverse(path.points.begin(), path.points.end());
        std::reverse(path.channels.begin(), path.channels.end());
      }
      Claim(path, f.parent);
      paths[m.line] = std::move(path);
      parentOf[m.line] = f.parent;
    }
  }

  void Claim(const Path& path, int parent) {
    for (std::size_t i = 0; i < path.channels.size(); ++i) {
      if (path.channels[i] < 0) continue;
      Channel& c = channels[path.channels[i]];
      Point a = path.points[i], b = path.points[i + 1];
      double lo = c.horizontal ? std::min(a.x, b.x) : std::min(a.y, b.y);
      double hi = c.horizontal ? std::max(a.x, b.x) : std::max(a.y, b.y);
      auto [span, added] = c.spans.try_emplace(parent, lo, hi);
      if (!added) span->second = {std::min(span->second.first, lo), std::max(span->second.second, hi)};
    }
  }

  // In each channel, parents whose stretches overlap or meet get tracks of their own, the
  // first in the middle and the others alternately to either side of it.
  void AssignTracks() {
    for (Channel& c : channels) {
      std::vector<std::tuple<double, double, int>> spans;
      for (const auto& [parent, span] : c.spans) spans.emplace_back(span.first, span.second, parent);
      std::sort(spans.begin(), spans.end());
      std::vector<double> trackEnds;
      for (const auto& [lo, hi, parent] : spans) {
        std::size_t track = 0;
        while (track < trackEnds.size() && trackEnds[track] >= lo - kSame) ++track;
        if (track == trackEnds.size()) trackEnds.push_back(hi);
        else trackEnds[track] = hi;
        c.trackOf[parent] = int(track);
      }
      int widest = int(trackEnds.size()) / 2;  // tracks to one side of the middle one
      c.step = widest == 0 || c.room <= 0 ? 0.0 : std::min(kTrackStep, c.room / widest);
    }
  }

  double Offset(const Channel& c, int parent) const {
    int track = c.trackOf.at(parent);
    double side = track % 2 ? 1.0 : -1.0;
    return side * double((track + 1) / 2) * c.step;
  }

  std::vector<Point> Finished(const Path& path, int parent) const {
    std::vector<Point> points = path.points;
    for (std::size_t i = 0; i < path.channels.size(); ++i) {
      if (path.channels[i] < 0) continue;
      const Channel& c = channels[path.channels[i]];
      double at = c.at + Offset(c, parent);
      (c.horizontal ? points[i].y : points[i].x) = at;
      (c.horizontal ? points[i + 1].y : points[i + 1].x) = at;
    }
    // Corners that no longer turn go.
    std::vector<Point> out;
    for (const Point& p : points) {
      if (!out.empty() && std::fabs(p.x - out.back().x) < kSame && std::fabs(p.y - out.back().y) < kSame) continue;
      if (out.size() >= 2) {
        const Point &a = out[out.size() - 2], &b = out.back();
        bool inLine = (std::fabs(a.x - b.x) < kSame && std::fabs(b.x - p.x) < kSame) ||
                      (std::fabs(a.y - b.y) < kSame && std::fabs(b.y - p.y) < kSame);
        if (inLine) out.pop_back();
      }
      out.push_back(p);
    }
    return out;
  }

  const Application& app;
  const Document& document;
  Columns plain, flipped;
  double columnPitch = 0.0, rowPitch = 0.0;
  std::vector<Channel> channels;
  std::map<std::pair<bool, long long>, int> channelIndex;
  std::vector<std::vector<Point>> routes;
  std::vector<Path> paths;
  std::vector<int> parentOf;
};

}  // namespace

std::vector<std::vector<Point>> RouteConnectors(const Application& app, const Document& document) {
  return Router(app, document).Run();
}
