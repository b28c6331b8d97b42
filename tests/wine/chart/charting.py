"""Charts a tree through the real automation adapter and the Plotwright stand-in under Wine,
and reads back what the stand-in received: its journal, one call a line, and the drawings it
saved."""
import glob
import json
import os
import tempfile

import winebed

HORIZONTAL, VERTICAL, ORG_CHART = 0, 1, 2
DOMAINS, DUPLICATES, DEPTH, NO_COLOR = 0, 1, 2, 3

# Every call the chart run may make: (object kind, DISPID, kind of call).
INTERFACE = {
    ("application", 30, "get"), ("application", 31, "put"), ("application", 31, "get"),
    ("application", 67, "call"), ("application", 25, "put"), ("application", 63, "call"),
    ("application", 33, "get"), ("application", 64, "call"), ("application", 65, "call"),
    ("document", 4, "put"), ("document", 53, "put"), ("document", 2, "put"), ("document", 6, "put"),
    ("document", 7, "put"), ("document", 6, "get"), ("document", 7, "get"), ("document", 71, "call"),
    ("document", 69, "call"), ("document", 37, "get"), ("document", 89, "call"), ("document", 66, "call"),
    ("document", 81, "call"), ("document", 55, "put"), ("shape", 24, "get"), ("shape", 5, "put"),
    ("shape", 17, "put"), ("shape", 15, "get"), ("shape", 3, "put"), ("shape", 4, "put"),
    ("link", 15, "put"), ("link", 9, "put"), ("line", 34, "call"), ("line", 10, "get"),
    ("lineformat", 11, "put"), ("lineformat", 5, "put"), ("page", 9, "get"), ("page", 15, "put"),
}


class Call:
    def __init__(self, line):
        target, dispid, self.kind, args = line.split(" ", 3)
        self.target = target
        self.object_kind = target.rstrip("0123456789")
        self.dispid = int(dispid)
        self.args = json.loads(args)

    def key(self):
        return (self.object_kind, self.dispid, self.kind)

    def __repr__(self):
        return "%s %d %s %s" % (self.target, self.dispid, self.kind, json.dumps(self.args))


class Chart:
    """What one chart run left: the test program's report, the journal and the saved drawings."""

    def __init__(self, report, journal, drawings):
        self.messages = [int(line.split()[1]) for line in report if line.startswith("message ")]
        fields = dict(line.split(" ", 1) for line in report if " " in line)
        self.progress = int(fields.get("progress", -1))
        self.millis = int(fields.get("millis", -1))
        self.result = fields.get("result")
        # With bare calls timed: microseconds a call before and after, and each drop's time.
        self.bare_before = int(fields.get("bare_before_us", -1))
        self.bare_after = int(fields.get("bare_after_us", -1))
        self.steps = [int(line.split()[2]) for line in report if line.startswith("step ")]
        self.calls = [Call(line) for line in journal if line and not line.startswith("#")]
        self.notes = [line for line in journal if line.startswith("#")]
        self.drawings = drawings

    def drops(self):
        """(x, y, label) of every shape dropped, in order."""
        out, x, y = [], None, None
        label_of = {}
        for c in self.calls:
            if c.target.startswith("document") and c.kind == "put" and c.dispid in (6, 7):
                if c.dispid == 6:
                    x = c.args[0]
                else:
                    y = c.args[0]
            elif c.target.startswith("document") and c.dispid == 71:
                out.append([x, y, None])
                label_of["shape%d" % len(out)] = out[-1]
            elif c.object_kind == "shape" and c.dispid == 17 and c.target in label_of:
                label_of[c.target][2] = c.args[0]
        return [tuple(d) for d in out]

    def lines(self):
        return [repr(c) for c in self.calls]


def write_tree(path, nodes):
    """nodes: (depth, icon, label) in pre-order, as the crawl harness prints them."""
    with open(path, "w") as f:
        for depth, icon, label in nodes:
            f.write("  " * depth + label + " #%d\n" % icon)


def register(journal, drawings, version=None, fail_at=None):
    winebed.register_plotwright(version=version, journal=journal, svg_folder=drawings, fail_at=fail_at)


def chart(nodes, orientation, color=NO_COLOR, h=1.5, v=1.5, duplicate_children=True, version=None,
          fail_at=None, after=None, timeout=120, bare_calls=None):
    """Charts the tree through a stand-in started for this run alone. `after` is called once
    the chart program has ended, while the stand-in still shows the drawing. With `bare_calls`,
    the chart program also times that many plain calls before and after the chart."""
    with tempfile.TemporaryDirectory() as work:
        tree, report = os.path.join(work, "tree.txt"), os.path.join(work, "report.txt")
        journal, drawings = os.path.join(work, "journal.txt"), os.path.join(work, "svg")
        os.makedirs(drawings)
        write_tree(tree, nodes)
        register(journal, drawings, version, fail_at)
        r = winebed.run("chart_run", [winebed.windows_path(report), winebed.windows_path(tree), orientation,
                                      color, h, v, int(duplicate_children)] + ([bare_calls] if bare_calls else []),
                           timeout=timeout)
        assert r.returncode == 0, "chart_run ended with %d: %s" % (r.returncode, r.stderr[-2000:])
        if after:
            after()
        # The next chart must start a stand-in of its own, with its own options.
        winebed.stop_plotwright()
        with open(report) as f:
            report_lines = f.read().splitlines()
        with open(journal, encoding="latin-1") as f:
            journal_lines = f.read().splitlines()
        svgs = {}
        for path in glob.glob(os.path.join(drawings, "*.svg")):
            with open(path, encoding="utf-8") as f:
                svgs[os.path.basename(path)] = f.read()
        return Chart(report_lines, journal_lines, svgs)
