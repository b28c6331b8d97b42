"""The crawler reads web pages from real servers on 127.0.0.1 under Wine: the fixture site,
a refused port and a server that never answers, with the real queue, tick and time-out."""
import os
import tempfile
import unittest

import winebed
from crawler.harness import (DONE_LINE, IMAGE_MAP, MAIL_LINK, NOT_READ, NO_LINKS,
                             PAGE_WITH_LINKS, READ_ERROR, TIMEOUT_LINE, TOP_OF_CHART,
                             SilentServer, copy_site, crawl, make_cross_linked_site,
                             pathloom_crawl, readings_of, refused_port, write_big_page)


class FixtureSite(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        with winebed.http_server(cls.dir.name) as port:
            cls.refused = refused_port()
            copy_site(cls.dir.name, PORT=port, REFUSED=cls.refused)
            write_big_page(os.path.join(cls.dir.name, "big.html"))
            cls.base = "http://127.0.0.1:%d/" % port
            cls.result = crawl(cls.base + "index.html", "--depth", 2, "--timeout", 20)

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def test_tree_holds_every_link_with_its_icon(self):
        b, refused = self.base, "http://127.0.0.1:%d/refused.html" % self.refused
        expected = [
            (0, TOP_OF_CHART, b + "index.html"),
            (1, PAGE_WITH_LINKS, b + "rel.html"),
            (2, NOT_READ, b + "index.html"),
            (2, NOT_READ, b + "dir/abs.html"),
            (1, PAGE_WITH_LINKS, b + "dir/abs.html"),
            (2, NOT_READ, b + "rel.html"),
            (1, NO_LINKS, b + "dir/rooted.html"),
            (1, MAIL_LINK, "mailto:someone@example.com"),
            (1, IMAGE_MAP, b + "maps/site.map"),
            (1, PAGE_WITH_LINKS, b + "big.html"),
            (2, NOT_READ, b + "early.html"),
            (2, NOT_READ, b + "late.html"),  # past 100 KB: the page is read whole
            (1, READ_ERROR, b + "notfound.html"),
            (1, NO_LINKS, b + "empty.html"),
            (1, READ_ERROR, refused),
            (1, PAGE_WITH_LINKS, b + "frame.html"),
            (2, NOT_READ, b + "framed.html"),
            (1, PAGE_WITH_LINKS, b + "frame2.html"),
            (2, MAIL_LINK, "mailto:other@example.com"),
        ]
        self.assertEqual(self.result.tree, expected, self.result.stdout)
        self.assertEqual(self.result.returncode, 0)

    def test_pages_are_read_breadth_first_one_at_a_time(self):
        b = self.base
        opened = [url for url, _ in self.result.readings()]
        self.assertEqual(opened, [b + "index.html", b + "rel.html", b + "dir/abs.html",
                                  b + "dir/rooted.html", b + "big.html", b + "notfound.html",
                                  b + "empty.html", "http://127.0.0.1:%d/refused.html" % self.refused,
                                  b + "frame.html", b + "frame2.html"])

    def test_status_lines_of_each_reading_come_in_order(self):
        order = ["Resolving name...", "Connecting to server...", "Sending request...",
                 "Receiving response...", DONE_LINE]
        lines = self.result.lines
        self.assertEqual(lines[:2], ["Connecting to the internet...", "Opening " + self.base + "index.html"])
        for url, after in self.result.readings():
            with self.subTest(url=url):
                reasons = {"refused": "connection refused", "notfound": "the page says it was not found"}
                failed = [after.pop()] if after[-1].startswith("Reading failed: ") else []
                self.assertEqual(failed, ["Reading failed: " + why for name, why in reasons.items() if name in url])
                self.assertEqual(after, sorted(after, key=order.index))
                self.assertIn("Connecting to server...", after)
                # A refused request ends without a closing line; an error page is still read.
                self.assertEqual(after[-1] == DONE_LINE, "refused" not in url)
        self.assertNotIn(TIMEOUT_LINE, lines)
        self.assertEqual(self.result.messages, [])

    def test_counters_never_show_more_than_one_active_task(self):
        # Which counts a tick happens to show depends on the machine; at most one task ever does.
        active = {c for c in self.result.counters if "Active" in c}
        self.assertLessEqual(active, {"0 Active tasks", "1 Active tasks"})
        self.assertEqual(self.result.final_counters(), ("0 Active tasks", "0 Tasks in the queue"))


class BlankAndNonAsciiNames(unittest.TestCase):
    """Links to "my page.html" and "caf\u00e9.html" in a UTF-8 page, each written in several ways."""

    def test_each_page_is_requested_once_as_browsers_send_it(self):
        links = ['"my page.html"', "my%20page.html", "'caf\u00e9.html'", '"caf%C3%A9.html"',
                 '"caf&#233;.html"', '" my&#32;page.html\n"']
        with tempfile.TemporaryDirectory() as root:
            index = "".join('<a href=%s title=x>x</a>\n' % link for link in links)
            for name, text in [("index.html", index), ("my page.html", '<a href="index.html">'),
                               ("caf\u00e9.html", '<a href="index.html">')]:
                with open(os.path.join(root, name), "w", encoding="utf-8") as f:
                    f.write("<html><body>%s</body></html>" % text)
            log = os.path.join(root, "requests.log")
            with winebed.http_server(root, log) as port:
                b = "http://127.0.0.1:%d/" % port
                result = crawl(b + "index.html", "--depth", 2, "--timeout", 20)
            requested = winebed.requested_paths(log)
        self.assertEqual(sorted(requested), ["/caf%C3%A9.html", "/index.html", "/my%20page.html"], result.stdout)
        mine, cafe = b + "my%20page.html", b + "caf%C3%A9.html"
        self.assertEqual(result.children(b + "index.html"), [mine, mine, cafe, cafe, cafe, mine])
        for depth, icon, label in result.tree:
            if depth == 1:
                self.assertEqual(icon, PAGE_WITH_LINKS, label)
        # One request each; the other nodes of the same address take its kept reading.
        self.assertEqual([url for url, _ in result.readings()], [b + "index.html", mine, mine, cafe, cafe, cafe, mine])
        for text in result.lines + [label for _, _, label in result.tree]:
            self.assertTrue(text.isascii(), text)


class CrossLinkedSite(unittest.TestCase):
    def test_each_page_is_requested_once_however_often_it_is_read(self):
        with tempfile.TemporaryDirectory() as root:
            links = make_cross_linked_site(root, 40)
            log = os.path.join(root, "requests.log")
            with winebed.http_server(root, log) as port:
                base = "http://127.0.0.1:%d/" % port
                result = crawl(base + "index.html", "--depth", 3, timeout=300)
            requested = winebed.requested_paths(log)
        self.assertEqual(sorted(requested), sorted("/" + name for name in links), result.stdout)
        readings = result.readings()
        self.assertEqual(len(readings), readings_of(links, "index.html", 3), result.stdout)
        self.assertEqual(result.figures["tasks"], len(readings))
        for url, after in readings:
            self.assertEqual(after[-1], DONE_LINE, url)
        # Every page read shows its links, wherever it was met; the deepest are left unread.
        for depth, icon, label in result.tree:
            expected = TOP_OF_CHART if depth == 0 else PAGE_WITH_LINKS if depth < 3 else NOT_READ
            self.assertEqual(icon, expected, (depth, label))
        self.assertEqual(len(result.tree), readings_of(links, "index.html", 4))
        self.assertNotIn(TIMEOUT_LINE, result.lines)


class CrossLinkedSiteInTheWizard(unittest.TestCase):
    def test_the_tree_page_requests_each_page_once(self):
        # A smaller site than the harness crawls: the wizard is far slower to drive.
        with tempfile.TemporaryDirectory() as root:
            links = make_cross_linked_site(root, 12)
            log = os.path.join(root, "requests.log")
            with winebed.http_server(root, log) as port:
                _, tree = pathloom_crawl("http://127.0.0.1:%d/index.html" % port, 3, poll=3)
            requested = winebed.requested_paths(log)
        self.assertEqual(sorted(requested), sorted("/" + name for name in links))
        self.assertEqual(len(tree), readings_of(links, "index.html", 4))
        for depth, icon, label in tree:
            expected = TOP_OF_CHART if depth == 0 else PAGE_WITH_LINKS if depth < 3 else NOT_READ
            self.assertEqual(icon, expected, (depth, label))


class SilentServerTimeout(unittest.TestCase):
    def test_timeout_aborts_the_reading_and_the_next_entry_runs(self):
        with tempfile.TemporaryDirectory() as root, SilentServer() as silent, \
                winebed.http_server(root) as port:
            never = "http://127.0.0.1:%d/never.html" % silent.port
            after = "http://127.0.0.1:%d/after.html" % port
            with open(os.path.join(root, "start.html"), "w") as f:
                f.write('<a href="%s">never</a> <a href="after.html">after</a>' % never)
            with open(os.path.join(root, "after.html"), "w") as f:
                f.write('<a href="last.html">last</a>')
            start = "http://127.0.0.1:%d/start.html" % port
            result = crawl(start, "--depth", 2, "--timeout", 1, "--any-domain")
        readings = result.readings()
        self.assertEqual([url for url, _ in readings], [start, never, after], result.stdout)
        self.assertEqual(readings[1][1][-1], TIMEOUT_LINE)
        self.assertEqual(result.lines.count(TIMEOUT_LINE), 1)
        self.assertEqual(readings[2][1][-1], DONE_LINE)
        self.assertEqual(result.tree, [(0, TOP_OF_CHART, start), (1, NOT_READ, never),
                                       (1, PAGE_WITH_LINKS, after),
                                       (2, NOT_READ, "http://127.0.0.1:%d/last.html" % port)])


class RefusedStart(unittest.TestCase):
    def test_refused_start_page_gets_the_error_icon(self):
        url = "http://127.0.0.1:%d/" % refused_port()
        result = crawl(url, "--timeout", 5)
        self.assertEqual(result.tree, [(0, READ_ERROR, url)])
        self.assertEqual(result.lines[-1], "Reading failed: connection refused")
        self.assertEqual(result.lines[:-1], ["Connecting to the internet...", "Opening " + url,
                                             "Resolving name...", "Connecting to server..."][:len(result.lines) - 1])
        self.assertNotIn(DONE_LINE, result.lines)
        self.assertNotIn(TIMEOUT_LINE, result.lines)


if __name__ == "__main__":
    unittest.main()
