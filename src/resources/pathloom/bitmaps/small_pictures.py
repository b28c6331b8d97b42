"""The 4-bit pictures other than the node icons: the busy animation, the three orientation
pictures and the finish page's status strip."""
import math

from lettering import Coverage
from palette import BLACK, BLUE, GREEN, INK, LIME, MAGENTA, ORANGE, PAPER, SILVER, SKY, SLATE
from sprite import Sprite

FRAME_W, FRAME_H, FRAMES, SHOWN = 60, 45, 15, 14


def node_box(s, x, y, w, h, fill):
    """A chart shape: a box with an ink outline and a shadow to its lower right."""
    s.fill(x + 1, y + h, x + w, y + h, SILVER)
    s.fill(x + w, y + 1, x + w, y + h, SILVER)
    s.box(x, y, x + w - 1, y + h - 1, INK, fill)


def disc(s, cx, cy, r, outline, fill):
    """A filled circle with a one-pixel outline."""
    def inside(x, y):
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r
    for y in range(cy - r - 1, cy + r + 2):
        for x in range(cx - r - 1, cx + r + 2):
            if inside(x, y):
                edge = not all(inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                s.put(x, y, outline if edge else fill)


def magnifier(s, cx, cy):
    for k in range(4):
        s.fill(cx + 4 + k, cy + 4 + k, cx + 5 + k, cy + 5 + k, INK)
    disc(s, cx, cy, 5, INK, SKY)
    s.fill(cx - 2, cy - 3, cx - 1, cy - 3, PAPER)
    s.put(cx - 3, cy - 2, PAPER)


def animation_frame(frame):
    """A page and its three links being read: dashes run down the connectors while a magnifier
    sweeps to and fro over the linked pages, lighting the one under it. Frame 14 repeats frame
    0, so frames 0 to 13 loop in either direction."""
    s = Sprite(FRAME_W, FRAME_H)
    phase = frame % SHOWN
    root = (20, 2, 20, 11)
    children = [(1, 24, 17, 11), (21, 24, 17, 11), (41, 24, 17, 11)]
    bus_y = 17
    paths = []
    for cx, cy, cw, _ in children:
        middle = cx + cw // 2
        path = [(29, y) for y in range(root[1] + root[3], bus_y)]
        step = 1 if middle >= 29 else -1
        path += [(x, bus_y) for x in range(29, middle, step)]
        path += [(middle, y) for y in range(bus_y, cy)]
        paths.append(path)
    for path in paths:
        for x, y in path:
            s.put(x, y, SLATE)
    # Dashes move one pixel a frame with a period of 7, so 14 frames hold two whole periods.
    for path in paths:
        for i, (x, y) in enumerate(path):
            if (i - phase) % 7 < 3:
                s.put(x, y, ORANGE)
    x0, y0, w, h = root
    node_box(s, x0, y0, w, h, GREEN)
    s.fill(x0 + 3, y0 + 3, x0 + 13, y0 + 3, LIME)
    s.fill(x0 + 3, y0 + 6, x0 + 10, y0 + 6, LIME)
    lens_x = round(29 - 19 * math.cos(2 * math.pi * phase / SHOWN))
    lit = min(range(3), key=lambda k: abs(children[k][0] + 8 - lens_x))
    for k, (x, y, w, h) in enumerate(children):
        node_box(s, x, y, w, h, BLUE if k == lit else SKY)
        line = PAPER if k == lit else BLUE
        s.fill(x + 3, y + 3, x + 12, y + 3, line)
        s.fill(x + 3, y + 6, x + 9, y + 6, line)
    magnifier(s, lens_x + 1, 34)
    return s


def animation_strip():
    strip = Sprite(FRAME_W * FRAMES, FRAME_H)
    for frame in range(FRAMES):
        strip.paste(frame * FRAME_W, 0, animation_frame(frame))
    return strip


def connector(s, points):
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        s.line(x0, y0, x1, y1, SLATE)


BOX_W, BOX_H = 10, 7
DEPTH_FILL = [GREEN, BLUE, SKY]


def chart(boxes, links):
    """boxes: (x, y, depth) of each shape's top-left corner; links: elbow connectors as
    point lists, drawn first so the shapes sit on them."""
    s = Sprite(50, 50)
    for points in links:
        connector(s, points)
    for x, y, depth in boxes:
        node_box(s, x, y, BOX_W, BOX_H, DEPTH_FILL[depth])
    return s


def orientation_pictures():
    # Horizontal: siblings side by side in a row, each row of children below the last.
    horizontal = chart(
        [(2, 4, 0), (14, 19, 1), (26, 19, 1), (38, 19, 1), (38, 34, 2)],
        [[(6, 11), (6, 15), (43, 15), (43, 19)], [(19, 15), (19, 19)], [(31, 15), (31, 19)],
         [(43, 26), (43, 34)]])
    # Vertical: siblings one below the other, children indented to the right.
    vertical = chart(
        [(3, 2, 0), (15, 12, 1), (27, 22, 2), (15, 32, 1), (27, 42, 2)],
        [[(6, 9), (6, 35), (15, 35)], [(6, 15), (15, 15)], [(18, 19), (18, 25), (27, 25)],
         [(18, 39), (18, 45), (27, 45)]])
    # Org chart: each level centred below its parent.
    org_chart = chart(
        [(20, 3, 0), (4, 20, 1), (20, 20, 1), (36, 20, 1), (12, 37, 2), (28, 37, 2)],
        [[(25, 10), (25, 15), (9, 15), (9, 20)], [(25, 15), (41, 15), (41, 20)], [(25, 15), (25, 20)],
         [(25, 27), (25, 32), (17, 32), (17, 37)], [(25, 32), (33, 32), (33, 37)]])
    return [horizontal, vertical, org_chart]


STATUS_W, STATUS_H = 130, 50
STATUS_WORDS = [("Loading", "Plotwright"), ("Generating", "Chart"), ("Generating", "Sitemap"), ("Done!",)]


def set_words(s, x0, words, colour):
    """Centres one or two lines of bold italic words in the image whose left edge is x0."""
    size = 30 if len(words) == 1 else 18
    lines = [Coverage(w, size) for w in words]
    gap = 4
    y = (STATUS_H - sum(c.height for c in lines) - gap * (len(lines) - 1)) // 2
    for c in lines:
        x = x0 + (STATUS_W - c.width) // 2
        for j in range(c.height):
            for i in range(c.width):
                if c.at(i, j):
                    s.put(x + i, y + j, colour)
        y += c.height + gap


def status_strip():
    """Eight images of 130 by 50: each pair is the same words, first magenta, then black."""
    s = Sprite(STATUS_W * 8, STATUS_H)
    for pair, words in enumerate(STATUS_WORDS):
        for k, colour in enumerate((MAGENTA, BLACK)):
            set_words(s, (pair * 2 + k) * STATUS_W, words, colour)
    return s
