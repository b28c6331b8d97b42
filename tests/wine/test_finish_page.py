"""The finish page in the real wizard: the sample site crawled, charted through the Plotwright
stand-in and written as a sitemap file; a failing call on the stand-in; the sitemap alone."""
import os
import tempfile
import time
import unittest

import winebed
from chart.charting import Chart, register
from drive_wizard import DEPTH, OPTIONS, TITLE, URL, control_text, crawl_ended, current_page, wait

ORG_CHART_BUTTON, GENERATE_FLOWCHART, SAVE_SITEMAP, SITEMAP_NAME = 1013, 1045, 1042, 1043
CLOSING_TEXT = 1056
FINISH_BUTTON = 0x3025


def control_state(window, ident):
    code, lines = winebed.driver("control", window, ident)
    return lines[0].split("\t")[0] if code == 0 and lines else None


class FinishPage(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.journal = os.path.join(self.work.name, "journal.txt")
        self.drawings = os.path.join(self.work.name, "svg")
        os.makedirs(self.drawings)
        self.pathloom = None

    def tearDown(self):
        if self.pathloom:
            winebed.driver("press", TITLE, "Cancel", 2000)
            winebed.stop(self.pathloom, 20)
            self.pathloom.close()
        winebed.stop_plotwright()
        self.work.cleanup()

    def to_options_page(self):
        """Starts Pathloom, reads the sample site and goes on to the chart options page."""
        site = winebed.windows_path(os.path.join(winebed.SOURCE, "samples", "site", "index.html"))
        self.pathloom = winebed.start("Pathloom", cwd=os.path.dirname(winebed.exe("Pathloom")))
        self.assertEqual(winebed.driver("wait", TITLE, 30000)[0], 0)
        winebed.driver("type", TITLE, URL, site)
        winebed.driver("type", TITLE, DEPTH, "2")
        winebed.driver("press", TITLE, "Next >")
        wait(lambda: current_page(TITLE) == 1, 20, "the tree page")
        wait(crawl_ended, 300, "the end of the crawl")
        winebed.driver("press", TITLE, "Next >")
        wait(lambda: current_page(OPTIONS) == 2, 20, "the chart options page")

    def to_finish_page(self, sitemap_name=None):
        if sitemap_name is not None:
            winebed.driver("click", OPTIONS, SAVE_SITEMAP)
            winebed.driver("type", OPTIONS, SITEMAP_NAME, winebed.windows_path(sitemap_name))
        winebed.driver("press", OPTIONS, "Next >")
        wait(lambda: self.answer_template_message() or current_page(TITLE) == 3, 20, "the finish page")

    @staticmethod
    def answer_template_message():
        """Without a sitemap.txt in its folder Pathloom says it uses its built-in template."""
        winebed.driver("press", TITLE, "OK", 0)
        return False

    def run_ended(self):
        return self.answer_template_message() or control_state(TITLE, CLOSING_TEXT) == "enabled"

    def chart(self):
        if not os.path.exists(self.journal):
            return Chart([], [], {})
        with open(self.journal, encoding="latin-1") as f:
            return Chart([], f.read().splitlines(), {})

    def test_chart_and_sitemap_of_the_sample_site(self):
        register(self.journal, self.drawings)
        self.to_options_page()
        winebed.driver("click", OPTIONS, ORG_CHART_BUTTON)
        sitemap = os.path.join(self.work.name, "site")
        self.to_finish_page(sitemap)
        wait(self.run_ended, 120, "the end of the run")
        # The wizard enables its buttons by a posted message, after the closing text.
        wait(lambda: control_state(TITLE, FINISH_BUTTON) == "enabled", 20, "Finish enabled")
        winebed.screenshot("finish_page_1_flowchart_in_front")
        # Once the user closes the flowchart, the page is seen with its last status.
        self.assertTrue(winebed.stop_plotwright())
        winebed.driver("painted", TITLE)
        winebed.screenshot("finish_page_2_done")

        chart = self.chart()
        drops = chart.drops()
        self.assertGreater(len(drops), 5)
        self.assertEqual(drops[0][:2], (50.0, 2.0))
        self.assertIn("application 64 call []", chart.lines())
        self.assertEqual(len(os.listdir(self.drawings)), 1)
        with open(sitemap + ".smp", encoding="latin-1") as f:
            self.assertIn("index.html", f.read())

        # Back shows the longer name; Next runs again on the tree as it stands.
        winebed.driver("press", TITLE, "< Back")
        wait(lambda: current_page(OPTIONS) == 2, 20, "the chart options page again")
        self.assertEqual(control_text(OPTIONS, SITEMAP_NAME), winebed.windows_path(sitemap) + ".smp")
        winebed.driver("press", OPTIONS, "Next >")
        wait(lambda: current_page(TITLE) == 3, 20, "the finish page again")
        wait(self.run_ended, 120, "the end of the second run")
        self.assertEqual(self.chart().lines().count("application 64 call []"), 2)
        winebed.driver("press", TITLE, "Finish")
        self.assertEqual(winebed.stop(self.pathloom, 20), 0)
        self.pathloom.close()
        self.pathloom = None

    def test_failing_call_ends_the_run_quietly(self):
        register(self.journal, self.drawings, fail_at=15)
        self.to_options_page()
        sitemap = os.path.join(self.work.name, "never")
        self.to_finish_page(sitemap)
        wait(lambda: self.chart().lines()[-1:] == ["application 65 call []"], 60, "the teardown")
        time.sleep(2)
        self.assertEqual(control_state(TITLE, CLOSING_TEXT), "disabled")
        self.assertEqual(control_state(TITLE, FINISH_BUTTON), "disabled")
        code, windows = winebed.driver("list")
        self.assertEqual([w for w in windows if w.endswith("\tPathloom 2.0")], ["#32770\tPathloom 2.0"])
        self.assertFalse(os.path.exists(sitemap + ".smp"))

    def test_sitemap_alone_starts_no_flowchart_application(self):
        register(self.journal, self.drawings)
        self.to_options_page()
        winebed.driver("click", OPTIONS, GENERATE_FLOWCHART)
        sitemap = os.path.join(self.work.name, "alone.SMP")
        self.to_finish_page(sitemap)
        wait(self.run_ended, 60, "the end of the run")
        self.assertTrue(os.path.exists(sitemap))
        self.assertFalse(os.path.exists(self.journal))

    def test_without_the_flowchart_application_the_program_ends(self):
        self.assertEqual(winebed.run("Plotwright", ["/unregserver"]).returncode, 0)
        self.to_options_page()
        winebed.driver("press", OPTIONS, "Next >")
        wait(lambda: "Failed to launch Plotwright" in (winebed.window_texts(TITLE, 1000) or []), 30, "message 116")
        winebed.driver("press", TITLE, "OK")
        self.assertEqual(winebed.stop(self.pathloom, 30), 1)
        self.pathloom.close()
        self.pathloom = None


if __name__ == "__main__":
    unittest.main()
