"""The Plotwright stand-in under Wine: registered in the prefix, started by COM for a scripted
client, answering its calls across processes, journaling them and saving the drawing as SVG."""
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

import winebed

PALETTE_7 = "Plotwright basic palettes\\Standard"
CLASS_KEY = r"HKLM\Software\Classes\CLSID\{6E2B9A4C-3D71-4F85-A0C2-9B17E4D5F830}"
BROWSER_KEY = r"HKLM\Software\Classes\http\shell\open\command"

# A small horizontal chart as a client draws it: a start page with two children, coloured,
# labelled and linked, one drop off the page, and a normal end. Each step is the client's line
# (tab-separated) and the journal line the server must write for it.
SMALL_CHART = [
    ("app\t30\tget", 'application 30 get []'),
    ("app\t31\tput\tB:0", 'application 31 put [false]'),
    ("doc=app\t67\tcall", 'application 67 call []'),
    ("doc\t4\tput\tT:" + PALETTE_7, 'document1 4 put ["Plotwright basic palettes\\\\Standard"]'),
    ("doc\t53\tput\tI2:0", 'document1 53 put [0]'),
    ("app\t25\tput\tB:0", 'application 25 put [false]'),
    ("doc\t2\tput\tI2:3", 'document1 2 put [3]'),
    ("doc\t6\tput\tR8:1", 'document1 6 put [1.0]'),
    ("doc\t7\tput\tR8:2", 'document1 7 put [2.0]'),
    ("s1=doc\t71\tcall\t@T:Process", 'document1 71 call ["Process"]'),
    ("s1\t24\tget", 'shape1 24 get []'),
    ("doc\t6\tget", 'document1 6 get []'),
    ("c=app\t63\tcall\tI2:255\tI2:0\tI2:255", 'application 63 call [255, 0, 255]'),
    ("s1\t5\tput\tI4:16711935", 'shape1 5 put [16711935]'),
    ("l1=s1\t15\tget", 'shape1 15 get []'),
    ("l1\t15\tput\tT:http://127.0.0.1/", 'link1 15 put ["http://127.0.0.1/"]'),
    ("s1\t17\tput\tT:127.0.0.1", 'shape1 17 put ["127.0.0.1"]'),
    ("doc\t6\tput\tR8:2", 'document1 6 put [2.0]'),
    ("doc\t7\tput\tR8:3", 'document1 7 put [3.0]'),
    ("s2=doc\t71\tcall\t@T:Internal Storage", 'document1 71 call ["Internal Storage"]'),
    ("app\t63\tcall\tI2:-15\tI2:270\tI2:255", 'application 63 call [-15, 270, 255]'),
    ("s2\t5\tput\tI4:16777216", 'shape2 5 put [16777216]'),
    ("s2\t17\tput\tT:file & more.zip", 'shape2 17 put ["file & more.zip"]'),
    ("ln=doc\t69\tcall\tO:s1\tO:s2\t@R8:2\t@R8:3", 'document1 69 call ["shape1", "shape2", 2.0, 3.0]'),
    ("ln\t34\tcall", 'line1 34 call []'),
    ("doc\t6\tput\tR8:-3", 'document1 6 put [-3.0]'),
    ("s3=doc\t71\tcall\t@T:Terminal", 'document1 71 call ["Terminal"]'),
    ("s3\t24\tget", 'shape3 24 get []'),
    ("pg=doc\t37\tget", 'document1 37 get []'),
    ("pg\t9\tget", 'page1 9 get []'),
    ("doc\t55\tput\tI2:1", 'document1 55 put [1]'),
    ("app\t31\tput\tB:1", 'application 31 put [true]'),
    ("app\t33\tget", 'application 33 get []'),
    ("app\t64\tcall", 'application 64 call []'),
]


def until(check, timeout=10.0):
    deadline = time.time() + timeout
    while not check():
        if time.time() >= deadline:
            return False
        time.sleep(0.1)
    return True


def three_linked_shapes(links):
    """A client's lines for three labelled shapes in a row, one inch apart, with the links
    (label, command text, address) given, and a normal end."""
    lines = ["doc=app\t67\tcall", "doc\t4\tput\tT:" + PALETTE_7]
    for n, (label, command, address) in enumerate(links, 1):
        lines += ["doc\t6\tput\tR8:%d" % n, "doc\t7\tput\tR8:2", "s%d=doc\t71\tcall\t@T:Process" % n,
                  "l%d=s%d\t15\tget" % (n, n), "l%d\t15\tput\tT:%s" % (n, address),
                  "l%d\t9\tput\tT:%s" % (n, command), "s%d\t17\tput\tT:%s" % (n, label)]
    return lines + ["app\t64\tcall"]


def read(path):
    with open(path, encoding="ascii") as f:
        return f.read()


class Plotwright(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="plotwright-", dir=winebed.STATE)
        self.journal = os.path.join(self.dir, "journal.txt")
        self.svg = os.path.join(self.dir, "svg")

    def tearDown(self):
        winebed.stop_plotwright()
        shutil.rmtree(self.dir, ignore_errors=True)

    def client(self, lines, timeout=120):
        """Runs the scripted client; returns its result lines, one per script line."""
        script = os.path.join(self.dir, "script.txt")
        with open(script, "w", newline="\r\n") as f:
            f.write("\n".join(["create"] + lines) + "\n")
        r = winebed.run("plotwright_client", [winebed.windows_path(script)], timeout=timeout)
        self.assertEqual(r.returncode, 0, r.stderr)
        results = [line.rstrip("\r") for line in r.stdout.splitlines()]
        self.assertEqual(results[0], "OK object", "the server was not created")
        return results[1:]

    def test_a_small_chart_is_answered_journaled_drawn_and_saved(self):
        winebed.register_plotwright(journal=self.journal, svg_folder=self.svg)
        results = self.client([line for line, _ in SMALL_CHART])
        by_line = dict(zip([line for line, _ in SMALL_CHART], results))
        self.assertTrue(all(r.startswith("OK") for r in results), results)
        self.assertEqual(by_line["app\t30\tget"], "OK 7.0")
        self.assertEqual(by_line["s1\t24\tget"], "OK true")
        self.assertEqual(by_line["s3\t24\tget"], "OK false")  # dropped left of the page
        self.assertEqual(by_line["doc\t6\tget"], "OK 1")
        self.assertEqual(by_line["c=app\t63\tcall\tI2:255\tI2:0\tI2:255"], "OK 16711935")
        self.assertEqual(by_line["pg\t9\tget"], "OK 11")
        code, lines = winebed.driver("wait", winebed.PLOTWRIGHT_WINDOW, 5000)
        self.assertEqual(code, 0)
        self.assertEqual(int(by_line["app\t33\tget"].split()[1]), int(lines[0], 16))

        notes = [line for line in read(self.journal).splitlines() if line.startswith("# svg ")]
        self.assertEqual(winebed.read_journal(self.journal), [journal for _, journal in SMALL_CHART])
        self.assertEqual(len(notes), 1, notes)
        saved = notes[0][len("# svg "):]
        self.assertTrue(re.search(r"\\plotwright-\d{8}-\d{6}-1\.svg$", saved), saved)
        svg_files = os.listdir(self.svg)
        self.assertEqual(len(svg_files), 1)
        svg = read(os.path.join(self.svg, svg_files[0]))
        self.assertIn('<g id="shape1" data-master="Process" data-fill="255,0,255">', svg)
        self.assertIn('<g id="shape2" data-master="Internal Storage" data-fill="-15,270,255">', svg)
        self.assertIn('fill="#00ffff"', svg)
        self.assertNotIn('id="shape3"', svg)
        self.assertIn('<polyline id="line1" points="1,2.25 1,2.5 1.5,2.5 1.5,3 1.6,3"/>', svg)
        # The label wraps within the shape after a separator.
        self.assertIn(">file &amp; more.</tspan><tspan x=\"200\" y=\"311.4\">zip</tspan></text>", svg)
        self.assertIn('xlink:href="http://127.0.0.1/"', svg)

        code, lines = winebed.driver("texts", winebed.PLOTWRIGHT_WINDOW)
        self.assertEqual(lines[0], "PlotwrightFrame\tPlotwright 7.0 - document1")
        winebed.driver("painted", winebed.PLOTWRIGHT_WINDOW)
        winebed.screenshot("plotwright_small_chart")

    def test_the_older_version_runs_its_own_branch(self):
        winebed.register_plotwright(version="5.0", journal=self.journal)
        results = self.client([
            "app\t30\tget",
            "doc=app\t67\tcall",
            "doc\t4\tput\tT:" + PALETTE_7,
            "doc\t4\tput\tT:Standard",
            "doc\t89\tcall\tI2:2",
            "doc\t55\tput\tI2:2",
            "app\t65\tcall",
        ])
        self.assertEqual(results[0], "OK 5.0")
        self.assertTrue(results[2].startswith("ERR 0x80020009 There is no palette"), results[2])
        self.assertEqual(results[3], "OK")
        self.assertEqual(results[4], "ERR 0x80020003 ")  # DISP_E_MEMBERNOTFOUND
        self.assertEqual(results[5:], ["OK", "OK"])
        self.assertEqual(len(winebed.read_journal(self.journal)), 7)
        self.assertNotIn("# svg", read(self.journal))  # an abnormal end saves nothing

    def test_the_chosen_call_fails_and_the_run_goes_on(self):
        winebed.register_plotwright(journal=self.journal, fail_at=3)
        results = self.client([
            "app\t30\tget",
            "app\t31\tput\tB:0",
            "doc=app\t67\tcall",
            "app\t31\tget",
            "app\t31\tput\tB:1",
            "app\t65\tcall",
        ])
        self.assertEqual(results, ["OK 7.0", "OK", "ERR 0x80020009 Call 3 failed on purpose.", "OK false", "OK",
                                   "OK"])
        self.assertEqual(winebed.read_journal(self.journal)[2], "application 67 call []")

    def test_a_shape_shows_its_whole_label_and_opens_only_its_address(self):
        browser = os.path.join(self.dir, "browser.exe")
        stray = os.path.join(self.dir, "stray.exe")
        for path in (browser, stray):
            shutil.copy(winebed.exe("record_command"), path)
        opened, ran = browser + ".txt", stray + ".txt"
        saved = winebed.reg_query(BROWSER_KEY)
        winebed.reg_set(BROWSER_KEY, None, '"%s" "%%1"' % winebed.windows_path(browser))
        try:
            url = "http://127.0.0.1:8000/products/index.html"
            label = "a label far too long for one line of its shape.html"
            stray_command = '"%s" ' % winebed.windows_path(stray)
            winebed.register_plotwright(svg_folder=self.svg)
            results = self.client(three_linked_shapes([
                (label, '"%s" %s' % (winebed.windows_path(browser), url), url),
                ("stray", stray_command + winebed.windows_path(stray), ""),
                ("also stray", stray_command + "http://127.0.0.1:8000/b.html", "")]))
            self.assertTrue(all(r.startswith("OK") for r in results), results)
            self.assertEqual(winebed.driver("wait", winebed.PLOTWRIGHT_WINDOW, 5000)[0], 0)
            self.assertEqual(winebed.driver("painted", winebed.PLOTWRIGHT_WINDOW)[0], 0)

            # The drawing fits the window at actual size, centred: the shapes lie 96 pixels apart.
            def point(dx, action):
                return winebed.driver("point", winebed.PLOTWRIGHT_WINDOW, "PlotwrightCanvas", dx, 0, action)[0]

            def status():
                return winebed.driver("texts", winebed.PLOTWRIGHT_WINDOW)[1][-1]

            def wait_for_browser():
                if not until(lambda: os.path.exists(opened) and os.path.getsize(opened) > 0, 20):
                    processes = subprocess.run(["ps", "-eo", "pid,ppid,stat,etime,args"], capture_output=True,
                                               text=True).stdout.splitlines()
                    self.fail("the browser wrote nothing: %s; browser command %s; files %s; Wine's processes:\n%s" % (
                        status(), winebed.reg_query(BROWSER_KEY), os.listdir(self.dir),
                        "\n".join(p for p in processes if ".exe" in p.lower())))

            self.assertEqual(point(-96, "move"), 0)
            code, tip = winebed.driver("tip", 5000)
            self.assertEqual((code, tip), (0, [label, url]))
            winebed.screenshot("plotwright_tooltip")

            # A link whose address is a program opens nothing, and its command does not run.
            self.assertEqual(point(0, "dblclick"), 0)
            self.assertFalse(until(lambda: os.path.exists(ran) or os.path.exists(opened), 3))
            self.assertIn("Not opened", status())

            # A web address opens in the registered browser, whatever program the link names.
            self.assertEqual(point(-96, "dblclick"), 0)
            wait_for_browser()
            with open(opened, encoding="latin-1") as f:
                self.assertTrue(f.read().endswith('"%s"' % url))
            os.remove(opened)
            self.assertEqual(point(96, "ctrlclick"), 0)
            wait_for_browser()
            with open(opened, encoding="latin-1") as f:
                self.assertTrue(f.read().endswith('"http://127.0.0.1:8000/b.html"'))
            self.assertFalse(os.path.exists(ran))
        finally:
            if saved is None:
                winebed.reg_delete(BROWSER_KEY)
            else:
                winebed.reg_set(BROWSER_KEY, None, saved)

    def test_registration_carries_the_switches_and_is_removed(self):
        winebed.register_plotwright(version="5.0", fail_at=7, idle_seconds=30)
        command = winebed.reg_query(CLASS_KEY + r"\LocalServer32")
        self.assertRegex(command, r'^"[^"]*Plotwright\.exe" /version:5\.0 /failat:7 /idle:30$')
        self.assertEqual(winebed.reg_query(r"HKLM\Software\Classes\tesselplot.application\CLSID"),
                         CLASS_KEY.rsplit("\\", 1)[1])
        self.assertEqual(winebed.run("Plotwright", ["/unregserver"]).returncode, 0)
        self.assertFalse(winebed.reg_key_exists(CLASS_KEY))
        self.assertFalse(winebed.reg_key_exists(r"HKLM\Software\Classes\tesselplot.application"))
        winebed.register_plotwright()
        self.assertTrue(winebed.reg_key_exists(CLASS_KEY + r"\LocalServer32"))

    def test_it_ends_by_itself_when_no_client_holds_it(self):
        winebed.register_plotwright(idle_seconds=2)
        self.client(["app\t30\tget"])
        # The client has ended and released everything: the idle time runs from then.
        self.assertEqual(winebed.driver("gone", winebed.PLOTWRIGHT_WINDOW, 15000)[0], 0)

    def test_cost_of_a_call_across_processes(self):
        winebed.register_plotwright()
        results = self.client(["doc=app\t67\tcall", "bench 500 doc 6"])
        m = re.match(r"OK (\d+) calls in (\d+) ms", results[1])
        self.assertTrue(m, results)
        calls, ms = int(m.group(1)), max(1, int(m.group(2)))
        print("\nPlotwright: %d property gets across processes in %d ms: %.2f ms a call, %.0f calls/s"
              % (calls, ms, ms / calls, calls * 1000.0 / ms))


if __name__ == "__main__":
    unittest.main()
