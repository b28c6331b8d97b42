"""Charts through the real automation adapter and the Plotwright stand-in out of process:
positions and calls as the stand-in received them, the version branches, a failing call, and
the bundled sample site crawled and charted in each layout, and a served site whose page
names are spelt in percent-escapes of UTF-8."""
import os
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

import winebed
from chart.charting import (DEPTH, HORIZONTAL, INTERFACE, ORG_CHART, VERTICAL, chart)
from crawler.harness import crawl

PAGE, DONT_MAP = 0, 10
# S with children A (child A1) and B (child B1).
TWO_BRANCHES = [(0, PAGE, "http://site.com/S"), (1, PAGE, "http://site.com/A"), (2, PAGE, "http://site.com/A1"),
                (1, PAGE, "http://site.com/B"), (2, PAGE, "http://site.com/B1")]


class PositionsAndCalls(unittest.TestCase):
    def test_each_layout_places_the_shapes_where_designed(self):
        expected = {
            HORIZONTAL: [(1, 2, "S"), (2, 4, "A"), (3, 4, "B"), (4, 6, "B1"), (3, 8, "A1")],
            VERTICAL: [(1, 2, "S"), (2, 4, "A"), (2, 6, "B"), (3, 8, "B1"), (5, 6, "A1")],
            ORG_CHART: [(50, 2, "S"), (50, 6, "A"), (50, 10, "A1"), (49, 6, "B"), (49, 14, "B1")],
        }
        for layout, drops in expected.items():
            with self.subTest(layout=layout):
                result = chart(TWO_BRANCHES, layout, h=1, v=2)
                self.assertEqual(result.result, "ok")
                self.assertEqual(result.drops(), drops)
                self.assertEqual(result.progress, 5)
                self.assertEqual(sum(c.dispid == 69 for c in result.calls), 4)
                self.assertEqual(result.messages, [])
                self.assertEqual(len(result.drawings), 1, "a drawing is saved when the run ends normally")

    def test_version_7_org_chart_ends_with_the_page_calls(self):
        result = chart(TWO_BRANCHES[:2], ORG_CHART, color=DEPTH)
        lines = result.lines()
        self.assertEqual(lines[lines.index('document1 37 get []'):], [
            'document1 37 get []', 'page1 9 get []', 'document1 89 call [2]', 'document1 66 call []',
            'document1 81 call [0, 0, 1.0, 1.0]', 'page1 15 put [1]', 'document1 55 put [1]',
            'application 31 put [true]', 'application 33 get []', 'application 64 call []',
            'application 31 get []'])
        self.assertIn('application 63 call [225, 30, 255]', lines)
        self.assertIn('document1 4 put ["Plotwright basic palettes\\\\Standard"]', lines)

    def test_older_version_uses_the_plain_palette_and_no_page_calls(self):
        result = chart(TWO_BRANCHES, ORG_CHART, version="5.0")
        lines = result.lines()
        self.assertIn('document1 4 put ["Standard"]', lines)
        self.assertFalse([c for c in result.calls if c.dispid in (37, 89, 66, 81)])
        self.assertIn('document1 55 put [2]', lines)

    def test_a_failing_call_ends_the_run_without_a_message_and_still_tears_down(self):
        result = chart(TWO_BRANCHES, HORIZONTAL, fail_at=12)
        self.assertEqual(result.result, "error")
        self.assertEqual(result.messages, [])
        self.assertEqual(result.lines()[-3:], ['application 31 get []', 'application 31 put [true]',
                                               'application 65 call []'])
        self.assertEqual(result.drawings, {})


class SampleSite(unittest.TestCase):
    def test_sample_site_crawled_and_charted_in_each_layout(self):
        site = winebed.windows_path(os.path.join(winebed.SOURCE, "samples", "site", "index.html"))
        crawled = crawl(site, "--depth", 3, timeout=120)
        self.assertGreater(len(crawled.tree), 10)
        shown = []
        for layout, name in ((HORIZONTAL, "horizontal"), (VERTICAL, "vertical"), (ORG_CHART, "org_chart")):
            with self.subTest(layout=name):
                result = chart(crawled.tree, layout, h=1.5, v=1.5,
                               after=lambda name=name: shown.append(winebed.screenshot("chart_sample_" + name)))
                self.assertEqual(result.result, "ok")
                self.assertEqual(result.progress, len(result.drops()))
                self.assertGreater(result.progress, 0)
                self.assertEqual({c.key() for c in result.calls} - INTERFACE, set())
                self.assertEqual(sum(c.dispid == 69 for c in result.calls), result.progress - 1)
                self.assertEqual(len(result.drawings), 1)
                labels = [d[2] for d in result.drops()]
                self.assertEqual(labels[0], site)
        self.assertEqual(len(shown), 3)



class ServedSite(unittest.TestCase):
    NAMES = {"caf%C3%A9.html": "caf\u00e9.html",
             "%E6%97%A5%E6%9C%AC%E8%AA%9E.html": "\u65e5\u672c\u8a9e.html"}

    def test_escaped_names_are_labelled_in_their_characters_and_linked_as_escaped(self):
        with tempfile.TemporaryDirectory() as root:
            with open(os.path.join(root, "index.html"), "w") as f:
                f.writelines('<a href="%s">page</a>\n' % escaped for escaped in self.NAMES)
            for name in self.NAMES.values():
                with open(os.path.join(root, name), "w") as f:
                    f.write("<html><body>%s</body></html>\n" % name.encode("ascii", "xmlcharrefreplace").decode())
            with winebed.http_server(root) as port:
                site = "http://127.0.0.1:%d/" % port
                crawled = crawl(site + "index.html", "--depth", 1, timeout=120)
                self.assertEqual([label for _, _, label in crawled.tree],
                                 [site + "index.html"] + [site + escaped for escaped in self.NAMES])
                shot = []
                result = chart(crawled.tree, HORIZONTAL,
                               after=lambda: shot.append(winebed.screenshot("chart_unicode_labels")))
        self.assertEqual(result.result, "ok")
        self.assertEqual([d[2] for d in result.drops()], ["index.html"] + list(self.NAMES.values()))
        addresses = [c.args[0] for c in result.calls if c.object_kind == "link" and c.dispid == 15]
        self.assertEqual(addresses, [site + "index.html"] + [site + escaped for escaped in self.NAMES])
        # The drawing labels each shape in the same characters, however its lines were broken.
        self.assertEqual(len(result.drawings), 1)
        svg = ElementTree.fromstring(next(iter(result.drawings.values())).encode("utf-8"))
        ns = {"svg": "http://www.w3.org/2000/svg"}
        labels = ["".join(t.text for t in text.findall("svg:tspan", ns)) for text in svg.iter("{%s}text" % ns["svg"])]
        self.assertEqual(labels, ["index.html"] + list(self.NAMES.values()))
        self.assertEqual(len(shot), 1)


if __name__ == "__main__":
    unittest.main()
