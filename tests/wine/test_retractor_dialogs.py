"""Retractor's windows under Wine: the confirmation, the shared-file question answered Yes,
No, Yes To All, Enter and Escape, and the running-application message ("A")."""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "retractor"))
import installation as inst  # noqa: E402
import winebed  # noqa: E402

from installation import APP_DIR, DATA_DIR, SYS_DIR, TITLE  # noqa: E402

QUESTION = 'Are you sure you want to delete the shared file "%s" from your system?'


class Dialogs(unittest.TestCase):
    process = None

    def tearDown(self):
        if self.process:
            inst.stop(self.process, 1)  # a failed test must not leave its windows behind
        inst.remove_everything()

    def start(self, *args):
        self.process = inst.retractor(*args)
        return self.process

    def finish(self, process):
        status = inst.stop(process, 30)
        self.assertEqual(status, 0)

    def assert_centred(self, count):
        """The COUNT windows titled TITLE are centred on the screen."""
        lines = winebed.driver("rects", TITLE)[1]
        work, *windows = [[int(n) for n in line.split()] for line in lines]
        self.assertEqual(len(windows), count)
        for rect in windows:
            for low, high in ((0, 2), (1, 3)):
                self.assertLessEqual(abs(rect[low] + rect[high] - work[low] - work[high]), 1, (rect, work))

    def test_no_to_the_confirmation_does_nothing(self):
        inst.install()
        process = self.start("viewer.app")
        texts = inst.texts_of(containing="Are you sure you want to remove the selected program?")
        self.assertIsNotNone(texts)
        self.assert_centred(1)
        self.assertTrue(inst.press("No"))
        self.finish(process)
        self.assertTrue(inst.exists(DATA_DIR + r"\viewer.app"))
        self.assertTrue(inst.exists(APP_DIR + r"\viewer.exe"))

    def test_test_mode_with_windows_changes_nothing(self):
        inst.install()
        before = inst.snapshot()
        process = self.start("/t", "viewer.app")
        self.assertTrue(inst.press("Yes"))
        self.finish(process)  # no shared-file question comes in test mode
        after = inst.snapshot()
        self.assertEqual(before[0], after[0])
        self.assertEqual(before[1], after[1])

    def test_shared_file_answers(self):
        one = "4\n" + "".join("S %%SYSDIR%%\\%s.dll\n" % n for n in "abcd")
        two = "2\nS %SYSDIR%\\e.dll\nS %SYSDIR%\\f.dll\n"
        counts = [inst.reg_text(SYS_DIR + "\\%s.dll" % n) + "=dword:00000001" for n in "abcdef"]
        inst.install(manifests={"one.app": one, "two.app": two}, extra_reg=counts)
        for n in "abcdef":
            inst.write(SYS_DIR + "\\%s.dll" % n, n)

        process = self.start("one.app", "two.app")
        self.assertTrue(inst.press("Yes"))  # the confirmation
        for name, answer in (("a", "Yes"), ("b", "No"), ("c", "Yes To All"), ("e", "return"), ("f", "escape")):
            texts = inst.texts_of(containing=QUESTION % (name + ".dll"))
            self.assertIsNotNone(texts, name)
            if name == "a":
                self.assertEqual(sorted(t.replace("&", "") for t in texts if t in ("&Yes", "Yes To &All", "&No")),
                                 ["No", "Yes", "Yes To All"])
                print("screenshot:", winebed.screenshot("retractor_shared_question"))
                self.assert_centred(2)  # the question and the progress window behind it
            if answer in ("return", "escape"):
                self.assertEqual(winebed.driver("key", TITLE, answer)[0], 0)
            else:
                self.assertTrue(inst.press(answer))
        self.finish(process)

        for name, kept in (("a", False), ("b", True), ("c", False), ("d", False), ("e", False), ("f", True)):
            self.assertEqual(inst.exists(SYS_DIR + "\\%s.dll" % name), kept, name)
            self.assertEqual(inst.shared_count(inst.NEW_SHARED, SYS_DIR + "\\%s.dll" % name), 1 if kept else None, name)


class RunningApplication(unittest.TestCase):
    def setUp(self):
        self.app = winebed.start("retractor_app_window", ["KvViewerMain", "Viewer", "-", "notes.txt"])
        self.assertEqual(winebed.driver("wait", "Viewer - notes.txt", 20000)[0], 0)

    def tearDown(self):
        if getattr(self, "process", None):
            inst.stop(self.process, 1)
        winebed.driver("close", "Viewer - notes.txt")
        inst.stop(self.app, 10)
        inst.remove_everything()

    def check(self, line, shown, silent):
        first = "2\n%s\nF %%APPDIR%%\\viewer.exe\n" % line
        second = "1\nF %APPDIR%\\Read Me.txt\n"
        inst.install(manifests={"first.app": first, "second.app": second},
                     extra_reg=[r"[HKEY_CURRENT_USER\Software\Korvane\Viewer]", '"AppTitle"="Viewer -"'])
        process = self.process = inst.retractor(*(["/s"] if silent else []), "first.app", "second.app")
        if not silent:
            self.assertTrue(inst.press("Yes"))
        message = shown + " is currently running. Please close the application and run the Korvane Uninstaller again."
        texts = inst.texts_of(containing=message)
        self.assertIsNotNone(texts, line)
        self.assertTrue(inst.press("OK"))
        self.assertEqual(inst.stop(process, 30), 0)
        # the program ended there: nothing after the check ran and both manifests stay
        for path in (APP_DIR + r"\viewer.exe", APP_DIR + r"\Read Me.txt", DATA_DIR + r"\first.app",
                     DATA_DIR + r"\second.app"):
            self.assertTrue(inst.exists(path), path)

    def test_title_prefix(self):
        self.check("A Viewer", "Viewer", silent=False)

    def test_window_class_shows_the_title_also_when_silent(self):
        self.check("A #:KvViewerMain", "Viewer - notes.txt", silent=True)

    def test_title_from_the_registry(self):
        self.check(r"A @:Software\Korvane\Viewer\AppTitle.exe", "Viewer -", silent=True)

    def test_no_match_runs_on(self):
        inst.install(manifests={"first.app": "3\nA notes\nA #:NoSuchClass\nF %APPDIR%\\viewer.exe\n"})
        self.assertEqual(inst.run_silent("/s", "first.app"), 0)
        self.assertFalse(inst.exists(APP_DIR + r"\viewer.exe"))


if __name__ == "__main__":
    unittest.main()
