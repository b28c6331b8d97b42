"""Runs crawl_harness under Wine and reads what it printed: status lines, messages, counter
changes, the final tree as (depth, icon, label) and the figures."""
import os
import shutil
import socket
import threading
import time

import winebed

HERE = os.path.dirname(os.path.abspath(__file__))
SITE = os.path.join(HERE, "site")

# Icon numbers of the site tree.
PAGE_WITH_LINKS, NOT_READ, MAIL_LINK, READ_ERROR, NO_LINKS = 0, 2, 3, 4, 5
IMAGE_MAP, PAGE_LIMIT, QUEUED, TOP_OF_CHART, FILE = 6, 7, 8, 9, 12

TIMEOUT_LINE = "Timeout limit reached - Task Aborted"
DONE_LINE = "Done reading page."


class Crawl:
    def __init__(self, completed):
        self.returncode = completed.returncode
        self.stdout = completed.stdout
        self.lines, self.messages, self.counters, self.tree = [], [], [], []
        self.figures = {}
        for raw in completed.stdout.splitlines():
            kind, _, text = raw.rstrip("\r").partition(": ")
            if kind == "status":
                self.lines.append(text)
            elif kind == "message":
                self.messages.append(text)
            elif kind == "counter":
                self.counters.append(text)
            elif kind == "tree":
                depth, icon, label = text.split(" ", 2)
                self.tree.append((int(depth), int(icon), label))
            elif kind == "figure":
                words = text.split()
                for name, value in zip(words[::2], words[1::2]):
                    self.figures[name] = float(value)

    def final_counters(self):
        """The two counters as last shown (the dialog's own texts when never changed)."""
        active, queue = "0 Active tasks", "0 tasks in the queue"
        for text in self.counters:
            if "Active" in text:
                active = text
            else:
                queue = text
        return active, queue

    def icon(self, label):
        icons = [icon for _, icon, l in self.tree if l == label]
        assert len(icons) == 1, "%s appears %d times" % (label, len(icons))
        return icons[0]

    def children(self, label):
        """Labels of the children of the one node with this label."""
        for i, (depth, _, l) in enumerate(self.tree):
            if l == label:
                result = []
                for d, _, child in self.tree[i + 1:]:
                    if d <= depth:
                        break
                    if d == depth + 1:
                        result.append(child)
                return result
        raise KeyError(label)

    def readings(self):
        """The status lines split per reading: [(opened URL, lines after the opening line)]."""
        result = []
        for line in self.lines:
            if line.startswith("Opening "):
                result.append((line[len("Opening "):], []))
            elif result and line not in ("Connecting to the internet...",):
                result[-1][1].append(line)
        return result


def crawl(url, *args, timeout=120):
    completed = winebed.run("crawl_harness", [*map(str, args), url], timeout=timeout)
    return Crawl(completed)


def pathloom_crawl(url, depth, timeout=300, poll=0.5):
    """Crawls URL through Pathloom's own wizard: the start page's URL and depth, Next, then the
    tree page until the crawl has ended. Polls every POLL seconds: each look starts a program
    under Wine, which slows the crawl. Returns the seconds from Next to the end as polled, and
    the tree view's items as (depth, image, label)."""
    from drive_wizard import crawl_ended
    process = winebed.start("Pathloom")
    try:
        if winebed.window_texts("Pathloom 2.0", 20000) is None:
            raise RuntimeError("no wizard window")
        winebed.driver("type", "Pathloom 2.0", 1000, url)
        winebed.driver("type", "Pathloom 2.0", 1003, depth)
        started = time.time()
        winebed.driver("press", "Pathloom 2.0", "Next >")
        while True:
            if time.time() - started > timeout:
                raise RuntimeError("the crawl did not end in %d s" % timeout)
            time.sleep(poll)
            if crawl_ended():
                break
        seconds = time.time() - started
        code, items = winebed.driver("tree", "Pathloom 2.0", timeout=timeout)
        if code != 0:
            raise RuntimeError("no tree view")
        winebed.driver("press", "Pathloom 2.0", "Cancel")
    finally:
        winebed.stop(process, 20)
    tree = []
    for line in items:
        depth_text, image, label = line.split("\t", 2)
        tree.append((int(depth_text), int(image), label))
    return seconds, tree


def copy_site(target, **placeholders):
    """Copies the fixture site to TARGET, filling in @NAME@ placeholders (SCHEME is http
    unless given)."""
    placeholders.setdefault("SCHEME", "http")
    shutil.copytree(SITE, target, dirs_exist_ok=True)
    for root, _dirs, files in os.walk(target):
        for name in files:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                data = f.read()
            for key, value in placeholders.items():
                data = data.replace(("@%s@" % key).encode(), str(value).encode())
            with open(path, "wb") as f:
                f.write(data)


def write_big_page(path, size=150000, cut=100000):
    """A page of SIZE bytes with early.html before byte CUT and late.html after it: a web page
    is read in pieces of 30000 bytes, so the last of them holds late.html."""
    head = b'<html><body><a href="early.html">early</a>\n'
    tail = b'<a href="late.html">late</a></body></html>\n'
    filler = b"x" * (cut - len(head)) + b"\n"
    body = head + filler
    body += b"y" * (size - len(body) - len(tail) - 1) + b"\n" + tail
    assert len(body) == size and body.index(b"late.html") > cut
    with open(path, "wb") as f:
        f.write(body)


_held_ports = []


def refused_port():
    """A port on 127.0.0.1 where nothing listens: bound, never listened on, and held while the
    test runs, so that a server it starts later is not given the same port."""
    sock = socket.socket()
    sock.bind(("127.0.0.1", 0))
    _held_ports.append(sock)
    return sock.getsockname()[1]


class SilentServer:
    """Accepts connections on 127.0.0.1 and never answers."""

    def __enter__(self):
        self.sock = socket.socket()
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(16)
        self.port = self.sock.getsockname()[1]
        self.accepted = []
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()
        return self

    def _serve(self):
        while True:
            try:
                conn, _ = self.sock.accept()
            except OSError:
                return
            self.accepted.append(conn)

    def __exit__(self, *exc):
        self.sock.close()
        for conn in self.accepted:
            conn.close()


def make_cross_linked_site(root, pages=40):
    """index.html links to every page and to its own "#top"; page I links home, to its
    neighbours, to two pages further on (one through a "#part" anchor) and to its own "#top".
    A depth-3 crawl meets the same pages again and again, under other parents and other
    fragments. Returns each file's links as the names of the files they lead to."""
    names = ["index.html"] + ["page%d.html" % i for i in range(1, pages)]
    links = {}

    def write(name, hrefs):
        links[name] = [href.split("#")[0] or name for href in hrefs]
        with open(os.path.join(root, name), "w") as f:
            f.write("<html><body><h1 id=\"top\">%s</h1>\n" % name)
            f.writelines('<a href="%s">%s</a>\n' % (href, href) for href in hrefs)
            f.write("</body></html>\n")

    write("index.html", names[1:] + ["#top"])
    n = pages - 1
    for i in range(1, pages):
        write(names[i], ["index.html", names[(i - 2) % n + 1], names[i % n + 1],
                         names[(i + 6) % n + 1], names[(i + 12) % n + 1] + "#part", "#top"])
    return links


def readings_of(links, start, depth):
    """How many readings a crawl to DEPTH makes when every link is followed."""
    count, level = 0, [start]
    for _ in range(depth):
        count += len(level)
        level = [target for name in level for target in links[name]]
    return count
