"""The crawler lists FTP directories from a real anonymous server (pyftpdlib) on 127.0.0.1
under Wine, on a port of its own given in the URL."""
import os
import tempfile
import unittest

import winebed
from crawler.harness import (DONE_LINE, FILE, NO_LINKS, NOT_READ, PAGE_WITH_LINKS,
                             TIMEOUT_LINE, TOP_OF_CHART, crawl)


def make_ftp_root(root):
    os.makedirs(os.path.join(root, "pub", "src"))
    os.makedirs(os.path.join(root, "pub", "empty"))
    for path, text in (("pub/readme.txt", "read me\n"), ("pub/src/main.c", "int main;\n"),
                       ("top.txt", "top\n")):
        with open(os.path.join(root, path), "w") as f:
            f.write(text)


class FtpSite(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.TemporaryDirectory()
        make_ftp_root(cls.root.name)
        cls.server = winebed.ftp_server(cls.root.name)
        cls.base = "ftp://127.0.0.1:%d" % cls.server.__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.server.__exit__(None, None, None)
        cls.root.cleanup()

    def test_directories_are_listed_and_read_later(self):
        pub = self.base + "/pub"
        result = crawl(pub, "--depth", 2, "--timeout", 20)
        self.assertEqual(sorted(result.tree), sorted([
            (0, TOP_OF_CHART, pub),
            (1, NO_LINKS, pub + "/empty"),
            (1, FILE, pub + "/readme.txt (file)"),
            (1, PAGE_WITH_LINKS, pub + "/src"),
            (2, FILE, pub + "/src/main.c (file)"),
        ]), result.stdout)
        self.assertEqual(sorted(result.children(pub)),
                         [pub + "/empty", pub + "/readme.txt (file)", pub + "/src"])
        self.assertEqual(result.children(pub + "/src"), [pub + "/src/main.c (file)"])
        readings = result.readings()
        self.assertEqual(sorted(url for url, _ in readings[1:]), [pub + "/empty", pub + "/src"])
        for url, after in readings:
            with self.subTest(url=url):
                self.assertEqual(after, ["Resolving name...", "Connecting to server..."][-len(after):])
        self.assertNotIn(DONE_LINE, result.lines)
        self.assertNotIn(TIMEOUT_LINE, result.lines)

    def test_login_directory_is_listed_without_a_change_of_directory(self):
        result = crawl(self.base, "--depth", 1, "--timeout", 20)
        self.assertEqual(sorted(result.tree), sorted([
            (0, TOP_OF_CHART, self.base),
            (1, NOT_READ, self.base + "/pub"),
            (1, FILE, self.base + "/top.txt (file)"),
        ]), result.stdout)

    def test_file_path_gets_the_suffix_and_the_file_icon(self):
        with tempfile.TemporaryDirectory() as web, winebed.http_server(web) as port:
            with open(os.path.join(web, "links.html"), "w") as f:
                f.write('<a href="%s/pub/readme.txt">readme</a>' % self.base)
            start = "http://127.0.0.1:%d/links.html" % port
            result = crawl(start, "--depth", 2, "--timeout", 20, "--any-domain")
        self.assertEqual(result.tree, [(0, TOP_OF_CHART, start),
                                       (1, FILE, self.base + "/pub/readme.txt (file)")],
                         result.stdout)

    def test_file_as_start_keeps_the_top_icon(self):
        url = self.base + "/pub/readme.txt"
        result = crawl(url, "--timeout", 20)
        self.assertEqual(result.tree, [(0, TOP_OF_CHART, url + " (file)")], result.stdout)


if __name__ == "__main__":
    unittest.main()
