"""Times charts drawn through the real automation adapter in the Plotwright stand-in, out of
process under Wine (connection to the stand-in included), against the stand-in's bare-call
time measured by the same chart program in the same run (reads of the version property from an
application object of its own, before and after the chart). Figures for closing notes, not
assertions.

- a run of N shapes (default 1000) in two layouts: its cost per call against the bare call, and
  the calls it made per shape;
- a run of 2N shapes: the time of its last quarter-N shapes against its first quarter-N.

    WINEBED_BUILD=$PWD/build/mingw /usr/bin/python3 bench/chart_wine_timing.py [N]
"""
import collections
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "wine"))
import winebed  # noqa: E402
from chart.charting import HORIZONTAL, ORG_CHART, DEPTH, NO_COLOR, chart  # noqa: E402

BARE_CALLS = 500
# Calls that hand the client a new object: each costs one more round trip when the client lets
# the object go (COM's remote release), which the journal does not show.
OBJECT_CALLS = {("application", 67, "call"), ("document", 71, "call"), ("document", 69, "call"),
                ("document", 37, "get"), ("shape", 15, "get"), ("line", 10, "get")}


def stand_in_cost(result):
    """(calls, ms answering them, repaints, ms repainting) as the stand-in noted them for the run."""
    for note in result.notes:
        m = re.match(r"# cost (\d+) calls answered in ([\d.]+) ms, (\d+) repaints in ([\d.]+) ms", note)
        if m:
            return int(m.group(1)), float(m.group(2)), int(m.group(3)), float(m.group(4))
    return None


def tree(shapes):
    return [(0, 0, "http://big.com/")] + [(1, 2, "http://big.com/p%d.html" % i) for i in range(shapes - 1)]


def run(shapes, layout, color):
    # One row of children: this spacing keeps them all on the stand-in's page.
    result = chart(tree(shapes), layout, color=color, h=90.0 / shapes, v=1.0, timeout=3600, bare_calls=BARE_CALLS)
    if result.result != "ok" or result.progress != shapes or result.bare_before < 0:
        sys.exit("the run of %d shapes did not complete: %s, %d shapes" % (shapes, result.result, result.progress))
    # The journal holds the bare calls as well as the chart's.
    calls = len(result.calls) - 2 * BARE_CALLS
    bare = (result.bare_before + result.bare_after) / 2000.0
    return result, calls, bare


def main():
    shapes = int(sys.argv[1]) if len(sys.argv) > 1 else 1000
    if not os.path.isdir(winebed.PREFIX):
        winebed.setup()
    # Other work on the machine shows in every figure: say how busy it was.
    print("load average at the start: %.2f %.2f %.2f" % os.getloadavg())
    for layout, color, name in ((HORIZONTAL, NO_COLOR, "horizontal, no colour"),
                                (ORG_CHART, DEPTH, "org chart, colour by depth")):
        result, calls, bare = run(shapes, layout, color)
        per_call = result.millis / calls
        print("%s: %d shapes in %.1f s, %d calls (%.2f a shape), %.2f ms a call; bare call %.2f ms "
              "(before %.2f, after %.2f): %.2f times the bare call" % (
                  name, shapes, result.millis / 1000.0, calls, calls / shapes, per_call, bare,
                  result.bare_before / 1000.0, result.bare_after / 1000.0, per_call / bare))
        objects = sum(c.key() in OBJECT_CALLS for c in result.calls)
        print("   with the %d remote releases of the objects it was handed: %d round trips, %.2f ms each, "
              "%.2f times the bare call" % (objects, calls + objects, result.millis / (calls + objects),
                                            result.millis / (calls + objects) / bare))
        cost = stand_in_cost(result)
        if cost:
            print("   the stand-in's own work: %d calls answered in %.0f ms (%.3f ms a call), %d repaints in %.0f ms" % (
                cost[0], cost[1], cost[1] / max(1, cost[0]), cost[2], cost[3]))
        kinds = collections.Counter("%s %d %s" % c.key() for c in result.calls)
        kinds["application 30 get"] -= 2 * BARE_CALLS
        for key, count in sorted(kinds.items(), key=lambda kv: -kv[1]):
            if count:
                print("   %6d  %s" % (count, key))

    quarter = shapes // 4
    result, calls, bare = run(2 * shapes, HORIZONTAL, NO_COLOR)
    t = result.steps
    first, last = t[quarter] - t[0], t[-1] - t[-1 - quarter]
    print("horizontal, %d shapes in %.1f s: the first %d shapes %.2f s (%.2f ms a shape), the last %d %.2f s "
          "(%.2f ms a shape): %.2f times the first; bare call %.2f ms before, %.2f ms after" % (
              2 * shapes, result.millis / 1000.0, quarter, first / 1e6, first / 1e3 / quarter, quarter,
              last / 1e6, last / 1e3 / quarter, last / first, result.bare_before / 1000.0,
              result.bare_after / 1000.0))
    cost = stand_in_cost(result)
    if cost:
        print("   the stand-in's own work: %d calls answered in %.0f ms (%.3f ms a call), %d repaints in %.0f ms" % (
            cost[0], cost[1], cost[1] / max(1, cost[0]), cost[2], cost[3]))


if __name__ == "__main__":
    main()
