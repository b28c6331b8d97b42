"""Crawl figures of the real tree page against the crawl harness on the same generated site
(not a test): pages per second of each, and the CPU time of the program, the X server and
the Wine server during each crawl, which shows where the difference goes.

  WINEBED_BUILD=build/mingw /usr/bin/python3 bench/tree_page_bench.py [pages] [local|web]

Needs the Wine bed of that build (tests/wine/winebed.py setup)."""
import os
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "wine"))
sys.path.insert(0, HERE)
import winebed  # noqa: E402
from crawl_bench import make_site  # noqa: E402
from crawler.harness import crawl  # noqa: E402

WIZARD = "Pathloom 2.0"
TICKS = os.sysconf("SC_CLK_TCK")


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


def counters():
    texts = winebed.window_texts(WIZARD) or []
    return [t for t in texts if t.endswith("Active tasks") or t.lower().endswith("tasks in the queue")]


def page_crawl(url, depth):
    """Crawls URL through the wizard's tree page; returns (readings, seconds, cpu figures)."""
    with tempfile.TemporaryDirectory() as folder:
        process = winebed.start("Pathloom", cwd=folder)
        try:
            winebed.driver("wait", WIZARD, 30000)
            winebed.driver("type", WIZARD, 1000, url)
            winebed.driver("type", WIZARD, 1003, depth)
            time.sleep(0.5)
            meter = CpuMeter()
            meter.start()
            program_before = cpu_seconds(process.process.pid)
            started = time.time()
            winebed.driver("press", WIZARD, "Next >")
            # The queue counter shows "Tasks" (capital) once the queue has shown anything.
            while counters() != ["0 Active tasks", "0 Tasks in the queue"]:
                time.sleep(0.05)
            seconds = time.time() - started
            cpu = meter.stop()
            cpu["program"] = cpu_seconds(process.process.pid) - program_before
            code, lines = winebed.driver("tree", WIZARD)
            items = [line.split("\t", 2) for line in lines]
            # Read pages: the start page and its children that are no longer "not read".
            readings = 1 + sum(1 for depth, image, _ in items if depth == "1" and image != "2")
        finally:
            winebed.driver("press", WIZARD, "Cancel")
            winebed.stop(process, 20)
            process.close()
    return readings, seconds, cpu


def harness_crawl(url, depth):
    meter = CpuMeter()
    meter.start()
    result = crawl(url, "--depth", depth, timeout=600)
    cpu = meter.stop()
    cpu["program"] = result.figures["cpu_seconds_total"]
    return int(result.figures["tasks"]), result.figures["seconds"], cpu


def report(name, readings, seconds, cpu):
    print("%-30s %4d readings %7.2f s %7.2f pages/s   cpu: program %.2f s, X server %.2f s, "
          "Wine server %.2f s" % (name, readings, seconds, readings / seconds, cpu["program"],
                                  cpu["x_server"], cpu["wine_server"]))


def main():
    pages = int(sys.argv[1]) if len(sys.argv) > 1 else 200
    kind = sys.argv[2] if len(sys.argv) > 2 else "local"
    with tempfile.TemporaryDirectory() as root:
        make_site(root, pages)
        if kind == "local":
            url = winebed.windows_path(os.path.join(root, "index.html"))
            report("harness, local", *harness_crawl(url, 2))
            report("tree page, local", *page_crawl(url, 2))
        else:
            with winebed.http_server(root) as port:
                url = "http://127.0.0.1:%d/index.html" % port
                report("harness, web", *harness_crawl(url, 2))
                report("tree page, web", *page_crawl(url, 2))


if __name__ == "__main__":
    main()
