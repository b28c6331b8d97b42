"""Words set in DejaVu Sans Bold Oblique by ImageMagick, as coverage maps."""
import subprocess

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf"


class Coverage:
    """How much of each pixel a word covers, 0 to 255, trimmed to its ink."""

    def __init__(self, word, pixels, antialias=True, font=FONT):
        pgm = subprocess.run(
            ["convert", "-background", "black", "-fill", "white", "-font", font,
             "-pointsize", str(pixels), "-antialias" if antialias else "+antialias",
             "label:" + word, "-trim", "+repage", "-depth", "8", "pgm:-"],
            capture_output=True, check=True).stdout
        fields = pgm.split(maxsplit=4)
        if fields[0] != b"P5" or fields[3] != b"255":
            raise ValueError("unexpected output of convert for " + word)
        self.width, self.height = int(fields[1]), int(fields[2])
        self.values = fields[4][:self.width * self.height]

    def at(self, x, y):
        return self.values[y * self.width + x]
