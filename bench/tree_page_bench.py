"""Crawl figures of the real tree page against the crawl harness on the same generated site
(not a test): pages per second of each, and the CPU time of the program, the X server and
the Wine server during each crawl, which shows where the difference goes.

  WINEBED_BUILD=build/mingw /usr/bin/python3 bench/tree_page_bench.py [pages|docs|big|twins|site:FOLDER] [local|web|import|growth]

PAGES: a generated site of that many pages crawled to depth 2 (index linking to every page).
"twins": 30 pages linking each other, each with a JSON twin, and 4 JSON files every page and
the index link, crawled to depth 3 (web: one request per distinct page, 64).
"docs": a documentation site, 40 pages of 190 links each, a few of them to other pages of the
site (cross-linked) and the rest elsewhere, crawled to depth 3: about 7,600 nodes from 40
readings, one request per page. "big": the same kind of site grown to about 109,000 nodes
from 573 readings; afterwards a branch of about 4,900 nodes is deleted. "import" shows a
sitemap file of 7,601 nodes instead of crawling.
"site:FOLDER" crawls a real site on this machine from its index.html to depth 3 (a copy of
/usr/share/doc/nodejs/api with its JSON files unpacked beside their .gz is one whose pages each
link a JSON twin full of links); the harness is left out, and with "web" the requests are counted
as soon as the server has had none for a while, without waiting for the tree to be shown whole.
"site:FOLDER growth [SECONDS]" crawls it through the tree page until the crawl ends, memory runs out or
SECONDS pass (default 1800), and prints for each million nodes the nodes per second and the bytes
per node the program's resident set grew by, the longest the window took to answer, and the
program's peak memory; with PERF_AT=N,M... (node counts) it also has `perf record` sample the
program for PERF_SECONDS (default 10) from each of those counts on, into perf-N.data here.
The tree page's figures come from the driver's watch: the time from Next until both counters
read 0, the tree's size at each thousand nodes, and the longest the window took to answer.

Needs the Wine bed of that build (tests/wine/winebed.py setup)."""
import contextlib
import os
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "wine"))
sys.path.insert(0, HERE)
import winebed  # noqa: E402
from crawl_bench import make_site  # noqa: E402
from crawler.harness import crawl  # noqa: E402

WIZARD = "Pathloom 2.0"
TICKS = os.sysconf("SC_CLK_TCK")


def make_docs_site(root, pages=40, links=190, from_index=3, per_page=12):
    """index.html links to FROM_INDEX pages, every page to PER_PAGE others (the site's own
    links); the rest of each page's LINKS lead off the site. At depth 3 that is
    1 + FROM_INDEX + FROM_INDEX * PER_PAGE readings of LINKS links each."""
    names = ["index.html"] + ["page%d.html" % i for i in range(1, pages)]
    for i, name in enumerate(names):
        if i == 0:
            own = names[1:1 + from_index]
        else:
            own = [names[(i + k) % (pages - 1) + 1] for k in range(per_page)]
        off = ["https://www.example.org/reference/%s/topic%d.html" % (name[:-5], k)
               for k in range(links - len(own))]
        with open(os.path.join(root, name), "w") as f:
            f.write("<html><body><h1>%s</h1>\n" % name)
            f.writelines('<a href="%s">%s</a>\n' % (href, href) for href in own + off)
            f.write("</body></html>\n")
    return 1 + from_index + from_index * per_page


def make_twins_site(root, pages=30, shared=4, links=60):
    """A documentation site whose pages each link every other page (its side bar), a JSON twin of
    its own and SHARED JSON files that the index links too, so the same non-HTML files come up at
    depths 1 and 2, and LINKS links off the site. At depth 3 every page and file is read; the
    number of distinct pages is returned."""
    names = ["index.html"] + ["page%d.html" % i for i in range(1, pages)]
    common = ["data/shared%d.json" % k for k in range(shared)]
    os.makedirs(os.path.join(root, "data"))
    for name in common + [n[:-5] + ".json" for n in names]:
        with open(os.path.join(root, name), "w") as f:
            f.write('{"name": "%s", "members": [%s]}\n' % (name, ", ".join(['"m"'] * 200)))
    for name in names:
        own = names[1:] + [name[:-5] + ".json"] + common
        off = ["https://www.example.org/api/%s/topic%d.html" % (name[:-5], k) for k in range(links)]
        with open(os.path.join(root, name), "w") as f:
            f.write("<html><body><h1>%s</h1>\n" % name)
            f.writelines('<a href="%s">%s</a>\n' % (href, href) for href in own + off)
            f.write("</body></html>\n")
    return len(names) * 2 + shared


def start_wizard(folder, url, depth):
    """Pathloom started in FOLDER with URL and DEPTH typed on its start page."""
    process = winebed.start("Pathloom", cwd=folder)
    winebed.driver("wait", WIZARD, 30000)
    winebed.driver("type", WIZARD, 1000, url)
    winebed.driver("type", WIZARD, 1003, depth)
    time.sleep(0.5)
    return process


def cpu_seconds(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / TICKS
    except (OSError, IndexError, ValueError):
        return 0.0


def own_servers():
    """The X server of the bed's display and the Wine server of its prefix (other checkouts
    on the machine run their own)."""
    display, pids = winebed.env().get("DISPLAY"), {"x_server": [], "wine_server": []}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                command = f.read().split(b"\0")
            name = os.path.basename(command[0].decode())
            if name == "Xvfb" and display and display.encode() in command:
                pids["x_server"].append(int(entry))
            elif name.startswith("wineserver"):
                with open("/proc/%s/environ" % entry, "rb") as f:
                    if ("WINEPREFIX=" + winebed.PREFIX).encode() in f.read().split(b"\0"):
                        pids["wine_server"].append(int(entry))
        except (OSError, IndexError):
            continue
    return pids


class CpuMeter:
    """CPU seconds used by the bed's X server and Wine server between start() and stop()."""

    def start(self):
        self.pids = own_servers()
        self.before = {name: sum(map(cpu_seconds, pids)) for name, pids in self.pids.items()}

    def stop(self):
        return {name: sum(map(cpu_seconds, pids)) - self.before[name] for name, pids in self.pids.items()}


def rss_kb(pid, field="VmRSS:"):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith(field):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def watch(until, button=None, timeout=900, button_window=WIZARD):
    """The driver's watch: (seconds, items, longest answer in ms, [(items, ms)] per thousand)."""
    args = ["watch", WIZARD, timeout * 1000, until] + ([button, button_window] if button else [])
    code, lines = winebed.driver(*args, timeout=timeout + 60)
    if code != 0:
        raise RuntimeError("watch %s failed: %s" % (until, lines[-3:]))
    steps, done = [], None
    for line in lines:
        words = line.split()
        if words[0] == "items":
            steps.append((int(words[1]), float(words[3])))
        elif words[0] == "done":
            done = (float(words[2]) / 1000, int(words[4]), float(words[6]))
    return done + (steps,)


def page_crawl(url, depth, then=None, readings=None):
    """Crawls URL through the wizard's tree page, from Next until both counters read 0; returns
    a dict of figures. THEN(figures) runs afterwards with the program still open. Without
    READINGS they are counted in the tree the page shows."""
    with tempfile.TemporaryDirectory() as folder:
        process = start_wizard(folder, url, depth)
        try:
            pid = process.process.pid
            meter = CpuMeter()
            meter.start()
            program_before, rss_before = cpu_seconds(pid), rss_kb(pid)
            seconds, items, answer_ms, steps = watch("idle", "Next >")
            cpu = meter.stop()
            cpu["program"] = cpu_seconds(pid) - program_before
            figures = dict(seconds=seconds, items=items, answer_ms=answer_ms, steps=steps, cpu=cpu,
                           rss_kb=rss_kb(pid) - rss_before)
            if readings is None:
                code, lines = winebed.driver("tree", WIZARD, timeout=900)
                tree = [line.split("\t", 2) for line in lines]
                # Read pages: the nodes that show a reading's result (links, none, or an error).
                readings = sum(1 for _, image, _ in tree if image in ("0", "4", "5", "9"))
            figures["readings"] = readings
            if then:
                then(figures)
        finally:
            winebed.driver("press", WIZARD, "Cancel")
            winebed.stop(process, 600)
            process.close()
    return figures


def page_requests(url, depth, log, quiet_seconds=600, timeout=7200):
    """Starts a crawl of URL through the wizard's tree page and returns the paths the server
    was asked for once it has had no request for QUIET_SECONDS (the tree of a large site may
    take far longer to show than its pages take to read)."""
    with tempfile.TemporaryDirectory() as folder:
        process = start_wizard(folder, url, depth)
        try:
            before = len(winebed.requested_paths(log))
            winebed.driver("press", WIZARD, "Next >")
            start = last_change = time.time()
            count = before
            while time.time() - last_change < quiet_seconds and time.time() - start < timeout:
                time.sleep(2)
                now = len(winebed.requested_paths(log))
                if now != count:
                    count, last_change = now, time.time()
            return winebed.requested_paths(log)[before:], last_change - start
        finally:
            winebed.driver("press", WIZARD, "Cancel")
            winebed.stop(process, 600)
            process.close()


def harness_crawl(url, depth):
    meter = CpuMeter()
    meter.start()
    result = crawl(url, "--depth", depth, timeout=600)
    cpu = meter.stop()
    cpu["program"] = result.figures["cpu_seconds_total"]
    fig = result.figures
    more = "%-30s %d nodes, longest gap between ticks %.0f ms, %.0f bytes per node (working set)" % (
        "", fig["nodes"], fig["longest_tick_gap_ms"],
        (fig["working_set_kb"] - fig["working_set_start_kb"]) * 1024.0 / fig["nodes"])
    return int(fig["tasks"]), fig["seconds"], cpu, more


def report(name, readings, seconds, cpu):
    print("%-30s %4d readings %7.2f s %7.2f pages/s   cpu: program %.2f s, X server %.2f s, "
          "Wine server %.2f s" % (name, readings, seconds, readings / seconds, cpu["program"],
                                  cpu["x_server"], cpu["wine_server"]), flush=True)


def report_page(name, f):
    report(name, f["readings"], f["seconds"], f["cpu"])
    print("%-30s %d nodes, %.0f nodes/s, longest wait for an answer %.0f ms, %.0f bytes per node "
          "(resident set)" % ("", f["items"], f["items"] / f["seconds"], f["answer_ms"],
                              f["rss_kb"] * 1024.0 / max(1, f["items"])), flush=True)


def report_growth(steps):
    """Milliseconds per thousand nodes over the first and the last tenth of the nodes (at least
    a thousand each; the first thousand, which holds the page's start, left out), from the
    watch's looks at the tree."""
    if len(steps) < 3:
        return

    def at(items):  # ms when the tree reached ITEMS nodes, between two looks
        for (a, ta), (b, tb) in zip(steps, steps[1:]):
            if a <= items <= b and b > a:
                return ta + (tb - ta) * (items - a) / (b - a)
        return None

    total = steps[-1][0]
    span = max(1000, total // 10)
    first, last = (1000, 1000 + span), (total - span, total)
    if first[1] >= last[0]:
        return
    rate = lambda r: (at(r[1]) - at(r[0])) * 1000.0 / (r[1] - r[0])
    print("    ms per thousand nodes: %.0f from %d to %d, %.0f from %d to %d" % (
        rate(first), first[0], first[1], rate(last), last[0], last[1]), flush=True)


def make_sitemap(path, tops=40, children=189):
    """A sitemap file of TOPS pages of CHILDREN links each under one start page."""
    entry = '<param name="URL" value="%s">\r\n'
    with open(path, "w", newline="") as f:
        f.write("[Sitemap 1.0]\r\n<UL>\r\n" + entry % "http://www.example.com/" + "<UL>\r\n")
        for i in range(tops):
            f.write(entry % ("http://www.example.com/page%d.html" % i) + "<UL>\r\n")
            for k in range(children):
                f.write(entry % ("http://www.example.org/reference/page%d/topic%d.html" % (i, k)))
            f.write("</UL>\r\n")
        f.write("</UL>\r\n</UL>\r\n")
    return 1 + tops * (1 + children)


def import_figures(folder):
    """Seconds from Open in the file dialog until the tree page shows the imported tree."""
    path = os.path.join(folder, "docs.smp")
    nodes = make_sitemap(path)
    process = winebed.start("Pathloom", cwd=folder)
    try:
        winebed.driver("wait", WIZARD, 30000)
        winebed.driver("press", WIZARD, "Import...")
        winebed.driver("wait", "Open", 10000)
        winebed.driver("save", "Open", winebed.windows_path(path), "-")
        seconds, items, answer_ms, _ = watch("count>=%d" % nodes, "Open", button_window="Open")
        print("%-30s %d nodes shown in %.2f s" % ("sitemap import", items, seconds), flush=True)
    finally:
        winebed.driver("press", WIZARD, "Cancel")
        winebed.stop(process, 600)
        process.close()


def delete_branch(label, size):
    """Deletes the node LABEL with its branch of SIZE nodes, timed from Yes until the tree view
    has lost them."""
    def delete(figures):
        winebed.driver("select", WIZARD, label, timeout=900)
        winebed.driver("treekey", WIZARD, "delete")
        winebed.driver("wait", WIZARD, 10000)
        time.sleep(0.5)
        seconds, items, answer_ms, _ = watch("count<=%d" % (figures["items"] - size), "Yes")
        print("%-30s %d of %d nodes in %.2f s" % ("delete a branch", size, figures["items"], seconds),
              flush=True)
    return delete


def site_requests(folder, depth, kind):
    """The requests of a real site's crawl through the tree page, against the harness's."""
    with tempfile.TemporaryDirectory() as logs:
        log = os.path.join(logs, "requests.log")
        with winebed.http_server(folder, log) as port:
            url = "http://127.0.0.1:%d/index.html" % port
            if kind == "harness":
                crawl(url, "--depth", depth, timeout=1800)
                asked, seconds = winebed.requested_paths(log), 0
            else:
                asked, seconds = page_requests(url, depth, log)
        twice = sorted(path for path in set(asked) if asked.count(path) > 1)
        print("%-30s %d requests for %d pages in %.0f s; asked more than once: %d %s" % (
            "%s, depth %d" % ("harness" if kind == "harness" else "tree page", depth), len(asked),
            len(set(asked)), seconds, len(twice), " ".join(twice[:8])), flush=True)


def site_growth(folder, depth, seconds):
    """The tree of a real site shown by the tree page as it grows: see the docstring."""
    perf_at = sorted(int(n) for n in os.environ.get("PERF_AT", "").split(",") if n)
    perf_seconds = os.environ.get("PERF_SECONDS", "10")
    with tempfile.TemporaryDirectory() as work, winebed.http_server(folder) as port:
        process = start_wizard(work, "http://127.0.0.1:%d/index.html" % port, depth)
        pid, samples, done, perfs = process.process.pid, [], threading.Event(), []
        try:
            def sample():  # (seconds, resident kB, address space kB, program's CPU seconds), each second
                started = time.time()
                while not done.is_set():
                    samples.append((time.time() - started, rss_kb(pid), rss_kb(pid, "VmSize:"), cpu_seconds(pid)))
                    done.wait(1)
            sampler = threading.Thread(target=sample)
            sampler.start()
            driver = subprocess.Popen(
                winebed._command("wine_driver", ["watch", WIZARD, seconds * 1000, "idle", "Next >"]),
                env=winebed.env(), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
            steps, end = [], None
            for line in driver.stdout:
                words = line.split()
                if words and words[0] == "items":
                    steps.append((int(words[1]), float(words[3]) / 1000))
                    while perf_at and steps[-1][0] >= perf_at[0]:
                        perfs.append(subprocess.Popen(
                            ["perf", "record", "-q", "-p", str(pid), "-o", "perf-%d.data" % perf_at.pop(0),
                             "--", "sleep", perf_seconds], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
                elif words and words[0] == "slow":
                    print(line.strip(), flush=True)
                elif words and words[0] == "done":
                    end = line.split()
            driver.wait()
            done.set()
            sampler.join()
            for perf in perfs:
                perf.wait()
            texts = winebed.driver("texts", WIZARD)[1]
            winebed.driver("answer", WIZARD, "OK")  # the out-of-memory message, if shown
        finally:
            closing = time.time()
            winebed.driver("press", WIZARD, "Cancel")
            status = winebed.stop(process, 600)
            closing = time.time() - closing
            process.close()
    report_site_growth(steps, samples, end, texts)
    print("Cancel to the end of the program: %.1f s (status %s)" % (closing, status))


def report_site_growth(steps, samples, end, texts):
    def at(table, x, value):  # table's value at x (interpolated on the first column)
        if table and x <= table[0][0]:
            return table[0][value]
        for a, b in zip(table, table[1:]):
            if a[0] <= x <= b[0] and b[0] > a[0]:
                return a[value] + (b[value] - a[value]) * (x - a[0]) / (b[0] - a[0])
        return table[-1][value] if table else 0
    total = steps[-1][0] if steps else 0
    print("%d nodes in %.0f s (%s); peak resident %.0f MB, address space %.0f MB" % (
        total, steps[-1][1] if steps else 0, "crawl ended" if end else "stopped watching",
        max(s[1] for s in samples) / 1024, max(s[2] for s in samples) / 1024), flush=True)
    if end:
        print("longest wait for an answer: %s ms" % end[-1])
    # Per CPU second of the program too: the machine may be busy with other work.
    print("million   nodes/s   nodes/CPU s   bytes/node (resident)")
    for m in range(0, total // 1000000):
        t0, t1 = at(steps, m * 1000000, 1), at(steps, (m + 1) * 1000000, 1)
        r0, r1 = at(samples, t0, 1), at(samples, t1, 1)
        c0, c1 = at(samples, t0, 3), at(samples, t1, 3)
        print("%7d %9.0f %13.0f %12.0f" % (m + 1, 1000000 / (t1 - t0), 1000000 / max(c1 - c0, 0.01),
                                           (r1 - r0) * 1024 / 1000000), flush=True)
    for line in texts:
        if "memory" in line or "000,000" in line:
            print("shown:", line.split("\t", 1)[-1])


def main():
    shape = sys.argv[1] if len(sys.argv) > 1 else "200"
    kind = sys.argv[2] if len(sys.argv) > 2 else "local"
    depth = 2 if shape.isdigit() else 3
    if shape.startswith("site:") and kind == "growth":
        site_growth(shape[5:], depth, int(sys.argv[3]) if len(sys.argv) > 3 else 1800)
        return
    if shape.startswith("site:"):
        site_requests(shape[5:], depth, kind)
        return
    with tempfile.TemporaryDirectory() as root:
        readings = None
        if shape == "docs":
            make_docs_site(root)
        elif shape == "twins":
            make_twins_site(root)
        elif shape == "big":  # about 109,000 nodes from 573 readings
            readings = make_docs_site(root, from_index=22, per_page=25)
        else:
            make_site(root, int(shape))
        if kind == "import":
            import_figures(root)
            return
        log = os.path.join(root, "requests.log")
        with contextlib.ExitStack() as stack:
            if kind == "local":
                url = winebed.windows_path(os.path.join(root, "index.html"))
            else:
                url = "http://127.0.0.1:%d/index.html" % stack.enter_context(winebed.http_server(root, log))
            if shape != "big":
                harness_readings, seconds, cpu, more = harness_crawl(url, depth)
                report("harness, " + kind, harness_readings, seconds, cpu)
                print(more, flush=True)
            asked_before = len(winebed.requested_paths(log)) if kind == "web" else 0
            # The big site's first page read below the start page has 25 of its 190 links read.
            then = delete_branch(url.rsplit("index.html", 1)[0] + "page1.html", 1 + 190 + 25 * 190)
            figures = page_crawl(url, depth, then if shape == "big" else None, readings)
            report_page("tree page, " + kind, figures)
            report_growth(figures["steps"])
            if kind == "web":
                asked = winebed.requested_paths(log)[asked_before:]
                print("    %d requests for %d pages" % (len(asked), len(set(asked))), flush=True)


if __name__ == "__main__":
    main()
