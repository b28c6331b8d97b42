"""Pathloom's wizard driven through its real windows: the start page, import, the chart options
page, the ways between the pages, and help."""
import os
import shutil
import tempfile
import time
import unittest

import winebed
from drive_wizard import crawl_ended

TITLE = "Pathloom 2.0"
OPTIONS = "Chart Options"
BACK, NEXT = 12323, 12324  # the wizard's own buttons
URL, DEPTH, STAY, LIMIT, PAGE_LIMIT, IMPORT = 1000, 1003, 1020, 1026, 1027, 3
GENERATE, SAVE_SITEMAP, FILE_NAME, BROWSE = 1045, 1042, 1043, 1044
HORIZONTAL, VERTICAL, ORG_CHART = 1011, 1012, 1013
DUPLICATE_CHILDREN, H_SPACING, V_SPACING = 1021, 1024, 1025
COLORS = (1016, 1017, 1019, 1018)
FLOWCHART_CONTROLS = (H_SPACING, V_SPACING, HORIZONTAL, VERTICAL, ORG_CHART) + COLORS + (DUPLICATE_CHILDREN,)
SITE = os.path.join(winebed.SOURCE, "samples", "site", "index.html")
BROWSER_KEY = r"HKLM\Software\Classes\http\shell\open\command"


def until(check, timeout=10.0):
    """Polls CHECK until it returns something true; returns that, or the last value."""
    deadline = time.time() + timeout
    while True:
        value = check()
        if value or time.time() >= deadline:
            return value
        time.sleep(0.1)


def control(window, ident):
    """(enabled, checked, text without '&') of a control of the current page or the wizard."""
    code, lines = winebed.driver("control", window, ident)
    assert code == 0 and lines, "no control %d in %s" % (ident, window)
    enabled, checked, text = lines[0].split("\t", 2)
    return enabled == "enabled", checked == "checked", text.replace("&", "")


def enabled(window, ident):
    return control(window, ident)[0]


def checked(window, ident):
    return control(window, ident)[1]


def text(window, ident):
    return control(window, ident)[2]


def page(window):
    code, lines = winebed.driver("page", window)
    return int(lines[0]) if code == 0 and lines else None


def message_box():
    """The texts of the open message box, or None. It is owned by the wizard, so it is the
    topmost window titled Pathloom 2.0; the wizard itself has no OK button."""
    texts = winebed.window_texts(TITLE, 100) or []
    return texts if "OK" in texts else None


def answer_message(expected):
    """Waits for a message box with text EXPECTED, presses OK and checks that no other follows."""
    shown = until(lambda: expected in (message_box() or []))
    assert shown, "no message %r (%r)" % (expected, message_box())
    code, next_box = winebed.driver("answer", TITLE, "OK")
    assert code == 0, "the message %r did not close" % expected
    assert not next_box, "a second message followed %r: %r" % (expected, next_box)


class Wizard(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="pathloom_pages_")
        self.process = winebed.start("Pathloom", cwd=self.work)
        self.assertIsNotNone(winebed.window_texts(TITLE, 20000), "no wizard")
        until(lambda: page(TITLE) == 0)

    def tearDown(self):
        for window in (TITLE, OPTIONS):
            winebed.driver("press", window, "Cancel", 500)
        self.assertEqual(winebed.stop(self.process, 20), 0)
        self.process.close()
        shutil.rmtree(self.work, ignore_errors=True)

    def to_chart_options(self):
        """Reads the sample site and goes on to the chart options; returns the tree as it was."""
        winebed.driver("type", TITLE, URL, winebed.windows_path(SITE))
        until(lambda: enabled(TITLE, NEXT))
        winebed.driver("press", TITLE, "Next >")
        self.assertTrue(until(lambda: page(TITLE) == 1), "no tree page")
        self.assertTrue(until(crawl_ended, 60), "the crawl did not end")
        tree = winebed.driver("tree", TITLE)[1]
        winebed.driver("press", TITLE, "Next >", 5000)
        self.assertTrue(until(lambda: page(OPTIONS) == 2), "no chart options page")
        return tree

    def test_start_page_first_display_and_url(self):
        self.assertEqual(text(TITLE, URL), "")
        self.assertFalse(enabled(TITLE, NEXT))
        self.assertFalse(enabled(TITLE, BACK))
        self.assertEqual(text(TITLE, DEPTH), "1")
        self.assertEqual(control(TITLE, PAGE_LIMIT), (False, False, "100"))
        self.assertTrue(checked(TITLE, STAY))
        self.assertFalse(checked(TITLE, LIMIT))
        print("screenshot:", winebed.screenshot("wizard_start_page"))

        winebed.driver("type", TITLE, URL, "x")
        self.assertTrue(until(lambda: enabled(TITLE, NEXT)), "one character enables Next")
        winebed.driver("type", TITLE, URL, "")
        self.assertTrue(until(lambda: not enabled(TITLE, NEXT)), "an empty URL disables Next")

        winebed.driver("click", TITLE, LIMIT)
        self.assertTrue(until(lambda: enabled(TITLE, PAGE_LIMIT)))
        winebed.driver("type", TITLE, PAGE_LIMIT, "250")
        until(lambda: text(TITLE, PAGE_LIMIT) == "250")
        winebed.driver("click", TITLE, LIMIT)
        self.assertTrue(until(lambda: not enabled(TITLE, PAGE_LIMIT)))
        self.assertEqual(text(TITLE, PAGE_LIMIT), "250")

    def test_enter_goes_on_and_escape_cancels(self):
        winebed.driver("type", TITLE, URL, "http://127.0.0.1:9/")
        until(lambda: enabled(TITLE, NEXT))
        winebed.driver("key", TITLE, "return")
        self.assertTrue(until(lambda: page(TITLE) == 1), "Enter in the URL field did not go on")
        winebed.driver("key", TITLE, "escape")
        self.assertEqual(winebed.driver("gone", TITLE, 10000)[0], 0, "Escape did not end the wizard")

    def test_out_of_range_numbers_are_corrected_with_one_message(self):
        winebed.driver("click", TITLE, LIMIT)
        until(lambda: enabled(TITLE, PAGE_LIMIT))
        cases = [(PAGE_LIMIT, "5001", "Please enter a number between 1 and 5000.", "5000"),
                 (PAGE_LIMIT, "0", "Please enter a number between 1 and 5000.", "1"),
                 (DEPTH, "7", "The depth must be between 1 and 3.", "3"),
                 (DEPTH, "0", "The depth must be between 1 and 3.", "1")]
        for ident, typed, message, corrected in cases:
            with self.subTest(field=ident, typed=typed):
                winebed.driver("type", TITLE, ident, typed)
                answer_message(message)
                self.assertEqual(text(TITLE, ident), corrected)

        # An empty field is left alone as the user types, and refused when the page is left.
        winebed.driver("type", TITLE, DEPTH, "")
        winebed.driver("type", TITLE, URL, "http://127.0.0.1:9/")
        until(lambda: enabled(TITLE, NEXT))
        self.assertIsNone(message_box())
        winebed.driver("press", TITLE, "Next >")
        answer_message("Please enter an integer.")
        self.assertEqual(page(TITLE), 0)

    def test_import(self):
        sitemap = os.path.join(self.work, "saved.smp")
        entry = '<param name="URL" value="%s">\r\n'
        with open(sitemap, "w", newline="") as f:
            f.write("[Sitemap 1.0]\r\n<UL>\r\n" + entry % "http://example.com/" + "<UL>\r\n"
                    + entry % "http://example.com/a.html" + "</UL>\r\n</UL>\r\n")
        imported = ["0\t0\thttp://example.com/", "1\t2\thttp://example.com/a.html"]

        def import_file(path):
            winebed.driver("press", TITLE, "Import...")
            self.assertEqual(winebed.driver("wait", "Open", 10000)[0], 0)
            winebed.driver("save", "Open", winebed.windows_path(path))
            winebed.driver("gone", "Open", 5000)

        # Cancel changes nothing; a file that cannot be opened is refused with message 135.
        winebed.driver("press", TITLE, "Import...")
        self.assertEqual(winebed.driver("wait", "Open", 10000)[0], 0)
        winebed.driver("press", "Open", "Cancel")
        winebed.driver("gone", "Open", 5000)
        self.assertEqual(page(TITLE), 0)
        import_file(os.path.join(self.work, "missing.smp"))
        answer_message("Pathloom was unable to open the requested file.")
        self.assertEqual(page(TITLE), 0)

        # A field that fails to store keeps the page; the import stays pending for the next entry.
        winebed.driver("type", TITLE, DEPTH, "")
        import_file(sitemap)
        answer_message("Please enter an integer.")
        self.assertEqual(page(TITLE), 0)
        winebed.driver("type", TITLE, DEPTH, "2")
        winebed.driver("type", TITLE, URL, "http://127.0.0.1:9/")
        until(lambda: enabled(TITLE, NEXT))
        winebed.driver("press", TITLE, "Next >")
        self.assertTrue(until(lambda: page(TITLE) == 1), "Next did not reach the tree page")
        self.assertEqual(until(lambda: winebed.driver("tree", TITLE)[1]), imported)

        # From the start page again, a file that opens goes straight to the tree page.
        winebed.driver("press", TITLE, "< Back")
        self.assertTrue(until(lambda: page(TITLE) == 0))
        import_file(sitemap)
        self.assertTrue(until(lambda: page(TITLE) == 1), "import did not reach the tree page")
        self.assertEqual(until(lambda: winebed.driver("tree", TITLE)[1]), imported)
        print("screenshot:", winebed.screenshot("wizard_tree_page_imported"))

    def test_chart_options_page(self):
        tree = self.to_chart_options()
        self.assertTrue(checked(OPTIONS, HORIZONTAL))
        self.assertTrue(checked(OPTIONS, 1018))  # "Don't color anything"
        self.assertTrue(checked(OPTIONS, DUPLICATE_CHILDREN))
        self.assertTrue(checked(OPTIONS, GENERATE))
        self.assertEqual((text(OPTIONS, H_SPACING), text(OPTIONS, V_SPACING)), ("1.5", "1.5"))
        self.assertFalse(checked(OPTIONS, SAVE_SITEMAP))
        self.assertFalse(enabled(OPTIONS, FILE_NAME))
        self.assertFalse(enabled(OPTIONS, BROWSE))
        print("screenshot:", winebed.screenshot("wizard_chart_options_page"))

        winebed.driver("click", OPTIONS, GENERATE)
        self.assertTrue(until(lambda: not enabled(OPTIONS, H_SPACING)))
        self.assertEqual([enabled(OPTIONS, i) for i in FLOWCHART_CONTROLS], [False] * 10)
        self.assertTrue(enabled(OPTIONS, GENERATE))
        # The pictures answer clicks even while the buttons are disabled.
        for x, expected in ((130, VERTICAL), (100, VERTICAL), (210, ORG_CHART), (60, HORIZONTAL)):
            winebed.driver("pageclick", OPTIONS, x, 130)
            self.assertTrue(until(lambda: checked(OPTIONS, expected)), "click at %d" % x)
        winebed.driver("click", OPTIONS, GENERATE)
        self.assertTrue(until(lambda: enabled(OPTIONS, H_SPACING)))
        self.assertEqual([enabled(OPTIONS, i) for i in FLOWCHART_CONTROLS], [True] * 10)

        # Browse keeps what was typed elsewhere.
        winebed.driver("type", OPTIONS, H_SPACING, "2")
        winebed.driver("click", OPTIONS, SAVE_SITEMAP)
        self.assertTrue(until(lambda: enabled(OPTIONS, BROWSE)))
        winebed.driver("press", OPTIONS, "Browse...")
        winebed.driver("wait", "Save As", 10000)
        chosen = winebed.windows_path(os.path.join(self.work, "site.smp"))
        winebed.driver("save", "Save As", chosen)
        self.assertTrue(until(lambda: text(OPTIONS, FILE_NAME).lower() == chosen.lower()))
        self.assertEqual(text(OPTIONS, H_SPACING), "2")

        # Letters in a spacing hold the page on Next and on Back.
        winebed.driver("type", OPTIONS, V_SPACING, "wide")
        for button in ("Next >", "< Back"):
            winebed.driver("press", OPTIONS, button)
            answer_message("Please enter a number.")
            self.assertEqual(page(OPTIONS), 2)
        winebed.driver("type", OPTIONS, V_SPACING, "9")
        winebed.driver("press", OPTIONS, "Next >")
        answer_message("The spacing must be between 1 and 3 inches.")
        winebed.driver("type", OPTIONS, V_SPACING, "3")

        # Back keeps the tree; the options come back as they were left.
        winebed.driver("press", OPTIONS, "< Back")
        # A tree read anew would be emptied in the page's activation, which has ended once the
        # page answers as the current one.
        self.assertTrue(until(lambda: page(TITLE) == 1))
        self.assertEqual(winebed.driver("tree", TITLE)[1], tree)
        winebed.driver("press", TITLE, "Next >", 5000)
        self.assertTrue(until(lambda: page(OPTIONS) == 2))
        self.assertEqual((text(OPTIONS, H_SPACING), text(OPTIONS, V_SPACING)), ("2", "3"))
        self.assertTrue(checked(OPTIONS, SAVE_SITEMAP) and enabled(OPTIONS, BROWSE))

        # Next goes on to the finish page, which saves the sitemap file under the chosen name (through
        # a template of our own in the start directory); Back shows the options as they were left.
        with open(os.path.join(self.work, "sitemap.txt"), "w") as f:
            f.write("<LI>%URL</LI>\n")
        winebed.driver("click", OPTIONS, GENERATE)
        until(lambda: not checked(OPTIONS, GENERATE))
        winebed.driver("press", OPTIONS, "Next >")
        self.assertTrue(until(lambda: page(TITLE) == 3), "no finish page")
        self.assertTrue(until(lambda: os.path.exists(os.path.join(self.work, "site.smp"))), "no sitemap file")
        winebed.driver("painted", TITLE)
        print("screenshot:", winebed.screenshot("wizard_finish_page"))
        winebed.driver("press", TITLE, "< Back", 5000)
        self.assertTrue(until(lambda: page(OPTIONS) == 2))
        self.assertFalse(checked(OPTIONS, GENERATE))
        self.assertFalse(enabled(OPTIONS, H_SPACING))

    def test_help_starts_the_browser_with_the_help_page(self):
        saved = winebed.reg_query(BROWSER_KEY)
        recorder = os.path.join(self.work, "browser.exe")
        shutil.copy(winebed.exe("record_command"), recorder)
        try:
            winebed.reg_set(BROWSER_KEY, None, '"%s" "%%1"' % winebed.windows_path(recorder))
            winebed.driver("press", TITLE, "Help")
            record = recorder + ".txt"
            self.assertTrue(until(lambda: os.path.exists(record) and os.path.getsize(record) > 0))
            with open(record, encoding="latin-1") as f:
                line = f.read()
            self.assertTrue(line.endswith('"%s\\Pathloom.htm"' % winebed.windows_path(self.work)), line)
            self.assertEqual(page(TITLE), 0)
            # The help key asks for the same page.
            os.remove(record)
            winebed.driver("f1", TITLE)
            self.assertTrue(until(lambda: os.path.exists(record) and os.path.getsize(record) > 0, 30),
                            "F1 started nothing")

            winebed.reg_delete(BROWSER_KEY)
            winebed.driver("press", TITLE, "Help")
            answer_message("A default HTML browser can not be found.  The help file can't be viewed.")
        finally:
            if saved is None:
                winebed.reg_delete(BROWSER_KEY)
            else:
                winebed.reg_set(BROWSER_KEY, None, saved)


if __name__ == "__main__":
    unittest.main()
