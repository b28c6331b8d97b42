#!/usr/bin/python3
"""How many of the links a real HTML parser finds on real pages ExtractLinks finds too.

Python's html.parser reads a/area href and frame/iframe src; each value is taken as a browser
takes it (tabs and line breaks dropped, C0 controls and blanks trimmed), resolved against the
page's URL with urljoin and percent-encoded as Pathloom encodes a URL. ExtractLinks' links come
from build/native/bench/links_of_pages. A page's link counts as found when ExtractLinks gives
the same address for that page. Also counted: links of ExtractLinks that still carry a character
reference, a double quote, a blank, a control byte or a byte above 127, and those with a "'"
that the parser does not give (from "href" in a script's text).

  /usr/bin/python3 bench/link_recall.py [--tool PATH] [--list FILE] [--show N] ROOT[:MAX] ...

Each ROOT is a folder of HTML pages; MAX takes that many of its pages, spread evenly over
them in name order. Pages get the base http://docs.example/<root's name>/<path in root>.
--list writes PATH TAB BASE lines for bench/extract_links_real_pages_bench.
"""
import argparse
import html.parser
import os
import re
import subprocess
import sys
import urllib.parse


def encode(url):
    """Blanks, controls, bytes 0x7F and above, and " < > ` as %XX; everything else as is."""
    out = []
    for b in url.encode("utf-8", "surrogateescape"):
        out.append("%%%02X" % b if b <= 0x20 or b >= 0x7F or chr(b) in '"<>`' else chr(b))
    return "".join(out)


def as_browser_takes(value):
    value = re.sub("[\t\r\n]", "", value)
    return value.strip("".join(chr(c) for c in range(0x21)))


class Links(html.parser.HTMLParser):
    WANTED = {"a": "href", "area": "href", "frame": "src", "iframe": "src"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []

    def handle_starttag(self, tag, attrs):
        wanted = self.WANTED.get(tag)
        for name, value in attrs:
            if name == wanted and value is not None:
                self.links.append(value)
                break

    handle_startendtag = handle_starttag


def pages_of(root, most):
    found = []
    for folder, _, names in os.walk(root):
        found += [os.path.join(folder, n) for n in names if n.endswith((".html", ".htm"))]
    found.sort()
    if most and len(found) > most:
        found = [found[i * len(found) // most] for i in range(most)]
    name = os.path.basename(root.rstrip("/"))
    return [(p, "http://docs.example/%s/%s" % (name, urllib.parse.quote(os.path.relpath(p, root)))) for p in found]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", default=os.path.join(here, "..", "build", "native", "bench", "links_of_pages"))
    parser.add_argument("--list")
    parser.add_argument("--show", type=int, default=10)
    parser.add_argument("roots", nargs="+")
    args = parser.parse_args()

    pages = []
    for root in args.roots:
        path, _, most = root.partition(":")
        pages += pages_of(path, int(most) if most else 0)
    listing = "".join("%s\t%s\n" % page for page in pages)
    if args.list:
        with open(args.list, "w") as f:
            f.write(listing)

    result = subprocess.run([args.tool], input=listing.encode(), stdout=subprocess.PIPE, check=True)
    ours = [set() for _ in pages]
    for line in result.stdout.split(b"\n"):
        if line:
            index, _, link = line.partition(b"\t")
            ours[int(index)].add(link.decode("utf-8", "surrogateescape"))

    expected = found = 0
    missed = []
    parsed = []
    for (path, base), mine in zip(pages, ours):
        with open(path, "rb") as f:
            text = f.read().decode("utf-8", "surrogateescape")
        reader = Links()
        reader.feed(text)
        reader.close()
        parsed.append(set())
        for value in dict.fromkeys(reader.links):
            value = as_browser_takes(value)
            if value.lower().find("ailto") >= 0:
                address = value
            else:
                address = urllib.parse.urljoin(base, value)
                if value.endswith("#") and not address.endswith("#"):
                    address += "#"  # urljoin drops an empty fragment; RFC 3986 and browsers keep it
                address = encode(address)
            expected += 1
            parsed[-1].add(address)
            if address in mine:
                found += 1
            else:
                missed.append((path, value, address))

    raw = re.compile(r"&(#[0-9]+|#[xX][0-9a-fA-F]+|amp|lt|gt|quot|apos|nbsp);|[\" ]|[^\x21-\x7e]")
    made = [link for mine in ours for link in mine if link != "#error-page"]
    unclean = [link for link in made if "ailto" not in link.lower() and raw.search(link)]
    # A "'" is a URL character; one the parser's links lack comes from "href" in a script's text.
    quoted = [link for mine, theirs in zip(ours, parsed) for link in mine - theirs if "'" in link]

    print("pages %d, bytes %d" % (len(pages), sum(os.path.getsize(p) for p, _ in pages)))
    print("parser's links %d, found by ExtractLinks %d (%.2f%%)" % (expected, found, 100.0 * found / max(expected, 1)))
    print("ExtractLinks' links %d, with a character reference, a double quote, a blank, a control byte or a byte"
          " above 127: %d; with a ' and not among the parser's: %d" % (len(made), len(unclean), len(quoted)))
    for path, value, address in missed[: args.show]:
        print("  missed %s: %r -> %s" % (path, value, address))
    for link in unclean[: args.show]:
        print("  unclean %r" % link)
    for link in sorted(set(quoted))[: args.show]:
        print("  quote %r" % link)
    return 0


if __name__ == "__main__":
    sys.exit(main())
