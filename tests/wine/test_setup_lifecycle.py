"""The product's whole life in a fresh prefix with a scratch HOME: PathloomSetup.exe installs it,
Pathloom starts from its Start menu link and opens the installed help page, Retractor removes it
through the Add/Remove entry, alone and with the stand-in, silently and interactively, and
nothing that the setup made is left."""
import contextlib
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "retractor"))
import installation as inst  # noqa: E402
import winebed  # noqa: E402
from test_wizard_pages import until  # noqa: E402

SETUP = os.path.join(winebed.BUILD, "dist", "PathloomSetup.exe")
TITLE = "Pathloom 2.0"
RETRACTOR = "The Korvane Uninstaller"
APP_DIR = r"C:\Program Files\Korvane\Pathloom"
DATA_DIR = r"C:\Program Files\Korvane"
MENU_DIR = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Pathloom"
BASE_KEY = r"HKLM\SOFTWARE\Korvane\Uninstaller"
UNINSTALL = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
CLASSES = r"HKLM\SOFTWARE\Classes"
BROWSER_KEY = CLASSES + r"\http\shell\open\command"
LINKS = ("Pathloom.lnk", "Pathloom Help.lnk", "Uninstall Pathloom.lnk")

PATHLOOM_APP = [
    "11",
    "/ Pathloom 2.0.0",
    "A Pathloom 2.0",
    r"F %APPDIR%\Pathloom.exe",
    r"F %APPDIR%\Pathloom.htm",
    r"F %APPDIR%\sitemap.txt",
    r"F %MENUDIR%\Pathloom.lnk",
    r"F %MENUDIR%\Pathloom Help.lnk",
    r"F %MENUDIR%\Uninstall Pathloom.lnk",
    "D %MENUDIR%",
    r'K Machine "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Pathloom"',
    r'K Machine "SOFTWARE\Korvane\Uninstaller\MENUDIR"',
]
SHARED_SYS = [
    "6",
    "/ Korvane shared components",
    r"C %APPDIR%\KorvaneCleanup.dll RemoveAtRestart Retractor.exe",
    r"C %APPDIR%\KorvaneCleanup.dll RemoveAtRestart .",
    r"U %APPDIR%\KorvaneCleanup.dll RemoveAtRestart C:\Program Files\Korvane",
    r'K Machine "SOFTWARE\Korvane\Uninstaller"',
    r'K Machine E "SOFTWARE\Korvane"',
]


def running(program):
    """Whether a Wine process of this program (a Windows path) runs in this prefix."""
    prefix = ("WINEPREFIX=" + winebed.PREFIX).encode()
    for pid in filter(str.isdigit, os.listdir("/proc")):
        with contextlib.suppress(OSError):
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                command = f.read().split(b"\0")[0].decode("latin-1")
            with open("/proc/%s/environ" % pid, "rb") as f:
                if command.lower() == program.lower() and prefix in f.read().split(b"\0"):
                    return True
    return False


def lines(path):
    with open(winebed.unix_path(path), "rb") as f:
        data = f.read()
    assert data.endswith(b"\r\n") and b"\n" not in data.replace(b"\r\n", b""), "lines end with CR LF"
    return data.decode("latin-1").split("\r\n")[:-1]


def command_of(entry, name):
    """The program and arguments of a command line stored in the Add/Remove entry."""
    line = winebed.reg_query(entry, name)
    assert line and line.startswith('"'), line
    program, _, rest = line[1:].partition('"')
    return program, rest.split()


def setup(*args, timeout=300):
    return winebed.run(SETUP, list(args), timeout=timeout).returncode


def remove(entry, quiet=True, timeout=120):
    program, args = command_of(entry, "QuietUninstallString" if quiet else "UninstallString")
    return winebed.run(program, args, timeout=timeout).returncode


def restart():
    """Restarts the prefix's Windows, which carries out the removals left to a restart."""
    subprocess.run(["wineboot", "-r"], env=winebed.env(), check=True, timeout=300, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)


def snapshot():
    """Every path of drive C (but Windows' own folder and the temporary files) and every registry
    value under HKLM\\SOFTWARE and HKCU\\Software but Wine's own, as sets that a difference can be
    taken of. Wine notes there the desktop entries it made for Start menu links, and the network
    cards it found whenever it looks."""
    root = os.path.join(winebed.PREFIX, "drive_c")
    paths = set()
    for directory, dirs, names in os.walk(root):
        relative = os.path.relpath(directory, root).lower()
        dirs[:] = [d for d in dirs if d.lower() != "temp" and not (relative == "." and d.lower() == "windows")]
        paths.update(os.path.relpath(os.path.join(directory, n), root) for n in names + dirs)
    entries = set()
    for key in (r"HKEY_LOCAL_MACHINE\SOFTWARE", r"HKEY_CURRENT_USER\Software"):
        section = None
        for line in inst.export(key).splitlines():
            if line.startswith("["):
                wine = line.lower().startswith("[hkey_current_user\\software\\wine")
                section = None if wine or "\\NetworkCards\\" in line else line.strip()
                if section:
                    entries.add(section)
            elif line.strip() and section:
                entries.add(section + " " + line.strip())
    return paths, entries


def changes(before, after):
    """What the second snapshot adds to or lacks from the first."""
    return sorted(after[0] - before[0]) + sorted(after[1] - before[1]), \
        sorted(before[0] - after[0]) + sorted(before[1] - after[1])


def desktop_entries(home):
    found = []
    for directory, _dirs, names in os.walk(os.path.join(home, ".local", "share", "applications")):
        found += [os.path.relpath(os.path.join(directory, n), home) for n in names if n.endswith(".desktop")]
    return sorted(found)


@contextlib.contextmanager
def fresh_prefix():
    """A prefix and HOME of their own for the length of the block, on the run's display."""
    saved_prefix, saved_env = winebed.PREFIX, dict(os.environ)
    home = tempfile.mkdtemp(prefix="pathloom_home_")
    winebed.PREFIX = os.path.join(winebed.STATE, "setup_prefix")
    shutil.rmtree(winebed.PREFIX, ignore_errors=True)
    os.environ["HOME"] = home
    for name in ("XDG_DATA_HOME", "XDG_CONFIG_HOME"):
        os.environ.pop(name, None)
    try:
        winebed.make_prefix(fresh=True)
        yield home
    finally:
        subprocess.run(["wineserver", "-k"], env=winebed.env(), check=False, timeout=60, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        winebed.PREFIX = saved_prefix
        os.environ.clear()
        os.environ.update(saved_env)
        shutil.rmtree(home, ignore_errors=True)


# The setup is made for the programs' architecture, so it runs wherever the programs do.
@unittest.skipUnless(os.path.exists(SETUP), "no dist/PathloomSetup.exe: makensis (package nsis) was not found")
class Lifecycle(unittest.TestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        cls.prefix = fresh_prefix()
        cls.home = cls.prefix.__enter__()
        # A stand-in browser outside drive C, registered before the first snapshot.
        cls.work = tempfile.mkdtemp(prefix="pathloom_setup_")
        cls.browser = os.path.join(cls.work, "browser.exe")
        shutil.copy(winebed.exe("record_command"), cls.browser)
        winebed.reg_set(BROWSER_KEY, None, '"%s" "%%1"' % winebed.windows_path(cls.browser))
        # The last snapshots follow a restart, so the first does too.
        restart()
        cls.clean = snapshot()

    @classmethod
    def tearDownClass(cls):
        cls.prefix.__exit__(None, None, None)
        shutil.rmtree(cls.work, ignore_errors=True)

    def tearDown(self):
        # A failed test must not leave its installation to the next one.
        for key in (BASE_KEY, r"HKLM\SOFTWARE\Korvane", UNINSTALL + r"\Pathloom", UNINSTALL + r"\Plotwright",
                    CLASSES + r"\tesselplot.application"):
            winebed.reg_delete(key)
        for directory in (DATA_DIR, MENU_DIR):
            shutil.rmtree(winebed.unix_path(directory), ignore_errors=True)

    def assertRemovedAfterRestart(self):
        """Retractor, running, leaves itself and its folders to the next restart."""
        self.assertEqual(sorted(os.listdir(winebed.unix_path(APP_DIR))), ["Retractor.exe"])
        restart()
        self.assertNothingLeft()

    def assertNothingLeft(self):
        added, lost = changes(self.clean, snapshot())
        self.assertEqual(added, [], "left behind")
        self.assertEqual(lost, [], "removed though the setup did not make it")

    def assertPathloomInstalled(self):
        for name in ("Pathloom.exe", "Pathloom.htm", "sitemap.txt", "Retractor.exe"):
            self.assertTrue(inst.exists(APP_DIR + "\\" + name), name)
        for name in LINKS:
            self.assertTrue(inst.exists(MENU_DIR + "\\" + name), name)
        self.assertEqual(winebed.reg_query(BASE_KEY), DATA_DIR)
        self.assertEqual(winebed.reg_query(BASE_KEY + r"\APPDIR"), APP_DIR)
        self.assertEqual(winebed.reg_query(BASE_KEY + r"\MENUDIR"), MENU_DIR)
        self.assertEqual(lines(DATA_DIR + r"\Pathloom.app"), PATHLOOM_APP)
        self.assertEqual(lines(DATA_DIR + r"\Shared.sys"), SHARED_SYS)
        entry = UNINSTALL + r"\Pathloom"
        retractor = '"%s\\Retractor.exe" ' % APP_DIR
        for name, value in (("DisplayName", "Pathloom 2.0.0"), ("DisplayVersion", "2.0.0"), ("Publisher", "Korvane"),
                            ("DisplayIcon", APP_DIR + r"\Pathloom.exe,0"), ("InstallLocation", APP_DIR),
                            ("UninstallString", retractor + "Pathloom.app"),
                            ("QuietUninstallString", retractor + "/s Pathloom.app"),
                            ("NoModify", "0x1"), ("NoRepair", "0x1")):
            self.assertEqual(winebed.reg_query(entry, name), value, name)
        self.assertGreater(int(winebed.reg_query(entry, "EstimatedSize"), 16), 100)

    def test_install_use_and_remove_silently(self):
        # Another flowchart application answers to the ProgID: the setup leaves it that registration.
        other = CLASSES + r"\tesselplot.application\CLSID"
        winebed.reg_set(other, None, "{0A1B2C3D-0000-4000-8000-00000000F10C}")
        started = time.monotonic()
        self.assertEqual(setup("/S"), 0)
        installed = time.monotonic()
        self.assertPathloomInstalled()
        self.assertFalse(inst.exists(DATA_DIR + r"\Plotwright.app"))
        self.assertEqual(winebed.reg_query(other), "{0A1B2C3D-0000-4000-8000-00000000F10C}")
        winebed.reg_delete(CLASSES + r"\tesselplot.application")
        print("desktop entries after the setup:", desktop_entries(self.home))

        # Started from its link's target in the folder the link names; Help opens the installed page.
        pathloom = winebed.start(r"C:\windows\system32\start.exe", ["/wait", MENU_DIR + r"\Pathloom.lnk"])
        try:
            self.assertIsNotNone(winebed.window_texts(TITLE, 30000), "no wizard")
            print("screenshot:", winebed.screenshot("setup_installed_start_page"))
            record = self.browser + ".txt"
            winebed.driver("press", TITLE, "Help")
            self.assertTrue(until(lambda: os.path.exists(record) and os.path.getsize(record) > 0), "no browser")
            with open(record, encoding="latin-1") as f:
                self.assertTrue(f.read().endswith('"%s\\Pathloom.htm"' % APP_DIR))
        finally:
            self.closePathloom(pathloom)

        removing = time.monotonic()
        self.assertEqual(remove(UNINSTALL + r"\Pathloom"), 0)
        removed = time.monotonic()
        print("install %.1f s, remove %.1f s" % (installed - started, removed - removing))
        self.assertEqual(sorted(os.listdir(winebed.unix_path(APP_DIR))), ["Retractor.exe"])
        restart()
        print("desktop entries after the removal and a restart:", desktop_entries(self.home))
        self.assertNothingLeft()
        # Wine leaves the desktop entries of deleted links until its menu builder is asked to look.
        winebed.run(r"C:\windows\system32\winemenubuilder.exe", ["-r"], timeout=120)
        self.assertEqual(desktop_entries(self.home), [])

    def test_the_stand_in_outlives_pathloom_and_a_repair_doubles_nothing(self):
        self.assertEqual(setup("/S", "/PLOTWRIGHT"), 0)
        manifests = {name: lines(DATA_DIR + "\\" + name) for name in ("Pathloom.app", "Plotwright.app", "Shared.sys")}
        self.assertEqual(setup("/S", "/PLOTWRIGHT"), 0)
        for name, first in manifests.items():
            self.assertEqual(lines(DATA_DIR + "\\" + name), first, name)
        self.assertPathloomInstalled()
        self.assertEqual(manifests["Plotwright.app"], [
            "6", "/ Plotwright flowchart stand-in 2.0.0", "A # PlotwrightFrame", r"F %APPDIR%\Plotwright.exe",
            r'K Machine "SOFTWARE\Classes\tesselplot.application"',
            r'K Machine "SOFTWARE\Classes\CLSID\{6E2B9A4C-3D71-4F85-A0C2-9B17E4D5F830}"',
            r'K Machine "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Plotwright"'])
        server = winebed.reg_query(CLASSES + r"\CLSID\{6E2B9A4C-3D71-4F85-A0C2-9B17E4D5F830}\LocalServer32")
        self.assertIn(APP_DIR + r"\Plotwright.exe", server or "")

        self.assertEqual(remove(UNINSTALL + r"\Pathloom"), 0)
        for name in ("Plotwright.exe", "Retractor.exe"):
            self.assertTrue(inst.exists(APP_DIR + "\\" + name), name)
        for name in ("Pathloom.exe", "Pathloom.htm", "sitemap.txt"):
            self.assertFalse(inst.exists(APP_DIR + "\\" + name), name)
        self.assertFalse(inst.exists(MENU_DIR))
        self.assertEqual(sorted(os.listdir(winebed.unix_path(DATA_DIR))), ["Pathloom", "Plotwright.app", "Shared.sys"])
        self.assertEqual(winebed.reg_query(BASE_KEY + r"\APPDIR"), APP_DIR)
        self.assertIsNone(winebed.reg_query(BASE_KEY + r"\MENUDIR"))
        self.assertFalse(winebed.reg_key_exists(UNINSTALL + r"\Pathloom"))
        self.assertTrue(winebed.reg_key_exists(CLASSES + r"\tesselplot.application"))

        self.assertEqual(remove(UNINSTALL + r"\Plotwright"), 0)
        self.assertRemovedAfterRestart()

    def test_removal_through_the_entry_asks_and_is_refused_while_pathloom_runs(self):
        self.assertEqual(setup("/S"), 0)
        self.assertTrue(inst.exists(DATA_DIR + r"\Plotwright.app"))  # no other flowchart application
        uninstall = command_of(UNINSTALL + r"\Pathloom", "UninstallString")
        # While Pathloom runs, the application check stops the run with its message.
        pathloom = winebed.start(APP_DIR + r"\Pathloom.exe", cwd=winebed.unix_path(APP_DIR))
        try:
            self.assertIsNotNone(winebed.window_texts(TITLE, 30000), "no wizard")
            removal = winebed.start(*uninstall)
            self.confirm("setup_removal_question")
            message = inst.texts_of(RETRACTOR, "is currently running")
            self.assertIn("Pathloom 2.0 is currently running. Please close the application and run the Korvane "
                          "Uninstaller again.", message or [])
            print("screenshot:", winebed.screenshot("setup_removal_refused_while_running"))
            winebed.driver("press", RETRACTOR, "OK")
            self.assertEqual(inst.stop(removal, 60), 0)
            self.assertPathloomInstalled()
        finally:
            self.closePathloom(pathloom)

        removal = winebed.start(*uninstall)
        try:
            self.confirm(None)
        finally:
            self.assertEqual(inst.stop(removal, 120), 0)
        self.assertEqual(remove(UNINSTALL + r"\Plotwright"), 0)
        self.assertRemovedAfterRestart()

    def confirm(self, screenshot):
        question = inst.texts_of(RETRACTOR, "Are you sure")
        self.assertIn("Are you sure you want to remove the selected program?", question or [])
        if screenshot:
            print("screenshot:", winebed.screenshot(screenshot))
        winebed.driver("press", RETRACTOR, "&Yes")

    def closePathloom(self, started):
        winebed.driver("press", TITLE, "Cancel", 500)
        inst.stop(started, 60)
        # Retractor's application check would find the wizard's windows while they close.
        self.assertTrue(until(lambda: not running(APP_DIR + r"\Pathloom.exe"), 60), "Pathloom still runs")

    def test_a_folder_too_long_for_retractor_is_refused(self):
        folder = "C:\\" + "\\".join(["LongFolderName%02d" % i for i in range(18)])
        self.assertGreater(len(folder + r"\Pathloom.exe"), 259)
        self.assertEqual(setup("/S", "/D=" + folder), 2)
        self.assertFalse(inst.exists(folder))
        self.assertNothingLeft()


if __name__ == "__main__":
    unittest.main()
