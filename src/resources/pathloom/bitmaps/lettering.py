"""Words set in DejaVu Sans Bold Oblique by ImageMagick, without smoothing: a 16-colour picture
with a transparent colour has no room for the in-between shades."""
import re
import subprocess

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf"


class Coverage:
    """Which pixels a word covers (255) and which it leaves (0), trimmed to its ink."""

    def __init__(self, word, pixels, font=FONT):
        pgm = subprocess.run(
            ["convert", "-background", "black", "-fill", "white", "-font", font,
             "-pointsize", str(pixels), "+antialias",
             "label:" + word, "-trim", "+repage", "-depth", "8", "pgm:-"],
            capture_output=True, check=True).stdout
        # One whitespace byte ends the header; the pixels after it may be any byte at all.
        header = re.match(rb"P5\s+(\d+)\s+(\d+)\s+255\s", pgm)
        if not header:
            raise ValueError("unexpected output of convert for " + word)
        self.width, self.height = int(header[1]), int(header[2])
        self.values = pgm[header.end():header.end() + self.width * self.height]

    def at(self, x, y):
        return self.values[y * self.width + x]
