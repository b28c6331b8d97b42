"""The default browser command read from the real registry of the prefix."""
import unittest

import winebed

KEY = r"HKLM\Software\Classes\http\shell\open\command"


def command():
    r = winebed.run("default_browser_print")
    assert r.returncode == 0, r.stderr
    line = r.stdout.strip("\r\n")
    assert line.startswith("[") and line.endswith("]"), line
    return line[1:-1]


class DefaultBrowser(unittest.TestCase):
    def setUp(self):
        self.saved = winebed.reg_query(KEY)

    def tearDown(self):
        if self.saved is None:
            winebed.reg_delete(KEY)
        else:
            winebed.reg_set(KEY, None, self.saved)

    def test_registered_values(self):
        cases = [
            (r"C:\PROGRA~1\BROWSER\BROWSE.EXE -nohome %1", '"c:\\progra~1\\browser\\browse.exe" '),
            ('"C:\\Program Files\\Browser\\browse.exe" "%1"', '"C:\\Program Files\\Browser\\browse.exe" '),
            ('"C:\\windows\\system32\\winebrowser.exe" "%1"', '"C:\\windows\\system32\\winebrowser.exe" '),
            ('"C:\\Program Files\\Browser\\browse.exe" %1', '"C:\\Program Files\\Browser\\browse.exe" '),
            ('"C:\\Program Files\\Browser\\browse.exe"', '"C:\\Program Files\\Browser\\browse.exe" '),
        ]
        for value, expected in cases:
            with self.subTest(value=value):
                winebed.reg_set(KEY, None, value)
                self.assertEqual(command(), expected)

    def test_a_value_of_another_type_counts_as_none(self):
        winebed.reg_set(KEY, None, r"C:\BROWSE.EXE %1", "REG_EXPAND_SZ")
        self.assertEqual(command(), "")

    def test_no_key_gives_an_empty_command(self):
        winebed.reg_delete(KEY)
        self.assertEqual(command(), "")


if __name__ == "__main__":
    unittest.main()
