"""Crawl figures under Wine (not a test): readings per second of local and loopback web
crawls, server requests per distinct page, CPU time while an open crawl is idle, and memory
after a long crawl.

  WINEBED_BUILD=build/mingw /usr/bin/python3 bench/crawl_bench.py [pages] [big_pages]
  WINEBED_BUILD=build/mingw /usr/bin/python3 bench/crawl_bench.py site FOLDER [depth] [start]
  WINEBED_BUILD=build/mingw /usr/bin/python3 bench/crawl_bench.py large [pages] [megabytes]

"site" crawls a real site on this machine instead (say /usr/share/doc/nodejs/api), served on
127.0.0.1, from START (index.html) to DEPTH (2).

"large" crawls PAGES web pages of MEGABYTES each (10 then 40 pages of 4 MB), then a page of 20 MB
and one that never ends: the working set at the start, the end and its peak show whether a
crawl holds more than one page at a time, and the cut pages whether the cap holds.

Needs the Wine bed of that build (tests/wine/winebed.py setup) and crawl_harness.exe."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "wine"))
import winebed  # noqa: E402
from crawler.harness import crawl, make_cross_linked_site  # noqa: E402
from crawler.misbehaving import WebServer, endless, reply  # noqa: E402


def make_site(root, pages):
    """index.html links to page1..page(N-1); each page links back and to its neighbour."""
    with open(os.path.join(root, "index.html"), "w") as f:
        f.write("<html><body>\n")
        for i in range(1, pages):
            f.write('<a href="page%d.html">Page %d</a>\n' % (i, i))
        f.write("</body></html>\n")
    for i in range(1, pages):
        with open(os.path.join(root, "page%d.html" % i), "w") as f:
            f.write('<html><body><h1>Page %d</h1><a href="index.html">Home</a> '
                    '<a href="page%d.html">Next</a></body></html>\n' % (i, i % (pages - 1) + 1))


def report(name, result, requests=None):
    fig = result.figures
    served = ""
    if requests is not None:
        served = "  requests %d for %d pages (%.2f each)" % (
            len(requests), len(set(requests)), len(requests) / max(1, len(set(requests))))
    print("%-26s readings %5d  %7.2f s  %7.2f readings/s  longest tick gap %d ms  cpu %.2f s  "
          "idle cpu %.3f s over %.0f s  working set %d KB (peak %d KB)%s" % (
              name, fig["tasks"], fig["seconds"], fig["pages_per_second"], fig["longest_tick_gap_ms"],
              fig["cpu_seconds_total"], fig["cpu_seconds_idle"], fig["idle_seconds"],
              fig["working_set_kb"], fig["peak_working_set_kb"], served), flush=True)
    assert not any("Timeout" in line for line in result.lines)


def local_and_web(name, root, depth, linger=False):
    index = winebed.windows_path(os.path.join(root, "index.html"))
    report("local " + name, crawl(index, "--depth", depth, timeout=600))
    if linger:
        report("local, then idle 30 s", crawl(index, "--depth", depth, "--linger", 30, timeout=600))
    log = os.path.join(root, "requests.log")
    with winebed.http_server(root, log) as port:
        url = "http://127.0.0.1:%d/index.html" % port
        result = crawl(url, "--depth", depth, timeout=600)
    report("web " + name, result, winebed.requested_paths(log))


def real_site(folder, depth, start):
    log = tempfile.NamedTemporaryFile(suffix=".log", delete=False).name
    with winebed.http_server(folder, log) as port:
        url = "http://127.0.0.1:%d/%s" % (port, start)
        result = crawl(url, "--depth", depth, timeout=1800)
    report("web %s, depth %s" % (os.path.basename(folder.rstrip("/")), depth), result,
           winebed.requested_paths(log))
    os.remove(log)


def memory(name, result):
    fig = result.figures
    print("%-26s readings %5d  %7.2f s  working set at start %d KB, at the end %d KB, peak %d KB"
          % (name, fig["tasks"], fig["seconds"], fig["working_set_start_kb"], fig["working_set_kb"],
             fig["peak_working_set_kb"]), flush=True)


def large_pages(counts, megabytes):
    """index.html links to COUNT pages of MEGABYTES each; each links to the next one every 64 KB
    of its text, so every piece of a page brings links."""
    filler = b"x" * (65536 - 40)
    for count in counts:
        def respond(path, count=count):
            if path == "/index.html":
                return reply(b"".join(b'<a href="/page%d.html">p</a>' % i for i in range(count)))
            i = int(path[len("/page"):-len(".html")])
            link = b'<a href="/page%d.html">n</a>\n' % ((i + 1) % count)
            return reply((link + filler) * (megabytes * 16))

        with WebServer(respond) as server:
            result = crawl("http://127.0.0.1:%d/index.html" % server.port, "--depth", 2, timeout=1800)
        memory("%d pages of %d MB" % (count, megabytes), result)
    early = b'<a href="/early.html">e</a>'
    for name, respond in (("a page of 20 MB", lambda: reply(early + b" " * (20 << 20))),
                          ("a page that never ends", lambda: endless(early))):
        with WebServer(lambda path: respond() if path == "/" else None) as server:
            result = crawl("http://127.0.0.1:%d/" % server.port, "--timeout", 120, timeout=600)
        memory(name, result)
        print("  exit status %d, last lines %s" % (result.returncode, result.lines[-2:]), flush=True)


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "large":
        megabytes = int(sys.argv[3]) if len(sys.argv) > 3 else 4
        large_pages([int(sys.argv[2])] if len(sys.argv) > 2 else [10, 40], megabytes)
        return
    if len(sys.argv) > 2 and sys.argv[1] == "site":
        real_site(sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else 2,
                  sys.argv[4] if len(sys.argv) > 4 else "index.html")
        return
    pages = int(sys.argv[1]) if len(sys.argv) > 1 else 200
    big = int(sys.argv[2]) if len(sys.argv) > 2 else 5000
    with tempfile.TemporaryDirectory() as root:
        make_cross_linked_site(root, 40)
        local_and_web("cross-linked 40, depth 3", root, 3)
    with tempfile.TemporaryDirectory() as root:
        make_site(root, pages)
        local_and_web("%d pages, depth 2" % pages, root, 2, linger=True)
    if big:
        with tempfile.TemporaryDirectory() as root:
            make_site(root, big)
            index = winebed.windows_path(os.path.join(root, "index.html"))
            report("local %d pages" % big, crawl(index, "--depth", 2, timeout=900))


if __name__ == "__main__":
    main()
