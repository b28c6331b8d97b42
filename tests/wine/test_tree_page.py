"""The tree page under Wine: a crawl of the sample site gives the crawl harness's tree; delete
is refused while a task runs and asks first when idle; "Abort all tasks" zeroes both counters;
double click, the context menu (mouse and keyboard), export and copy; the broken-links report; the
node a person selected and the part of the tree they scrolled to stay while the tree grows."""
import os
import re
import tempfile
import threading
import time
import unittest

import winebed
from drive_wizard import crawl_ended
from crawler.harness import (MAIL_LINK, NOT_READ, PAGE_WITH_LINKS, QUEUED, TOP_OF_CHART,
                             SilentServer, crawl, refused_port)
from crawler.misbehaving import WebServer, reply

WIZARD, OPTIONS = "Pathloom 2.0", "Chart Options"
GENERATE_FLOWCHART, SAVE_SITEMAP, SITEMAP_NAME = 1045, 1042, 1043
URL_FIELD, DEPTH_FIELD, LINKS_ONCE = 1000, 1003, 1028
DONT_MAP = 10
SAMPLE = os.path.join(winebed.SOURCE, "samples", "site")


def tree():
    """The tree view's items as (depth, image, label)."""
    result = winebed.run("wine_driver", ["tree", WIZARD])
    code, lines = result.returncode, [line.rstrip("\r") for line in result.stdout.splitlines()]
    assert code == 0, "no tree view: %s %s" % (result.stderr, winebed.driver("list")[1])
    items = []
    for line in lines:
        depth, image, label = line.split("\t", 2)
        items.append((int(depth), int(image), label))
    return items


def counters():
    texts = winebed.window_texts(WIZARD) or []
    return [t for t in texts if t.endswith("Active tasks") or t.lower().endswith("tasks in the queue")]


def wait_for(condition, seconds=30, what="condition"):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.2)
    raise AssertionError("timed out waiting for " + what)


def without_branch(items, label):
    """ITEMS without the item LABEL and its descendants."""
    kept, skip_below = [], None
    for depth, image, text in items:
        if skip_below is not None and depth > skip_below:
            continue
        skip_below = depth if text == label else None
        if skip_below is None:
            kept.append((depth, image, text))
    return kept


def read_file(path):
    """The file's bytes, or None while it does not exist."""
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def message_box(text, button="OK"):
    """Waits for the message box showing TEXT and presses BUTTON on it."""
    wait_for(lambda: text in (winebed.window_texts(WIZARD, 2000) or []), 10, "message " + text)
    # Answered and gone before the next step: a click while it is up would go to the box, not the tree.
    assert winebed.driver("answer", WIZARD, button)[0] == 0, "no button " + button


class TreePage(unittest.TestCase):
    """Pathloom started in an empty folder (so no sitemap template), crawling URL from the
    start page to the tree page."""

    def open_tree_page(self, url, depth, links_once=False, shown=tree):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.process = winebed.start("Pathloom", cwd=self.folder.name)
        self.addCleanup(self.close)
        self.assertEqual(winebed.driver("wait", WIZARD, 30000)[0], 0, "no wizard")
        winebed.driver("type", WIZARD, URL_FIELD, url)
        winebed.driver("type", WIZARD, DEPTH_FIELD, depth)
        if links_once:
            self.assertEqual(winebed.driver("click", WIZARD, LINKS_ONCE)[0], 0)
        self.assertEqual(winebed.driver("press", WIZARD, "Next >")[0], 0)
        wait_for(shown, 20, "the tree page")

    def close(self):
        winebed.driver("press", WIZARD, "Cancel")
        status = winebed.stop(self.process, 20)
        self.process.close()
        self.assertEqual(status, 0)


class SampleSiteCrawl(TreePage):
    def test_the_page_grows_the_harness_tree(self):
        index = winebed.windows_path(os.path.join(SAMPLE, "index.html"))
        self.open_tree_page(index, 3)
        wait_for(crawl_ended, 60, "the end of the crawl")
        print("screenshot:", winebed.screenshot("tree_page"))
        expected = crawl(index, "--depth", 3).tree
        self.assertEqual(tree(), expected)
        self.assertEqual(expected[0], (0, TOP_OF_CHART, index))

    def test_each_pages_links_once(self):
        index = winebed.windows_path(os.path.join(SAMPLE, "index.html"))
        self.open_tree_page(index, 3, links_once=True)
        wait_for(crawl_ended, 60, "the end of the crawl")
        print("screenshot:", winebed.screenshot("tree_page_links_once"))
        items = tree()
        expanded = [label for (depth, _, label), below in zip(items, items[1:] + [(0, 0, "")]) if below[0] > depth]
        self.assertEqual(len(expanded), len(set(expanded)), "a page's links shown twice")
        self.assertGreater(len(items), len(set(label for _, _, label in items)), "no page linked twice")


class CommandsOnNodes(TreePage):
    def test_double_click_menu_export_and_copy(self):
        site = winebed.windows_path(SAMPLE) + "\\"
        self.open_tree_page(site + "index.html", 1)
        wait_for(crawl_ended, 30, "the end of the crawl")
        about = site + "about\\index.html"
        self.assertIn((1, NOT_READ, about), tree())

        # A mail link is not read; a leaf page is, and shows its links.
        winebed.driver("dblclick", WIZARD, "mailto:sales@lantern-works.example")
        message_box("E-mail links, image maps and FTP files can't be expanded.")
        winebed.driver("dblclick", WIZARD, about)
        wait_for(lambda: (1, PAGE_WITH_LINKS, about) in tree(), 10, "the page read")
        self.assertIn((2, MAIL_LINK, "mailto:info@lantern-works.example"), tree())

        # The check mark follows the mark; the screenshot shows the menu with it.
        winebed.driver("rclick", WIZARD, about)
        winebed.driver("menu", "o")
        wait_for(lambda: (1, DONT_MAP, about) in tree(), 5, "the don't-map mark")
        winebed.driver("rclick", WIZARD, about)
        winebed.driver("painted", "class:#32768")
        print("screenshot:", winebed.screenshot("tree_page_menu_checked"))
        winebed.driver("menu", "-")

        # Copy from the mouse's menu, export from the keyboard's (Shift+F10) on the top node.
        winebed.driver("rclick", WIZARD, about)
        winebed.driver("menu", "c")
        wait_for(lambda: winebed.driver("clipboard")[1] == [about], 5, "the clipboard")
        winebed.driver("select", WIZARD, site + "index.html")
        winebed.driver("treekey", WIZARD, "shift-f10")
        winebed.driver("menu", "e")
        self.assertEqual(winebed.driver("wait", "Save As", 10000)[0], 0, "no save dialog")
        # Into another folder, opened in the dialog as a person would.
        exports = os.path.join(self.folder.name, "exports")
        os.mkdir(exports)
        winebed.driver("save", "Save As", winebed.windows_path(exports))
        target = os.path.join(exports, "branch")
        winebed.driver("save", "Save As", "branch")
        message_box("Pathloom could not find its sitemap template (sitemap.txt).  "
                    "A default template will be used.")
        smp = wait_for(lambda: read_file(target + ".smp"), 10, "the sitemap file")
        lines = smp.decode("latin-1").split("\r\n")
        self.assertEqual(lines[:2], ["[Sitemap 1.0]", "[! Sitemap for %s]" % (site + "index.html")])
        urls = [line.split('"')[3] for line in lines if '<param name="URL"' in line]
        # The marked branch is not written.
        self.assertEqual(urls, [label for _, _, label in without_branch(tree(), about)])

        # The export left the current folder alone: a relative sitemap name given later lands
        # where the program was started.
        winebed.driver("press", WIZARD, "Next >")
        self.assertEqual(winebed.driver("wait", OPTIONS, 10000)[0], 0, "no chart options page")
        winebed.driver("click", OPTIONS, GENERATE_FLOWCHART)
        winebed.driver("click", OPTIONS, SAVE_SITEMAP)
        winebed.driver("type", OPTIONS, SITEMAP_NAME, "later")
        winebed.driver("press", OPTIONS, "Next >")
        message_box("Pathloom could not find its sitemap template (sitemap.txt).  "
                    "A default template will be used.")
        wait_for(lambda: read_file(os.path.join(self.folder.name, "later.smp")), 10, "the later sitemap file")


class BrokenLinksReport(TreePage):
    def test_the_report_lists_each_broken_address_with_why_and_every_page_linking_to_it(self):
        with tempfile.TemporaryDirectory() as root:
            refused = "http://127.0.0.1:%d/gone.html" % refused_port()
            for name, links in (("index.html", ["missing.html", "ok.html", "fails.html", refused]),
                                ("ok.html", ["missing.html", "index.html"])):
                with open(os.path.join(root, name), "w") as f:
                    f.write("".join('<a href="%s">x</a>\n' % link for link in links))
            with winebed.http_server(root, failing="/fails.html") as port:
                b = "http://127.0.0.1:%d/" % port
                self.open_tree_page(b + "index.html", 2)
                wait_for(crawl_ended, 60, "the end of the crawl")
        winebed.driver("select", WIZARD, b + "ok.html")
        winebed.driver("treekey", WIZARD, "apps")
        winebed.driver("menu", "s")
        self.assertEqual(winebed.driver("wait", "Save As", 10000)[0], 0, "no save dialog")
        winebed.driver("save", "Save As", winebed.windows_path(os.path.join(self.folder.name, "broken")))
        page = wait_for(lambda: read_file(os.path.join(self.folder.name, "broken.html")), 10, "the report").decode("latin-1")
        rows = [[re.findall('<a href="([^"]*)"', address), why, re.findall('<a href="([^"]*)"', pages)]
                for address, why, pages in re.findall('<tr class="broken"><td>(.*?)</td><td>(.*?)</td><td>(.*?)</td>', page)]
        # In the order found, the whole tree whichever node was selected; missing.html is linked
        # from ok.html too, where it was not read again.
        self.assertEqual(rows, [[[b + "missing.html"], "404 File not found", [b + "index.html", b + "ok.html"]],
                                [[b + "fails.html"], "500 Internal Server Error", [b + "index.html"]],
                                [[refused], "connection refused", [b + "index.html"]]])
        self.assertIn("5 addresses read, 3 broken addresses, 4 links to them. 0 linked addresses were", page)
        self.assertEqual(os.listdir(self.folder.name), ["broken.html"], "no temporary file left")


class DeleteAndAbort(TreePage):
    def test_delete_refused_while_reading_then_abort_all_then_delete(self):
        with SilentServer() as server:
            url = "http://127.0.0.1:%d/" % server.port
            self.open_tree_page(url, 1)
            wait_for(lambda: counters() == ["1 Active tasks", "0 Tasks in the queue"], 10, "the reading")
            winebed.driver("select", WIZARD, url)
            winebed.driver("treekey", WIZARD, "delete")
            message_box("Nothing can be deleted while tasks are active.")
            self.assertEqual(tree(), [(0, QUEUED, url)])

            winebed.driver("press", WIZARD, "Abort all tasks")
            wait_for(lambda: counters() == ["0 Active tasks", "0 Tasks in the queue"], 5, "zero counters")
            self.assertEqual(tree(), [(0, NOT_READ, url)])
            print("screenshot:", winebed.screenshot("tree_page_aborted"))

            winebed.driver("treekey", WIZARD, "delete")
            message_box("Delete the branch %s?" % url, "Yes")
            wait_for(lambda: tree() == [], 5, "the branch deleted")


class GrowingTree(TreePage):
    def test_selection_and_scroll_position_stay_while_the_tree_grows(self):
        # The start page links to 60 pages; each of those is answered when the test lets it.
        pages = ["page%d.html" % i for i in range(60)]
        gate = threading.Semaphore(0)

        def respond(path):
            name = path.lstrip("/")
            if name == "index.html":
                links = pages
            else:
                gate.acquire(timeout=120)
                links = ["http://www.example.org/%s/%d.html" % (name, k) for k in range(5)]
            return reply(("<html><body>%s</body></html>" % "".join(
                '<a href="%s">x</a>\n' % link for link in links)).encode())

        with WebServer(respond) as server:
            base = "http://127.0.0.1:%d/" % server.port
            self.addCleanup(lambda: [gate.release() for _ in pages])
            self.open_tree_page(base + "index.html", 2)
            wait_for(lambda: len(tree()) == 1 + len(pages), 20, "the start page's links")
            self.assertEqual(winebed.driver("select", WIZARD, base + "page30.html")[0], 0)
            winebed.driver("scroll", WIZARD, 7)
            view = winebed.driver("view", WIZARD)[1]
            self.assertEqual(view[0], "selected\t" + base + "page30.html")
            self.assertNotEqual(view[1], "first\t" + base + "index.html")

            # Ten pages read add their links above and below what is in view.
            for _ in range(10):
                gate.release()
            wait_for(lambda: len(tree()) == 1 + len(pages) + 10 * 5, 30, "ten pages read")
            self.assertEqual(winebed.driver("view", WIZARD)[1], view)
            # Deleting the selected branch shows every change held back before it returns, so the
            # first row is then as the control lays the grown tree out.
            winebed.driver("press", WIZARD, "Abort all tasks")
            wait_for(lambda: counters() == ["0 Active tasks", "0 Tasks in the queue"], 10, "zero counters")
            winebed.driver("treekey", WIZARD, "delete")
            message_box("Delete the branch %spage30.html?" % base, "Yes")
            wait_for(lambda: len(tree()) == len(pages) + 10 * 5, 10, "the branch deleted")
            self.assertEqual(winebed.driver("view", WIZARD)[1][1], view[1])
            print("screenshot:", winebed.screenshot("tree_page_grown_around_the_view"))


class LargeTree(TreePage):
    def test_links_past_the_open_part_get_items_when_their_node_is_opened(self):
        # 101 pages of 1,000 links: the last page's links come after the 100,000 nodes shown open.
        with tempfile.TemporaryDirectory() as root:
            pages = ["page%d.html" % i for i in range(1, 102)]
            for name, links in [("index.html", pages)] + [(p, ["http://www.example.org/%s/%d.html" % (p, k)
                                                                for k in range(1000)]) for p in pages]:
                with open(os.path.join(root, name), "w") as f:
                    f.write("".join('<a href="%s">x</a>\n' % link for link in links))
            # Listing 100,000 items takes the driver minutes: only the last item shown is asked for.
            self.open_tree_page(winebed.windows_path(os.path.join(root, "index.html")), 2,
                                shown=lambda: winebed.driver("view", WIZARD)[0] == 0)
            nodes = 1 + len(pages) + 1000 * len(pages)
            self.assertEqual(winebed.driver("watch", WIZARD, 600000, "count>=%d" % nodes, timeout=700)[0], 0)
            wait_for(lambda: counters() == ["0 Active tasks", "0 Tasks in the queue"], 60, "the end")
            last = winebed.windows_path(os.path.join(root, "page101.html"))
            self.assertEqual(winebed.driver("view", WIZARD)[1][2], "last\t" + last, "its links wait")
            winebed.driver("treekey", WIZARD, "end")
            winebed.driver("treekey", WIZARD, "right")
            wait_for(lambda: winebed.driver("view", WIZARD)[1][2] == "last\thttp://www.example.org/page101.html/999.html",
                     60, "its links, once it is opened")


if __name__ == "__main__":
    unittest.main()
