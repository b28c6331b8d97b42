"""The crawler against servers that misbehave on purpose, under Wine: failures show as
failures, nothing remote makes it read the disk or keeps it requesting, and what an aborted
reading held is given back."""
import atexit
import os
import shutil
import subprocess
import tempfile
import threading
import time
import unittest

import winebed
from crawler.harness import (DONE_LINE, FILE, NOT_READ, PAGE_WITH_LINKS, READ_ERROR,
                             TIMEOUT_LINE, TOP_OF_CHART, Crawl, crawl)
from crawler.misbehaving import FtpServer, WebServer, endless, reply

LOCAL_DIR = tempfile.mkdtemp(prefix="pathloom_local_")
atexit.register(shutil.rmtree, LOCAL_DIR, True)
LOCAL_PAGE = os.path.join(LOCAL_DIR, "secret.html")
with open(LOCAL_PAGE, "w") as f:
    f.write('<a href="http://127.0.0.1:1/leaked.html">leaked</a>')
LOCAL_WINDOWS = winebed.windows_path(LOCAL_PAGE)

LONG = b"/" + b"p" * 20000
MANY = b"".join(b"<a href=?%d>" % i for i in range(4000))[:29990]


def pages(table):
    """A respond function from {path: raw reply}; the key None answers any other path."""
    return lambda path: table.get(path, table.get(None))


def moved(location, status="302 Found"):
    return reply(b"", status, "Location: %s\r\n" % location)


# name, replies by path, harness arguments, expected tree as (depth, icon, path or label),
# expected request counts by path.
WEB_CASES = [
    ("a drive path on a web page is not read from disk",
     {"/": reply(b'<a href="%s">x</a>' % LOCAL_WINDOWS.encode())},
     ["--depth", 2, "--any-domain"],
     [(0, TOP_OF_CHART, "/"), (1, READ_ERROR, LOCAL_WINDOWS)], {"/": 1}),
    ("links past the URL limit are left out",
     {"/": reply(b'<a href="' + LONG + b'">x</a>'), None: reply(MANY)},
     ["--depth", 3, "--limit", 100],
     [(0, TOP_OF_CHART, "/")], {"/": 1}),
    ("a redirect loop ends after ten",
     {"/": reply(b'<a href="/loop">l</a>'), "/loop": moved("/loop")},
     ["--depth", 2, "--timeout", 3, "--linger", 3],
     [(0, TOP_OF_CHART, "/"), (1, READ_ERROR, "/loop")], {"/": 1, "/loop": 11}),
    ("links of a redirected folder resolve against its final URL",
     {"/": reply(b'<a href="/docs">d</a>'), "/docs": moved("/docs/", "301 Moved Permanently"),
      "/docs/": reply(b'<a href="page.html">p</a>')},
     ["--depth", 2],
     [(0, TOP_OF_CHART, "/"), (1, PAGE_WITH_LINKS, "/docs"), (2, NOT_READ, "/docs/page.html")],
     {"/": 1, "/docs": 1, "/docs/": 1}),
    ("a redirect never leaves the web",
     {"/": reply(b'<a href="/away">a</a>'), "/away": moved("file:///" + LOCAL_WINDOWS)},
     ["--depth", 3],
     [(0, TOP_OF_CHART, "/"), (1, READ_ERROR, "/away")], {"/": 1, "/away": 1}),
    ("an HTTP error page is a read error",
     {"/": reply(b'<a href="/404">a</a><a href="/500">b</a>'),
      "/404": reply(b'<a href="/ghost.html">g</a>', "404 Not Found"),
      "/500": reply(b'<a href="/ghost.html">g</a>', "500 Internal Server Error")},
     ["--depth", 3],
     [(0, TOP_OF_CHART, "/"), (1, READ_ERROR, "/404"), (1, READ_ERROR, "/500")],
     {"/": 1, "/404": 1, "/500": 1}),
    ("a reply without a status line is a read error",
     {"/": reply(b'<a href="/bare">a</a><a href="/odd">b</a>'),
      "/bare": b'garbage\r\n\r\n<a href="/ghost.html">g</a>',
      "/odd": b'HTTP/1.1 abc Odd\r\nContent-Length: 26\r\n\r\n<a href="/ghost.html">g</a>'},
     ["--depth", 3],
     [(0, TOP_OF_CHART, "/"), (1, READ_ERROR, "/bare"), (1, READ_ERROR, "/odd")],
     {"/": 1, "/bare": 1, "/odd": 1}),
    ("line breaks and tabs are dropped from links",
     {"/": reply(b'<a href="a\r\nb\t.html">x</a>')},
     ["--depth", 1],
     [(0, TOP_OF_CHART, "/"), (1, NOT_READ, "/ab.html")], {"/": 1}),
]


class MisbehavingWebServers(unittest.TestCase):
    def test_each_case_ends_in_its_state(self):
        for name, table, args, tree, requests in WEB_CASES:
            with self.subTest(name), WebServer(pages(table)) as server:
                base = "http://127.0.0.1:%d" % server.port
                result = crawl(base + "/", *args, "--timeout", 10)
                server.settle()  # what the ended harness sent is counted too
                self.assertEqual(result.returncode, 0, result.stdout)
                expected = [(d, icon, base + p if p.startswith("/") else p) for d, icon, p in tree]
                self.assertEqual(result.tree, expected, result.stdout)
                self.assertEqual(dict(server.requests), requests)
                self.assertTrue(all(len(label) <= 2083 for _, _, label in result.tree))

    def test_an_address_is_its_own_domain(self):
        # With the key "0" every URL holding a zero was inside the domain.
        table = {"/": b"", "/in0.html": reply(b"in")}
        with WebServer(pages(table)) as server:
            table["/"] = reply(b'<a href="/in0.html">i</a><a href="http://localhost:%d/out0.html">o</a>'
                               % server.port)
            base = "http://127.0.0.1:%d" % server.port
            result = crawl(base + "/", "--depth", 2)
        self.assertEqual(result.tree, [(0, TOP_OF_CHART, base + "/"),
                                       (1, 5, base + "/in0.html"),
                                       (1, NOT_READ, "http://localhost:%d/out0.html" % server.port)],
                         result.stdout)
        self.assertEqual(dict(server.requests), {"/": 1, "/in0.html": 1})


CUT_LINE = "Page longer than 8 MB: only its first 8 MB were read."
EARLY = b'<a href="/early.html">e</a>'


class PagesPastTheLimit(unittest.TestCase):
    """A web page is read whole up to 8 MB: past that it is cut and the links before stand. A
    server that never ends a page meets that limit, or the time-out once it stops sending."""

    def crawl_page(self, respond, *args):
        with WebServer(lambda path: respond() if path == "/" else None) as server:
            base = "http://127.0.0.1:%d" % server.port
            result = crawl(base + "/", "--depth", 1, *args)
            return base, result, dict(server.requests)

    def test_a_huge_page_and_one_that_never_ends_are_cut(self):
        huge = reply(EARLY + b" " * (8 << 20) + b'<a href="/late.html">l</a>' + b" " * (12 << 20))
        for name, respond in (("a page of 20 MB", lambda: huge),
                              ("a page that never ends", lambda: endless(EARLY))):
            with self.subTest(name):
                base, result, requests = self.crawl_page(respond, "--timeout", 120)
                self.assertEqual(result.returncode, 0, result.stdout[-2000:])
                self.assertEqual(result.tree, [(0, TOP_OF_CHART, base + "/"),
                                               (1, NOT_READ, base + "/early.html")])
                self.assertEqual(result.lines[-2:], [CUT_LINE, DONE_LINE])
                self.assertNotIn(TIMEOUT_LINE, result.lines)
                self.assertEqual(requests, {"/": 1})
                # One page of at most 8 MB is held, and only while it is read.
                self.assertLess(result.figures["peak_working_set_kb"],
                                result.figures["working_set_start_kb"] + 40 * 1024)

    def test_a_page_that_stops_coming_meets_the_timeout(self):
        def stalled():
            yield b"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + EARLY + b" " * 100000
            threading.Event().wait(120)  # holds the connection open, sending nothing

        base, result, requests = self.crawl_page(stalled, "--timeout", 3)
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.tree, [(0, NOT_READ, base + "/")], result.stdout)
        self.assertEqual(result.lines[-1], TIMEOUT_LINE)
        self.assertNotIn(CUT_LINE, result.lines)
        self.assertEqual(requests, {"/": 1})


class LargeLocalFiles(unittest.TestCase):
    def test_a_file_too_large_is_a_read_error_not_a_crash(self):
        with tempfile.TemporaryDirectory() as root:
            big = os.path.join(root, "big0.html")
            with open(big, "wb") as f:
                f.truncate(1 << 30)  # sparse
            result = crawl(winebed.windows_path(big), "--timeout", 5)
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertEqual(result.tree, [(0, READ_ERROR, winebed.windows_path(big))])

    def test_a_large_page_is_read_over_several_ticks(self):
        with tempfile.TemporaryDirectory() as root:
            page = os.path.join(root, "large.html")
            with open(page, "wb") as f:
                f.write(b" " * (20 << 20) + b'<a href="http://127.0.0.1:1/end.html">e</a>')
            result = crawl(winebed.windows_path(page), "--timeout", 30)
        self.assertEqual(result.tree, [(0, TOP_OF_CHART, winebed.windows_path(page)),
                                       (1, NOT_READ, "http://127.0.0.1:1/end.html")], result.stdout)
        self.assertLess(result.figures["peak_working_set_kb"], 200 * 1024)


FTP_TREE = {"/": ["a.txt", "b.txt", "sub/", "c.txt"], "/sub": []}

# name, server settings (None: nothing listens), path, expected tree as (depth, icon, label).
FTP_CASES = [
    ("refused connection", None, "/", [(0, READ_ERROR, "")]),
    ("busy server", dict(greeting="421 busy"), "/", [(0, READ_ERROR, "")]),
    ("login denied", dict(login="530 no"), "/", [(0, READ_ERROR, "")]),
    ("listing broken off keeps its entries", dict(cut_after=2), "/",
     [(0, READ_ERROR, ""), (1, FILE, "/a.txt (file)"), (1, FILE, "/b.txt (file)")]),
    ("empty directory is still read", {}, "/sub", [(0, TOP_OF_CHART, "")]),
    ("complete listing", {}, "/",
     [(0, TOP_OF_CHART, ""), (1, FILE, "/a.txt (file)"), (1, FILE, "/b.txt (file)"),
      (1, NOT_READ, "/sub"), (1, FILE, "/c.txt (file)")]),
]


class MisbehavingFtpServers(unittest.TestCase):
    def test_each_case_ends_in_its_state(self):
        for name, settings, path, tree in FTP_CASES:
            with self.subTest(name):
                if settings is None:
                    url = "ftp://127.0.0.1:%d%s" % (winebed.free_port(), path)
                    result = crawl(url, "--timeout", 10)
                else:
                    with FtpServer(FTP_TREE, **settings) as server:
                        url = "ftp://127.0.0.1:%d%s" % (server.port, path)
                        result = crawl(url, "--timeout", 10)
                root = url.rstrip("/")
                expected = [(d, icon, url if not label else root + label) for d, icon, label in tree]
                self.assertEqual(result.tree, expected, result.stdout)


def established_to(port):
    """Client ends of open TCP connections to PORT on this machine."""
    count = 0
    with open("/proc/net/tcp") as f:
        for line in f.readlines()[1:]:
            fields = line.split()
            if int(fields[2].split(":")[1], 16) == port and fields[3] == "01":
                count += 1
    return count


class AbortedReadings(unittest.TestCase):
    def test_silent_servers_and_loops_give_back_threads_and_connections(self):
        def respond(path):
            if path == "/":
                return reply(b"".join(b'<a href="/s%d">s</a><a href="/l%d">l</a>' % (i, i)
                                      for i in range(4)))
            return None if path.startswith("/s") else moved(path)

        with WebServer(respond) as server:
            started = winebed.start("crawl_harness", ["--depth", 2, "--timeout", 1, "--linger", 9,
                                                      "http://127.0.0.1:%d/" % server.port])
            deadline = time.time() + 120
            while "finished" not in started.stdout and time.time() < deadline:
                time.sleep(0.2)
            held_at_end = established_to(server.port)
            requests_at_end = server.total()
            time.sleep(8)
            held_later = established_to(server.port)
            requests_later = server.total()
            code = started.wait(60)
            result = Crawl(subprocess.CompletedProcess([], code, started.stdout, ""))
            started.close()
        self.assertEqual(code, 0)
        self.assertEqual(requests_later, requests_at_end, "loops go on after the crawl")
        self.assertGreater(held_at_end, 0, "the silent requests were still waiting")
        self.assertEqual(held_later, 0, "connections of aborted readings are closed")
        f = result.figures
        self.assertLessEqual(f["threads_end"], f["threads_start"] + 2, result.stdout)


if __name__ == "__main__":
    unittest.main()
