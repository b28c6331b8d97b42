"""Retractor uninstalls a Viewer installation in the prefix: every command kind, silent and
test modes, the data directory from /r, and the version branches (win7, win95, nt351)."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "retractor"))
import installation as inst  # noqa: E402
import winebed  # noqa: E402

from installation import APP_DIR, DATA_DIR, SYS_DIR  # noqa: E402


class VersionedTest(unittest.TestCase):
    version = "win7"

    def setUp(self):
        winebed.set_windows_version(self.version)

    def tearDown(self):
        winebed.reg_delete(r"HKCU\Software\Wine", "Version")
        inst.remove_everything()


class SilentUninstallWin7(VersionedTest):
    def test_every_command_kind(self):
        inst.install()
        self.assertEqual(inst.run_silent("/s", "viewer.app"), 0)

        # C with a text argument under both calling conventions and with none; U calls, then deletes
        self.assertEqual(inst.read(APP_DIR + r"\viewcall.dll.trace").split("\n"),
                         ["StdcallText(goodbye world)", "CdeclText(two words)", "StdcallNone", ""])
        self.assertEqual(inst.read(APP_DIR + r"\viewreg.dll.trace"), "Unregister\n")
        self.assertTrue(inst.exists(APP_DIR + r"\viewcall.dll"))
        self.assertFalse(inst.exists(APP_DIR + r"\viewreg.dll"))
        # F: a name with a space, a wildcard; D: the emptied directory goes, the one with a file stays
        for gone in (r"\viewer.exe", r"\Read Me.txt", r"\logs"):
            self.assertFalse(inst.exists(APP_DIR + gone), gone)
        self.assertTrue(inst.exists(APP_DIR + r"\Help\viewer.hlp"))
        # S: 2 becomes 1; the last reference goes without a question in silent mode
        self.assertEqual(inst.shared_count(inst.NEW_SHARED, SYS_DIR + r"\viewctl.dll"), 1)
        self.assertTrue(inst.exists(SYS_DIR + r"\viewctl.dll"))
        self.assertIsNone(inst.shared_count(inst.NEW_SHARED, SYS_DIR + r"\viewold.dll"))
        self.assertFalse(inst.exists(SYS_DIR + r"\viewold.dll"))
        # K: nested tree on NT, one value, a class key, conditional forms
        keys = inst.keys_of(inst.export(r"HKEY_LOCAL_MACHINE\SOFTWARE\Korvane"))
        self.assertFalse(any(k.startswith(r"hkey_local_machine\software\korvane\viewer") for k in keys))
        self.assertNotIn(r"hkey_local_machine\software\korvane\emptykey", keys)
        self.assertIn(r"hkey_local_machine\software\korvane\notempty", keys)
        user = inst.export(r"HKEY_CURRENT_USER\Software\Korvane\Viewer")
        self.assertNotIn("Window Pos", user)
        self.assertIn('"Keep"', user)
        self.assertEqual(inst.export(r"HKEY_CLASSES_ROOT\.vwr"), "")
        # Final clean-up: Shared.sys ran and went, the data directory went; on NT the base key
        # keeps its variable subkeys, so one key deletion leaves it
        self.assertFalse(inst.exists(APP_DIR + r"\shared.txt"))
        self.assertNotIn(r"hkey_local_machine\software\korvane\shared", keys)
        self.assertFalse(inst.exists(DATA_DIR))
        self.assertTrue(inst.exists(r"C:\Korvane"))
        self.assertIn(r"hkey_local_machine\software\korvane\uninstaller\appdir", keys)

    def test_test_mode_changes_nothing(self):
        inst.install()
        before = inst.snapshot()
        self.assertEqual(inst.run_silent("/s", "/t", "viewer.app"), 0)
        after = inst.snapshot()
        self.assertEqual(before[0], after[0])
        for key in before[1]:
            self.assertEqual(before[1][key], after[1][key], key)

    def test_data_directory_from_a_subkey(self):
        inst.install(manifests={})
        inst.write(r"C:\Other\Data\other.app", "1\nF %APPDIR%\\viewer.exe\n")
        inst.write(r"C:\Other\Data\Shared.sys", "1\nF %APPDIR%\\shared.txt\n")
        inst.import_reg(["[%s\\Viewer]" % inst.BASE_KEY, '@="C:\\\\Other\\\\Data"'])
        self.assertEqual(inst.run_line('/s /r"Viewer"other.app'), 0)
        self.assertFalse(inst.exists(APP_DIR + r"\viewer.exe"))  # APPDIR still from the base key
        self.assertFalse(inst.exists(APP_DIR + r"\shared.txt"))
        self.assertFalse(inst.exists(r"C:\Other\Data"))

    def test_nothing_without_a_recorded_directory(self):
        inst.install(data_dir_value="")
        self.assertEqual(inst.run_silent("/s", "viewer.app"), 0)
        self.assertTrue(inst.exists(DATA_DIR + r"\viewer.app"))
        self.assertTrue(inst.exists(APP_DIR + r"\viewer.exe"))


class SilentUninstallWin95(VersionedTest):
    version = "win95"

    # Wine 8's 9x key deletion removes only the first of two or more sibling subkeys and then
    # fails (a chain of single subkeys goes whole). A key still there after that one call goes
    # the NT way: a "K" line's (the Viewer key has two subkeys) and the base key at the end
    # (three variables, one with a subkey of its own).
    def test_nine_x_branches(self):
        inst.install(extra_reg=["[%s\\APPDIR\\Extra]" % inst.BASE_KEY])
        for key, subkeys in (("Viewer", 2), ("Uninstaller", 3)):
            names = inst.keys_of(inst.export(r"HKEY_LOCAL_MACHINE\SOFTWARE\Korvane" + "\\" + key))
            self.assertEqual(len([k for k in names if k.count("\\") == 4]), subkeys, key)
        self.assertEqual(inst.run_silent("/s", "viewer.app"), 0)
        keys = inst.keys_of(inst.export(r"HKEY_LOCAL_MACHINE\SOFTWARE\Korvane"))
        self.assertFalse(any("korvane\\viewer" in k for k in keys))
        # the base key goes with every variable under it
        self.assertFalse(any("korvane\\uninstaller" in k for k in keys))
        self.assertEqual(inst.shared_count(inst.NEW_SHARED, SYS_DIR + r"\viewctl.dll"), 1)
        self.assertFalse(inst.exists(DATA_DIR))
        self.assertTrue(inst.exists(r"C:\Korvane"))


class SilentUninstallNt351(VersionedTest):
    version = "nt351"

    def test_legacy_shell_branches(self):
        inst.install(counts_under=inst.NT_SHARED,
                     extra_reg=["[%s]" % inst.NEW_SHARED, inst.reg_text(SYS_DIR + r"\viewctl.dll") + "=dword:00000005"])
        with inst.StandInProgman("P:Viewer=Viewer") as progman:
            self.assertEqual(inst.run_silent("/s", "viewer.app"), 0)
        self.assertEqual(progman.log(), ["EXEC [showgroup(Viewer,1,0)] ok", "EXEC [deleteitem(Viewer)] ok",
                                         "REQUEST Viewer", "EXEC [deletegroup(Viewer,0)] ok"])
        # only the NT SharedDLLs key counts
        self.assertEqual(inst.shared_count(inst.NT_SHARED, SYS_DIR + r"\viewctl.dll"), 1)
        self.assertEqual(inst.shared_count(inst.NEW_SHARED, SYS_DIR + r"\viewctl.dll"), 5)
        self.assertFalse(inst.exists(SYS_DIR + r"\viewold.dll"))
        # the legacy shell also removes the data directory's parent
        self.assertFalse(inst.exists(DATA_DIR))
        self.assertFalse(inst.exists(r"C:\Korvane"))


if __name__ == "__main__":
    unittest.main()
