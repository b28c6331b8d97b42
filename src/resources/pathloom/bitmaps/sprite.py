"""An indexed picture drawn pixel by pixel in the house colours."""
from palette import CODES, WHITE

# Letters of 3 by 5 pixels for the floppy's label.
GLYPHS = {
    "F": ["###", "#..", "##.", "#..", "#.."],
    "T": ["###", ".#.", ".#.", ".#.", ".#."],
    "P": ["##.", "#.#", "##.", "#..", "#.."],
}


class Sprite:
    def __init__(self, width, height, colour=WHITE):
        self.width, self.height = width, height
        self.pixels = [colour] * (width * height)

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = colour

    def get(self, x, y):
        return self.pixels[y * self.width + x]

    def fill(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), both included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def box(self, x0, y0, x1, y1, colour, inside=None):
        """A one-pixel outline, filled with `inside` when it is given."""
        if inside is not None:
            self.fill(x0, y0, x1, y1, inside)
        self.fill(x0, y0, x1, y0, colour)
        self.fill(x0, y1, x1, y1, colour)
        self.fill(x0, y0, x0, y1, colour)
        self.fill(x1, y0, x1, y1, colour)

    def line(self, x0, y0, x1, y1, colour):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x1 > x0 else -1), (1 if y1 > y0 else -1)
        error = dx + dy
        while True:
            self.put(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            twice = 2 * error
            if twice >= dy:
                error += dy
                x0 += sx
            if twice <= dx:
                error += dx
                y0 += sy

    def stamp(self, x, y, rows, colour=None):
        """Draws a grid of colour letters (palette.CODES), or of '#' in `colour`; '.' leaves a
        pixel as it is."""
        for j, row in enumerate(rows):
            for i, code in enumerate(row):
                if code != ".":
                    self.put(x + i, y + j, colour if code == "#" else CODES.index(code))

    def text(self, x, y, word, colour, gap=1):
        for letter in word:
            glyph = GLYPHS[letter]
            for j, row in enumerate(glyph):
                for i, bit in enumerate(row):
                    if bit == "#":
                        self.put(x + i, y + j, colour)
            x += len(glyph[0]) + gap

    def paste(self, x, y, other, transparent=WHITE):
        for j in range(other.height):
            for i in range(other.width):
                c = other.get(i, j)
                if c != transparent:
                    self.put(x + i, y + j, c)
