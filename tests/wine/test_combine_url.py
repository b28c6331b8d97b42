"""Our resolution of relative references, next to the platform's combine call, on the
standard's own examples (RFC 3986 section 5.4). Ours must give the standard's answers; where
the platform differs, the difference is printed and saved as an artefact."""
import os
import unittest

import winebed

BASE = "http://a/b/c/d;p?q"

EXAMPLES = [
    # normal
    ("g:h", "g:h"), ("g", "http://a/b/c/g"), ("./g", "http://a/b/c/g"), ("g/", "http://a/b/c/g/"),
    ("/g", "http://a/g"), ("//g", "http://g"), ("?y", "http://a/b/c/d;p?y"), ("g?y", "http://a/b/c/g?y"),
    ("#s", "http://a/b/c/d;p?q#s"), ("g#s", "http://a/b/c/g#s"), ("g?y#s", "http://a/b/c/g?y#s"),
    (";x", "http://a/b/c/;x"), ("g;x", "http://a/b/c/g;x"), ("g;x?y#s", "http://a/b/c/g;x?y#s"),
    ("", "http://a/b/c/d;p?q"), (".", "http://a/b/c/"), ("./", "http://a/b/c/"), ("..", "http://a/b/"),
    ("../", "http://a/b/"), ("../g", "http://a/b/g"), ("../..", "http://a/"), ("../../", "http://a/"),
    ("../../g", "http://a/g"),
    # abnormal
    ("../../../g", "http://a/g"), ("../../../../g", "http://a/g"), ("/./g", "http://a/g"),
    ("/../g", "http://a/g"), ("g.", "http://a/b/c/g."), (".g", "http://a/b/c/.g"), ("g..", "http://a/b/c/g.."),
    ("..g", "http://a/b/c/..g"), ("./../g", "http://a/b/g"), ("./g/.", "http://a/b/c/g/"),
    ("g/./h", "http://a/b/c/g/h"), ("g/../h", "http://a/b/c/h"), ("g;x=1/./y", "http://a/b/c/g;x=1/y"),
    ("g;x=1/../y", "http://a/b/c/y"), ("g?y/./x", "http://a/b/c/g?y/./x"), ("g?y/../x", "http://a/b/c/g?y/../x"),
    ("g#s/./x", "http://a/b/c/g#s/./x"), ("g#s/../x", "http://a/b/c/g#s/../x"), ("http:g", "http:g"),
]


class CombineUrlAgainstPlatform(unittest.TestCase):
    def test_rfc_examples(self):
        path = os.path.join(winebed.STATE, "references.txt")
        with open(path, "w") as f:
            f.write("".join(ref + "\n" for ref, _ in EXAMPLES))
        with open(path) as references:
            r = winebed.run("combine_url_compare", [BASE], stdin=references)
        self.assertEqual(r.returncode, 0, r.stderr)
        rows = [line.rstrip("\r").split("\t") for line in r.stdout.splitlines()]
        self.assertEqual(len(rows), len(EXAMPLES))
        differences = []
        for (reference, expected), (echoed, ours, platform) in zip(EXAMPLES, rows):
            self.assertEqual(echoed, reference)
            self.assertEqual(ours, expected, "our CombineUrl on %r" % reference)
            if platform != expected:
                differences.append("%-14r standard %-24s platform %s" % (reference, expected, platform))
        os.makedirs(winebed.ARTIFACTS, exist_ok=True)
        with open(os.path.join(winebed.ARTIFACTS, "combine_url_platform_differences.txt"), "w") as f:
            f.write("\n".join(differences) + "\n")
        print("The platform's combine call differs from the standard on:\n  " + "\n  ".join(differences))


if __name__ == "__main__":
    unittest.main()
