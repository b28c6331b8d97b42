"""Both programs start under Wine: Retractor without a manifest, Pathloom's wizard."""
import unittest

import winebed


class RetractorWithoutManifest(unittest.TestCase):
    def test_asks_for_a_manifest_and_exits_with_zero(self):
        process = winebed.start("Retractor")
        try:
            texts = winebed.window_texts("The Korvane Uninstaller", 20000)
            self.assertIsNotNone(texts, "no message box")
            self.assertIn("Please run the Korvane Uninstaller with the name of a manifest file on the command line.",
                          texts)
            self.assertEqual(winebed.driver("press", "The Korvane Uninstaller", "OK")[0], 0)
        finally:
            status = winebed.stop(process, 20)
        self.assertEqual(status, 0)


class PathloomWizard(unittest.TestCase):
    def test_opens_its_wizard(self):
        process = winebed.start("Pathloom")
        try:
            texts = winebed.window_texts("Pathloom 2.0", 20000)
            self.assertIsNotNone(texts, "no wizard window")
            buttons = [t.replace("&", "") for t in texts]
            for button in ("Next >", "Cancel", "Help"):
                self.assertIn(button, buttons)
            print("screenshot:", winebed.screenshot("pathloom_wizard"))
            winebed.driver("press", "Pathloom 2.0", "Cancel")
        finally:
            status = winebed.stop(process, 20)
        self.assertEqual(status, 0)


if __name__ == "__main__":
    unittest.main()
