"""Drives the real Pathloom through its wizard for the main command (scripts/run.sh): the start
page with a site (by default the sample site, served on 127.0.0.1 for the run), the tree page until
the crawl ends, an export of the tree as a sitemap file, the chart options page, then the finish
page once per layout, each charted in the Plotwright stand-in (saved as SVG, and drawn as PNG by
rsvg-convert) and written as a sitemap file; a screenshot of each page and chart. What Pathloom says
of a chart cut at its page's edge is printed. Leaves the wizard open when there is a display."""
import glob
import html
import os
import re
import shutil
import subprocess
import sys
import time

import winebed

TITLE, OPTIONS = "Pathloom 2.0", "Chart Options"
URL, DEPTH, LINKS_ONCE, ACTIVE, QUEUED = 1000, 1003, 1028, 1035, 1036
LAYOUTS = ((1011, "horizontal"), (1012, "vertical"), (1013, "org_chart"))
SAVE_SITEMAP, SITEMAP_NAME, CLOSING_TEXT = 1042, 1043, 1056
# A printout longer than this is cut; Pathloom's message when a chart reached its page's edge.
PRINTED_LINES, TOO_MUCH_DATA = 200, "There is too much data to fit in the chart."
# The stand-in's View menu.
ZOOM_OUT, ACTUAL_SIZE, ZOOM_TO_FIT = 1011, 1012, 1013


def control_text(window, ident):
    code, lines = winebed.driver("control", window, ident)
    return lines[0].split("\t", 2)[2] if code == 0 and lines else ""


def current_page(window):
    code, lines = winebed.driver("page", window)
    return int(lines[0]) if code == 0 and lines else None


def wait(check, seconds, what):
    deadline = time.time() + seconds
    while not check():
        if time.time() > deadline:
            sys.exit("Pathloom did not reach %s (screenshot: %s)" % (what, winebed.screenshot("pathloom_stuck")))
        time.sleep(0.2)


def finish_run_ended(said):
    # Without a sitemap.txt beside it, Pathloom says it uses its built-in template.
    box = winebed.window_texts(TITLE, 0) or []
    if "OK" in box:
        said.extend(text for text in box if text != "OK")
        winebed.driver("answer", TITLE, "OK")
    code, lines = winebed.driver("control", TITLE, CLOSING_TEXT)
    return current_page(TITLE) == 3 and code == 0 and lines[0].startswith("enabled")


QUEUED_ICON = 8


def crawl_ended(window=TITLE, listed=None):
    """Both counters read 0 and no node waits to be read. The counters alone read 0 until the
    first tick of a crawl, and a short crawl may end before any tick shows it running; LISTED keeps the tree read."""
    if not (control_text(window, ACTIVE).startswith("0 ") and control_text(window, QUEUED).startswith("0 ")):
        return False
    code, items = winebed.driver("tree", window)
    if listed is not None:
        listed[:] = items
    return code == 0 and bool(items) and not any(line.split("\t")[1] == str(QUEUED_ICON) for line in items)


def render(svg, png):
    """Draws the SVG as a PNG with librsvg, as an image viewer shows it; returns the PNG's path,
    or None without rsvg-convert or when it fails."""
    if not shutil.which("rsvg-convert"):
        return None
    r = subprocess.run(["rsvg-convert", "--background-color", "white", "-o", png, svg], capture_output=True)
    return png if r.returncode == 0 else None


def main():
    site = os.environ.get("PATHLOOM_URL")
    depth = os.environ.get("PATHLOOM_DEPTH")
    if site:
        # A site of today links most pages from every page: the full tree would repeat each
        # branch under every link to it, millions of nodes at depth 3.
        return drive(site, depth or "1", links_once=True)
    # The sample site as a web site: its labels are then page names, as for any site on the web.
    # Its broken links: a missing page, a page the server fails with 500, a port nothing listens on.
    with winebed.http_server(os.path.join(winebed.SOURCE, "samples", "site"), failing="/about/order.html") as port:
        return drive("http://127.0.0.1:%d/index.html" % port, depth or "3")


def print_tree(tree):
    print("The tree (depth, icon, URL):")
    print("\n".join("  " + line for line in tree[:PRINTED_LINES]))
    if len(tree) > PRINTED_LINES:
        print("  ... (the first %d of %d lines)" % (PRINTED_LINES, len(tree)))
    print("%d nodes" % len(tree))


def save_broken_links(report):
    """"Save Broken Links..." from the selected node's context menu; prints each broken address."""
    if os.path.exists(report):
        os.remove(report)
    winebed.driver("treekey", TITLE, "apps")
    winebed.driver("menu", "s")
    if winebed.driver("wait", "Save As", 10000)[0] != 0:
        sys.exit("no save dialog for the broken links report")
    winebed.driver("save", "Save As", winebed.windows_path(report))
    wait(lambda: os.path.exists(report), 60, "the broken links report")
    rows = re.findall(r'<tr class="broken"><td>(.*?)</td><td>(.*?)</td>', open(report, encoding="latin-1").read())
    print("broken links report: %s (%d broken addresses)" % (report, len(rows)))
    for address, reason in rows:
        print("  %s: %s" % (html.unescape(re.sub("<[^>]*>", "", address)), html.unescape(reason)))


def drive(site, depth, links_once=False):
    out = winebed.ARTIFACTS
    os.makedirs(out, exist_ok=True)
    sitemap = os.path.join(out, "pathloom_tree.smp")
    if os.path.exists(sitemap):
        os.remove(sitemap)
    shots = []

    # Started in the folder of the .exe, where its help page is.
    pathloom = winebed.start("Pathloom", cwd=os.path.dirname(winebed.exe("Pathloom")))
    if winebed.driver("wait", TITLE, 30000)[0] != 0:
        sys.exit("Pathloom's wizard did not open")
    print("Reading %s to depth %s" % (site, depth))
    winebed.driver("type", TITLE, URL, site)
    winebed.driver("type", TITLE, DEPTH, depth)
    if links_once:
        winebed.driver("click", TITLE, LINKS_ONCE)
        print("Ticked \"Show each page's links only once\" on the start page: a link to a page "
              "already read is shown, but not read again.")
    winebed.driver("painted", TITLE)
    shots.append(winebed.screenshot("pathloom_1_start_page"))
    winebed.driver("press", TITLE, "Next >")
    started = time.time()
    wait(lambda: current_page(TITLE) == 1, 20, "the tree page")
    time.sleep(0.5)
    tree = []
    wait(lambda: crawl_ended(TITLE, tree), 600, "the end of the crawl")
    print("The crawl ended %.1f s after Next (as polled)" % (time.time() - started))
    print_tree(tree)
    shots.append(winebed.screenshot("pathloom_2_tree_page"))

    # Export the whole tree: its top node, then "Export sitemap file..." from its context menu.
    if tree:
        top = tree[0].split("\t", 2)[2]
        winebed.driver("select", TITLE, top)
        winebed.driver("treekey", TITLE, "apps")
        winebed.driver("menu", "e")
        if winebed.driver("wait", "Save As", 10000)[0] == 0:
            winebed.driver("save", "Save As", winebed.windows_path(sitemap))
            winebed.driver("gone", "Save As", 10000)
            # Without a sitemap.txt beside it, Pathloom says it uses its built-in template.
            if not os.path.exists(os.path.join(os.path.dirname(winebed.exe("Pathloom")), "sitemap.txt")):
                wait(lambda: winebed.driver("answer", TITLE, "OK")[0] == 0, 20, "the template message")
            wait(lambda: os.path.exists(sitemap), 20, "the exported sitemap file")
            print("sitemap file:", sitemap)
        save_broken_links(os.path.join(out, "pathloom_broken_links.html"))

    winebed.driver("press", TITLE, "Next >")
    wait(lambda: current_page(OPTIONS) == 2, 20, "the chart options page")
    winebed.driver("painted", OPTIONS)
    shots.append(winebed.screenshot("pathloom_3_chart_options_page"))
    # The finish page, once per layout: each run draws in the stand-in, which saves the drawing.
    drawings = os.path.join(out, "charts")
    os.makedirs(drawings, exist_ok=True)
    for old in glob.glob(os.path.join(drawings, "*.svg")):
        os.remove(old)
    winebed.register_plotwright(svg_folder=drawings)
    chart_sitemap = os.path.join(out, "pathloom_chart.smp")
    winebed.driver("click", OPTIONS, SAVE_SITEMAP)
    winebed.driver("type", OPTIONS, SITEMAP_NAME, winebed.windows_path(chart_sitemap))
    charts, drawn, cut = [], [], False
    for button, name in LAYOUTS:
        if current_page(TITLE) == 3:
            winebed.driver("press", TITLE, "< Back")
            wait(lambda: current_page(OPTIONS) == 2, 20, "the chart options page again")
        before = set(glob.glob(os.path.join(drawings, "*.svg")))
        winebed.driver("click", OPTIONS, button)
        winebed.driver("press", OPTIONS, "Next >")
        said = []
        wait(lambda: finish_run_ended(said), 600, "the end of the %s chart" % name.replace("_", " "))
        for text in (t for t in said if t.startswith(TOO_MUCH_DATA)):
            print("Pathloom, drawing the %s layout, said: %s" % (name.replace("_", " "), text))
            cut = True
        winebed.driver("painted", winebed.PLOTWRIGHT_WINDOW)
        shots.append(winebed.screenshot("pathloom_4_chart_" + name))
        # The middle of the chart at about half size (100% less three steps of 1.25), then fitted again.
        for command in (ACTUAL_SIZE, ZOOM_OUT, ZOOM_OUT, ZOOM_OUT):
            winebed.driver("command", winebed.PLOTWRIGHT_WINDOW, command)
        winebed.driver("painted", winebed.PLOTWRIGHT_WINDOW)
        shots.append(winebed.screenshot("pathloom_4_chart_%s_at_half_size" % name))
        winebed.driver("command", winebed.PLOTWRIGHT_WINDOW, ZOOM_TO_FIT)
        for svg in sorted(set(glob.glob(os.path.join(drawings, "*.svg"))) - before):
            charts.append(svg)
            png = render(svg, os.path.join(out, "pathloom_6_svg_%s.png" % name))
            if png:
                drawn.append(png)
    interactive = os.environ.get("DISPLAY") and not os.environ.get("CI")
    if not interactive:
        winebed.stop_plotwright()
        winebed.driver("painted", TITLE)
        shots.append(winebed.screenshot("pathloom_5_finish_page"))
    if cut:
        print("To chart one branch whole, run Pathloom yourself, right-click its node on the tree page, choose "
              "\"Set as top of chart\" and go on to the finish page.")
    for drawing in charts:
        print("chart:", drawing)
    for png in drawn:
        print("chart as an image viewer draws it:", png)
    print("sitemap file:", chart_sitemap)
    for shot in shots:
        print("screenshot:", shot)

    if interactive:
        print("Pathloom and the last chart are open; close them to finish.")
        return winebed.stop(pathloom, None)
    winebed.driver("press", TITLE, "Finish")
    status = winebed.stop(pathloom, 20)
    print("Pathloom exited with", status)
    return status


if __name__ == "__main__":
    sys.exit(main())
