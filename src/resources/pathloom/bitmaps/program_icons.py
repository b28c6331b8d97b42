"""The three programs' icons, painted with smooth edges on a transparent ground at 16, 32 and 48
pixels and written as Windows .ico files of 32-bit pictures with an alpha channel.

Each icon is drawn once on a grid of 32 units and scaled to every size:
- Pathloom: a site charted as a small tree, a blue page above three linked pages;
- Retractor: the product's box with a red sign of removal over its corner;
- Plotwright: a sheet with a flowchart's decision and step joined by a connector.
"""
import struct

from canvas import Canvas
from palette import BLUE, GOLD, GREEN, HOUSE, INK, ORANGE, PAPER, RED, SILVER, SKY, SLATE, TEAL

C = HOUSE
SIZES = (16, 32, 48)


class IconCanvas(Canvas):
    """A canvas whose pixels start transparent; each shape is laid over what is there."""

    def __init__(self, size):
        super().__init__(size, size, (0, 0, 0))
        self.alpha = [0.0] * (size * size)
        self.unit = size / 32

    def blend(self, x, y, colour, alpha):
        i = y * self.width + x
        below = self.alpha[i]
        total = alpha + below * (1 - alpha)
        if total > 0:
            p = self.px[i]
            for k in range(3):
                p[k] = (colour[k] * alpha + p[k] * below * (1 - alpha)) / total
        self.alpha[i] = total

    def rgba(self):
        return [(*rgb, min(255, round(a * 255))) for rgb, a in zip(self.rgb(), self.alpha)]

    # Shapes in units of the 32-unit grid.
    def box(self, x0, y0, x1, y1, fill, outline=C[INK], r=1.5):
        u = self.unit
        line = max(1.0, 1.5 * u)
        self.framed(x0 * u, y0 * u, x1 * u, y1 * u, r * u, outline, fill, line)

    def stroke(self, points, width, colour):
        u = self.unit
        self.polyline([(x * u, y * u) for x, y in points], max(1.0, width * u), colour)

    def poly(self, points, colour):
        u = self.unit
        self.polygon([(x * u, y * u) for x, y in points], colour)


def pathloom_icon(size):
    c = IconCanvas(size)
    c.stroke([(16, 11), (16, 16), (6, 16), (6, 20)], 2, C[SLATE])
    c.stroke([(16, 16), (26, 16), (26, 20)], 2, C[SLATE])
    c.stroke([(16, 16), (16, 20)], 2, C[SLATE])
    c.box(8, 2, 24, 12, C[BLUE])
    c.box(1, 19, 11, 29, C[GREEN])
    c.box(11, 19, 21, 29, C[SKY])
    c.box(21, 19, 31, 29, C[SKY])
    return c


def retractor_icon(size):
    c = IconCanvas(size)
    c.poly([(3, 10), (15, 5), (29, 10), (17, 15)], C[INK])
    c.poly([(5, 10), (15, 6.5), (27, 10), (17, 13.5)], (255, 214, 110))
    c.poly([(3, 10), (17, 15), (17, 30), (3, 25)], C[INK])
    c.poly([(4.5, 12), (15.5, 16), (15.5, 27.5), (4.5, 23.5)], C[GOLD])
    c.poly([(17, 15), (29, 10), (29, 25), (17, 30)], C[INK])
    c.poly([(18.5, 16), (27.5, 12), (27.5, 24), (18.5, 27.5)], C[ORANGE])
    u = c.unit
    c.ellipse(23 * u, 22 * u, 8.5 * u, 8.5 * u, C[INK])
    c.ellipse(23 * u, 22 * u, 7 * u, 7 * u, C[RED])
    c.stroke([(18.5, 22), (27.5, 22)], 3, C[PAPER])
    return c


def plotwright_icon(size):
    c = IconCanvas(size)
    c.box(3, 1, 29, 31, C[PAPER], C[SLATE], r=1)
    c.stroke([(16, 12), (16, 18)], 2, C[SLATE])
    c.poly([(16, 3), (25, 8), (16, 13), (7, 8)], C[INK])
    c.poly([(16, 5), (22, 8), (16, 11), (10, 8)], C[ORANGE])
    c.box(7, 18, 25, 27, C[TEAL])
    c.stroke([(11, 22.5), (21, 22.5)], 1.5, C[SILVER])
    return c


ICONS = {"pathloom": pathloom_icon, "retractor": retractor_icon, "plotwright": plotwright_icon}


def ico_bytes(pictures):
    """An .ico of 32-bit pictures (IconCanvas), each with its AND mask (set where the picture is
    transparent, for systems that ignore the alpha channel)."""
    entries, images = [], []
    offset = 6 + 16 * len(pictures)
    for p in pictures:
        w, h = p.width, p.height
        pixels = p.rgba()
        colour = b"".join(bytes((b, g, r, a)) for y in reversed(range(h))
                          for r, g, b, a in pixels[y * w:(y + 1) * w])
        stride = (w + 31) // 32 * 4
        mask = b""
        for y in reversed(range(h)):
            bits = 0
            for x in range(w):
                if pixels[y * w + x][3] < 128:
                    bits |= 1 << (stride * 8 - 1 - x)
            mask += bits.to_bytes(stride, "big")
        header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
        image = header + colour + mask
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(image), offset))
        images.append(image)
        offset += len(image)
    return struct.pack("<HHH", 0, 1, len(pictures)) + b"".join(entries) + b"".join(images)


def write_icon(path, draw):
    with open(path, "wb") as f:
        f.write(ico_bytes([draw(size) for size in SIZES]))
