"""A 24-bit picture painted with smooth edges: every shape is sampled 4 by 4 times per pixel."""
import math

from palette import HOUSE, WHITE

SAMPLES = [(i + 0.5) / 4 for i in range(4)]


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


class Canvas:
    def __init__(self, width, height, colour=HOUSE[WHITE]):
        self.width, self.height = width, height
        self.px = [list(colour) for _ in range(width * height)]

    def blend(self, x, y, colour, alpha):
        p = self.px[y * self.width + x]
        for i in range(3):
            p[i] += (colour[i] - p[i]) * alpha

    def shape(self, inside, box, colour, alpha=1.0):
        """Covers the pixels of box (x0, y0, x1, y1) where inside(x, y) holds."""
        x0, y0, x1, y1 = box
        for y in range(max(0, math.floor(y0)), min(self.height, math.ceil(y1) + 1)):
            for x in range(max(0, math.floor(x0)), min(self.width, math.ceil(x1) + 1)):
                hits = sum(inside(x + sx, y + sy) for sy in SAMPLES for sx in SAMPLES)
                if hits:
                    self.blend(x, y, colour, alpha * hits / 16)

    def gradient(self, top, bottom):
        for y in range(self.height):
            colour = mix(top, bottom, y / (self.height - 1))
            for x in range(self.width):
                self.px[y * self.width + x] = list(colour)

    def round_rect(self, x0, y0, x1, y1, r, colour, alpha=1.0):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            dx = max(x0 + r - x, 0, x - (x1 - r))
            dy = max(y0 + r - y, 0, y - (y1 - r))
            return dx * dx + dy * dy <= r * r
        self.shape(inside, (x0, y0, x1, y1), colour, alpha)

    def framed(self, x0, y0, x1, y1, r, outline, fill, width=1.5):
        self.round_rect(x0, y0, x1, y1, r, outline)
        self.round_rect(x0 + width, y0 + width, x1 - width, y1 - width, max(r - width, 0), fill)

    def shadow(self, x0, y0, x1, y1, r, offset=3, colour=(60, 80, 120), alpha=0.25):
        self.round_rect(x0 + offset, y0 + offset, x1 + offset, y1 + offset, r, colour, alpha)

    def ellipse(self, cx, cy, rx, ry, colour, alpha=1.0):
        self.shape(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1,
                   (cx - rx, cy - ry, cx + rx, cy + ry), colour, alpha)

    def segment(self, xa, ya, xb, yb, width, colour, alpha=1.0):
        dx, dy = xb - xa, yb - ya
        length2 = dx * dx + dy * dy or 1
        half2 = (width / 2) ** 2

        def inside(x, y):
            t = min(1, max(0, ((x - xa) * dx + (y - ya) * dy) / length2))
            ex, ey = xa + t * dx - x, ya + t * dy - y
            return ex * ex + ey * ey <= half2
        pad = width / 2 + 1
        self.shape(inside, (min(xa, xb) - pad, min(ya, yb) - pad, max(xa, xb) + pad, max(ya, yb) + pad),
                   colour, alpha)

    def polyline(self, points, width, colour):
        for a, b in zip(points, points[1:]):
            self.segment(*a, *b, width, colour)

    def polygon(self, points, colour, alpha=1.0):
        def inside(x, y):
            hit = False
            for (xa, ya), (xb, yb) in zip(points, points[1:] + points[:1]):
                if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                    hit = not hit
            return hit
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.shape(inside, (min(xs), min(ys), max(xs), max(ys)), colour, alpha)

    def rgb(self):
        return [tuple(min(255, max(0, round(v))) for v in p) for p in self.px]
