"""Times a chart of 1000 shapes drawn through the real automation adapter in the Plotwright
stand-in, out of process under Wine, and counts the calls it received per shape. The run is
timed inside the chart program (connection to the stand-in included). Figures for closing
notes, not assertions.

    WINEBED_BUILD=build/mingw /usr/bin/python3 bench/chart_wine_timing.py [shapes]
"""
import collections
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "wine"))
import winebed  # noqa: E402
from chart.charting import HORIZONTAL, ORG_CHART, DEPTH, NO_COLOR, chart  # noqa: E402


def tree(shapes):
    # One row of children: spacing 0.05 keeps a thousand of them inside the chart.
    return [(0, 0, "http://big.com/")] + [(1, 2, "http://big.com/p%d.html" % i) for i in range(shapes - 1)]


def main():
    shapes = int(sys.argv[1]) if len(sys.argv) > 1 else 1000
    if not os.path.isdir(winebed.PREFIX):
        winebed.setup()
    for layout, color, name in ((HORIZONTAL, NO_COLOR, "horizontal, no colour"),
                                (ORG_CHART, DEPTH, "org chart, colour by depth")):
        result = chart(tree(shapes), layout, color=color, h=0.05, v=1.0, timeout=1800)
        kinds = collections.Counter("%s %d %s" % c.key() for c in result.calls)
        print("%s: %d shapes in %.1f s, %d calls, %.2f calls per shape, %.2f ms per call (%s)" % (
            name, result.progress, result.millis / 1000.0, len(result.calls), len(result.calls) / result.progress,
            result.millis / len(result.calls), result.result))
        for key, count in sorted(kinds.items(), key=lambda kv: -kv[1]):
            print("   %6d  %s" % (count, key))


if __name__ == "__main__":
    main()
