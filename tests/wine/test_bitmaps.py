"""Pathloom.exe carries every bitmap its pages load, and Windows reads each at its size and depth."""
import unittest

import winebed

NODE_ICONS = (139, 140, 136, 137, 138, 141, 142, 143, 145, 154, 153, 157, 158)
EXPECTED = {
    **{id: (16, 13, 4) for id in NODE_ICONS},
    161: (900, 45, 4),
    147: (240, 211, 24), 164: (240, 211, 8),
    148: (50, 50, 4), 149: (50, 50, 4), 150: (50, 50, 4),
    160: (300, 264, 24), 163: (300, 264, 8),
    162: (1040, 50, 4),
}


class Bitmaps(unittest.TestCase):
    def test_every_bitmap_loads_at_its_size_and_depth(self):
        r = winebed.run("bitmap_list", [winebed.windows_path(winebed.exe("Pathloom"))])
        self.assertEqual(r.returncode, 0, r.stderr)
        found = {}
        for line in r.stdout.splitlines():
            fields = line.split()
            self.assertEqual(len(fields), 5, line)
            found[int(fields[0])] = tuple(int(f) for f in fields[1:])
        self.assertEqual(sorted(found), sorted(EXPECTED))
        for id, (width, height, bits) in EXPECTED.items():
            with self.subTest(id=id):
                table = 1 << bits if bits <= 8 else 0
                self.assertEqual(found[id], (width, height, bits, table))


if __name__ == "__main__":
    unittest.main()
