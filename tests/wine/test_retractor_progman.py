"""Retractor's "N" command against a stand-in Program Manager (a DDE server of ours that logs
what it is asked). Wine's own shell answers "PROGMAN" too; the stand-in makes sure that both the
raw conversation and the DDEML request reach it, so the log shows everything that was sent."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "retractor"))
import installation as inst  # noqa: E402
import winebed  # noqa: E402

ITEMS = ",".join("i%d" % n for n in range(11))
MANIFEST = """4
N %GROUP%Viewer Help
N %GROUP%Viewer
N %TOOLS%Viewer Tool
N %BIG%i0
"""
VARIABLES = ["[%s\\TOOLS]" % inst.BASE_KEY, '@="Tools"', "[%s\\BIG]" % inst.BASE_KEY, '@="Big"']
GROUPS = "P:Viewer=Viewer,Viewer Help;C:Tools=Viewer Tool;P:Big=" + ITEMS


class ProgramManager(unittest.TestCase):
    version = "nt351"

    def setUp(self):
        winebed.set_windows_version(self.version)
        inst.install(manifests={"viewer.app": MANIFEST}, extra_reg=VARIABLES)

    def tearDown(self):
        winebed.reg_delete(r"HKCU\Software\Wine", "Version")
        inst.remove_everything()

    def test_items_and_empty_groups_go(self):
        with inst.StandInProgman(GROUPS) as progman:
            self.assertEqual(inst.run_silent("/s", "viewer.app"), 0)
        self.assertEqual(progman.log(), [
            "EXEC [showgroup(Viewer,1,0)] ok", "EXEC [deleteitem(Viewer Help)] ok", "REQUEST Viewer",
            "EXEC [showgroup(Viewer,1,0)] ok", "EXEC [deleteitem(Viewer)] ok", "REQUEST Viewer",
            "EXEC [deletegroup(Viewer,0)] ok",
            # a common group: the personal form fails and the common one follows
            "EXEC [showgroup(Tools,1,0)] fail", "EXEC [showgroup(Tools,1,1)] ok", "EXEC [deleteitem(Viewer Tool)] ok",
            "REQUEST Tools", "EXEC [deletegroup(Tools,0)] fail", "EXEC [deletegroup(Tools,1)] ok",
            # ten items left: the third field starts with 1, the group stays
            "EXEC [showgroup(Big,1,0)] ok", "EXEC [deleteitem(i0)] ok", "REQUEST Big",
        ])

    def test_unanswered_group_request_keeps_the_group(self):
        with inst.StandInProgman("P:Viewer=Viewer", slow=True) as progman:
            inst.write(inst.DATA_DIR + r"\viewer.app", "1\nN %GROUP%Viewer\n")
            self.assertEqual(inst.run_silent("/s", "viewer.app"), 0)
        self.assertEqual(progman.log(), ["EXEC [showgroup(Viewer,1,0)] ok", "EXEC [deleteitem(Viewer)] ok",
                                         "REQUEST Viewer"])

    def test_test_mode_sends_nothing(self):
        with inst.StandInProgman(GROUPS) as progman:
            self.assertEqual(inst.run_silent("/s", "/t", "viewer.app"), 0)
        self.assertEqual(progman.log(), [])


class NewerShell(ProgramManager):
    version = "win7"

    def test_items_and_empty_groups_go(self):
        with inst.StandInProgman(GROUPS) as progman:
            self.assertEqual(inst.run_silent("/s", "viewer.app"), 0)
        self.assertEqual(progman.log(), [])
        self.assertFalse(inst.exists(inst.DATA_DIR + r"\viewer.app"))

    # nothing is sent on this shell, with or without /t
    test_unanswered_group_request_keeps_the_group = None
    test_test_mode_sends_nothing = None


if __name__ == "__main__":
    unittest.main()
