"""The crawler reads local pages under Wine: the fixture site and the bundled sample site,
each page inside the request, and never a time-out however long the crawl stays open."""
import os
import tempfile
import unittest

import winebed
from crawler.harness import (DONE_LINE, IMAGE_MAP, MAIL_LINK, NOT_READ, NO_LINKS,
                             PAGE_WITH_LINKS, READ_ERROR, TIMEOUT_LINE, TOP_OF_CHART,
                             copy_site, crawl, write_big_page)

READING_LINES = ["Reading local page...", DONE_LINE]


class LocalFixtureSite(unittest.TestCase):
    def test_local_crawl_follows_local_links_only(self):
        with tempfile.TemporaryDirectory() as root:
            copy_site(root, PORT=1, REFUSED=2)
            write_big_page(os.path.join(root, "big.html"))
            d = winebed.windows_path(root) + "\\"
            result = crawl(d + "index.html", "--depth", 2, "--timeout", 1, "--linger", 2)
        expected = [
            (0, TOP_OF_CHART, d + "index.html"),
            (1, PAGE_WITH_LINKS, d + "rel.html"),
            (2, NOT_READ, d + "index.html"),
            (2, NOT_READ, d + "dir\\abs.html"),
            (1, NOT_READ, "http://127.0.0.1:1/dir/abs.html"),  # outside the domain
            (1, NOT_READ, d[:3] + "dir\\rooted.html"),
            (1, MAIL_LINK, "mailto:someone@example.com"),
            (1, IMAGE_MAP, d + "maps\\site.map"),
            (1, PAGE_WITH_LINKS, d + "big.html"),
            (2, NOT_READ, d + "early.html"),
            (2, NOT_READ, d + "late.html"),  # a local page is read whole
            (1, READ_ERROR, d + "notfound.html"),
            (1, NO_LINKS, d + "empty.html"),
            (1, NOT_READ, "http://127.0.0.1:2/refused.html"),
            (1, PAGE_WITH_LINKS, d + "frame.html"),
            (2, NOT_READ, d + "framed.html"),
            (1, PAGE_WITH_LINKS, d + "frame2.html"),
            (2, MAIL_LINK, "mailto:other@example.com"),
        ]
        self.assertEqual(result.tree, expected, result.stdout)
        self.assertEqual(result.lines, READING_LINES * 4 + ["Reading failed: the page says it was not found"]
                         + READING_LINES * 3)
        self.assertGreaterEqual(result.figures["idle_seconds"], 2)


class DeviceNames(unittest.TestCase):
    def test_links_named_like_devices_are_not_read_as_pages(self):
        # Opening AUX for reading blocked the crawl for good, time-out included.
        with tempfile.TemporaryDirectory() as root:
            with open(os.path.join(root, "index.html"), "w") as f:
                f.write('<a href="aux.html">aux</a> <a href="nul">nul</a> <a href="ok.html">ok</a>')
            with open(os.path.join(root, "ok.html"), "w") as f:
                f.write('<a href="next.html">next</a>')
            d = winebed.windows_path(root) + "\\"
            result = crawl(d + "index.html", "--depth", 2, "--timeout", 5, "--any-domain", timeout=60)
        self.assertEqual(result.tree, [
            (0, TOP_OF_CHART, d + "index.html"),
            (1, READ_ERROR, d + "aux.html"),
            (1, READ_ERROR, d + "nul"),
            (1, PAGE_WITH_LINKS, d + "ok.html"),
            (2, NOT_READ, d + "next.html"),
        ], result.stdout)
        self.assertNotIn(TIMEOUT_LINE, result.lines)


class SampleSite(unittest.TestCase):
    def test_sample_site_crawls_without_a_timeout(self):
        index = os.path.join(winebed.SOURCE, "samples", "site", "index.html")
        self.assertTrue(os.path.exists(index), "the sample site is missing: " + index)
        result = crawl(winebed.windows_path(index), "--depth", 3, "--timeout", 1, "--linger", 2)
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.tree[0][1], TOP_OF_CHART, result.stdout)
        self.assertNotIn(TIMEOUT_LINE, result.lines)
        self.assertEqual(result.messages, [])
        self.assertEqual(result.lines[:2], READING_LINES)
        self.assertEqual(result.final_counters(), ("0 Active tasks", "0 Tasks in the queue"))


if __name__ == "__main__":
    unittest.main()
