"""The wizard's two large pictures: the start page's (a web page becoming a chart) and the
finish page's (the chart and the sitemap file it produced)."""
import math

from canvas import Canvas
from palette import BLUE, GREEN, HOUSE, INK, LIME, ORANGE, PAPER, SILVER, SKY, SLATE

C = HOUSE
DEPTH_FILL = [C[GREEN], C[BLUE], C[SKY], C[PAPER]]
DEPTH_LINE = [C[LIME], C[SKY], C[PAPER], C[SKY]]


def backdrop(c):
    """Pale blue chart paper: a soft gradient under a fine grid."""
    c.gradient((226, 236, 250), (250, 252, 255))
    for y in range(0, c.height, 10):
        for x in range(c.width):
            c.blend(x, y, C[SKY], 0.18)
    for x in range(0, c.width, 10):
        for y in range(c.height):
            c.blend(x, y, C[SKY], 0.18)


def wave_outline(x0, y0, x1, y1, amplitude):
    """A document shape: a sheet whose bottom edge is one wave."""
    points = [(x0, y0), (x1, y0)]
    for k in range(17):
        t = k / 16
        points.append((x1 - t * (x1 - x0), y1 - amplitude + amplitude * math.sin(2 * math.pi * t)))
    return points


def chart_shape(c, x, y, w, h, depth, kind="process"):
    """A flowchart shape of one of the masters the chart uses, coloured by depth."""
    fill, line = DEPTH_FILL[depth], DEPTH_LINE[depth]
    if kind == "document":
        c.polygon(wave_outline(x + 3, y + 3, x + w + 3, y + h + 3, 2.5), (60, 80, 120), 0.25)
        c.polygon(wave_outline(x, y, x + w, y + h, 2.5), C[INK])
        c.polygon(wave_outline(x + 1.5, y + 1.5, x + w - 1.5, y + h - 1.5, 2.5), fill)
    else:
        r = h / 2 if kind == "terminal" else 3
        c.shadow(x, y, x + w, y + h, r)
        c.framed(x, y, x + w, y + h, r, C[INK], fill)
    inset = h / 2 if kind == "terminal" else 5
    middle = y + h / 2 - (2 if kind == "document" else 0)
    c.round_rect(x + inset, middle - 1.5, x + inset + (w - 2 * inset) * 0.7, middle + 1.5, 1.5, line)


def connector(c, points):
    c.polyline(points, 2, C[SLATE])


def org_chart(c, root, rows):
    """rows: for each level below the root, (y, y of the bar above it, [(centre x, parent's
    centre x[, master]), ...]); shapes are w by h, connectors run down from each parent to the
    bar."""
    x, y, w, h = root
    chart_shape(c, x - w / 2, y, w, h, 0)
    parent_bottom = {x: y + h}
    for depth, (row_y, bar, shapes) in enumerate(rows, start=1):
        for cx, px, *_ in shapes:
            connector(c, [(px, parent_bottom[px]), (px, bar), (cx, bar), (cx, row_y)])
        for cx, _, *kind in shapes:
            chart_shape(c, cx - w / 2, row_y, w, h, depth, *kind)
            parent_bottom[cx] = row_y + h


def browser(c, x0, y0, x1, y1):
    """A page in a browser window: title bar, address field, text and three links."""
    c.shadow(x0, y0, x1, y1, 4, offset=4)
    c.framed(x0, y0, x1, y1, 4, C[INK], C[PAPER])
    c.round_rect(x0 + 1.5, y0 + 1.5, x1 - 1.5, y0 + 14, 3, C[BLUE])
    for i in range(3):
        c.round_rect(x1 - 12 - 9 * i, y0 + 5, x1 - 6 - 9 * i, y0 + 10, 1, C[PAPER])
    c.framed(x0 + 6, y0 + 19, x1 - 6, y0 + 29, 2, C[SILVER], (255, 255, 255), 1)
    c.round_rect(x0 + 10, y0 + 23, x0 + 48, y0 + 25, 1, C[SLATE])
    c.round_rect(x0 + 8, y0 + 36, x0 + 70, y0 + 40, 2, C[INK])
    links = []
    for k, ty in enumerate(range(y0 + 47, y1 - 8, 10)):
        c.round_rect(x0 + 8, ty, x1 - 30 + (k % 2) * 10, ty + 2.5, 1, C[SLATE])
        if k % 2 == 0:
            lx1 = x0 + 50 + 8 * (k // 2)
            c.round_rect(x0 + 8, ty + 5, lx1, ty + 7, 1, C[BLUE])
            links.append((lx1 + 4, ty + 6))
    return links


def magnifier(c, cx, cy, r):
    c.segment(cx + r * 0.7, cy + r * 0.7, cx + r * 1.7, cy + r * 1.7, r * 0.45, C[INK])
    c.ellipse(cx, cy, r, r, C[INK])
    c.ellipse(cx, cy, r - 2, r - 2, C[PAPER])
    c.ellipse(cx, cy, r - 2, r - 2, C[SKY], 0.7)
    c.ellipse(cx - r * 0.35, cy - r * 0.35, r * 0.3, r * 0.22, (255, 255, 255), 0.8)


def arrow(c, points, colour, width=4):
    c.polyline(points, width, colour)
    (xa, ya), (xb, yb) = points[-2], points[-1]
    length = ((xb - xa) ** 2 + (yb - ya) ** 2) ** 0.5
    ux, uy = (xb - xa) / length, (yb - ya) / length
    head = width * 2.2
    c.polygon([(xb + ux * head, yb + uy * head), (xb - uy * head, yb + ux * head),
               (xb + uy * head, yb - ux * head)], colour)


def start_picture():
    c = Canvas(240, 211)
    backdrop(c)
    links = browser(c, 10, 10, 128, 104)
    magnifier(c, 100, 84, 11)
    arrow(c, [(132, 40), (150, 40)], C[ORANGE])
    org_chart(c, (190, 26, 48, 26), [
        (124, 114, [(40, 190), (116, 190), (192, 190)]),
        (174, 164, [(31, 40), (83, 40, "document"), (192, 192, "terminal")]),
    ])
    for lx, ly in links[:1]:
        c.ellipse(lx, ly, 2.5, 2.5, C[ORANGE])
    return c


def sitemap_sheet(c, x0, y0, x1, y1):
    """The sitemap file: a sheet listing the pages as an indented list of links."""
    c.shadow(x0, y0, x1, y1, 3, offset=4)
    fold = 14
    c.polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], C[INK])
    c.polygon([(x0 + 1.5, y0 + 1.5), (x1 - fold - 0.6, y0 + 1.5), (x1 - 1.5, y0 + fold + 0.6),
               (x1 - 1.5, y1 - 1.5), (x0 + 1.5, y1 - 1.5)], C[PAPER])
    c.polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], C[SILVER])
    c.round_rect(x0 + 8, y0 + 9, x0 + 58, y0 + 14, 2, C[INK])
    indent = [0, 1, 2, 2, 1, 2, 1, 1]
    for k, level in enumerate(indent):
        ty = y0 + 26 + k * 11
        if ty > y1 - 8:
            break
        bx = x0 + 10 + level * 10
        c.ellipse(bx, ty + 1, 2, 2, DEPTH_FILL[level])
        c.round_rect(bx + 6, ty, bx + 6 + 48 - level * 6 - (k % 3) * 6, ty + 2.5, 1, C[BLUE])


def check_badge(c, cx, cy, r):
    c.ellipse(cx + 2, cy + 3, r, r, (60, 80, 120), 0.25)
    c.ellipse(cx, cy, r, r, C[INK])
    c.ellipse(cx, cy, r - 2, r - 2, C[GREEN])
    c.ellipse(cx - r * 0.2, cy - r * 0.25, r * 0.65, r * 0.55, C[LIME], 0.35)
    c.polyline([(cx - r * 0.45, cy + r * 0.02), (cx - r * 0.12, cy + r * 0.35), (cx + r * 0.5, cy - r * 0.38)],
               r * 0.22, C[PAPER])


def finish_picture():
    c = Canvas(300, 264)
    backdrop(c)
    x0, y0, x1, y1 = 12, 12, 232, 222
    c.shadow(x0, y0, x1, y1, 3, offset=5)
    c.framed(x0, y0, x1, y1, 3, C[INK], C[PAPER])
    org_chart(c, (122, 28, 40, 22), [
        (84, 67, [(58, 122), (122, 122), (186, 122)]),
        (140, 123, [(36, 58), (80, 58, "document"), (122, 122, "terminal"), (166, 186)]),
        (190, 176, [(36, 36), (80, 80)]),
    ])
    sitemap_sheet(c, 196, 128, 288, 252)
    check_badge(c, 258, 56, 28)
    return c
