"""The 13 pictures of 16 by 13 pixels that mark a node's kind and state in the site tree."""
from palette import BLUE, INK, PAPER, RED, SILVER, SLATE
from sprite import Sprite

W, H = 16, 13


def page(s, x0, y0, x1, y1, fold=2):
    """A sheet whose top-right corner is folded over."""
    corner = x1 - fold
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if x - corner > y - y0:
                continue
            if x >= corner and y <= y0 + fold:
                crease = x == corner or y == y0 + fold or x - corner == y - y0
                s.put(x, y, INK if crease else SILVER)
            else:
                edge = x in (x0, x1) or y in (y0, y1)
                s.put(x, y, INK if edge else PAPER)


def two_pages(s):
    page(s, 1, 0, 9, 9)
    for y in (4, 6, 8):
        s.fill(3, y, 4, y, SLATE)
    s.fill(3, 2, 5, 2, SLATE)
    page(s, 5, 3, 14, 12)


def page_with_links():
    s = Sprite(W, H)
    two_pages(s)
    s.fill(7, 6, 12, 6, BLUE)
    s.fill(7, 8, 10, 8, SLATE)
    s.fill(7, 10, 12, 10, BLUE)
    return s


def ftp_site():
    s = Sprite(W, H)
    s.stamp(0, 0, [
        "IIIIIIIIIIIIII..",
        "IbbbssssIsbbbbI.",
        "IbbbssssIsbbbbbI",
        "IbbbssssssbbbbbI",
        "IbbbbbbbbbbbbbbI",
        "IbppppppppppppbI",
        "IbppppppppppppbI",
        "IbppppppppppppbI",
        "IbppppppppppppbI",
        "IbppppppppppppbI",
        "IbppppppppppppbI",
        "IbppppppppppppbI",
        "IIIIIIIIIIIIIIII",
    ])
    s.text(2, 6, "FTP", INK)
    return s


def not_read():
    s = Sprite(W, H)
    two_pages(s)
    s.stamp(7, 5, [
        ".bbbb.",
        "bb..bb",
        "...bb.",
        "..bb..",
        "..bb..",
        "......",
        "..bb..",
    ])
    return s


def mail_link():
    s = Sprite(W, H)
    s.stamp(0, 1, [
        "................",
        "IIIIIIIIIIIIIIII",
        "IIppppppppppppII",
        "IpIppppppppppIpI",
        "IppIppppppppIppI",
        "IpppIppppppIpppI",
        "IppppIIppIIppppI",
        "IppppIpIIpIppppI",
        "IpppIppppppIpppI",
        "IppIppppppppIppI",
        "IIIIIIIIIIIIIIII",
    ])
    return s


def read_error():
    s = Sprite(W, H)
    s.stamp(2, 0, [
        ".II.......II.",
        "IrrI.....IrrI",
        "IrrrI...IrrrI",
        ".IrrrI.IrrrI.",
        "..IrrrIrrrI..",
        "...IrrrrrI...",
        "....IrrrI....",
        "...IrrrrrI...",
        "..IrrrIrrrI..",
        ".IrrrI.IrrrI.",
        "IrrrI...IrrrI",
        "IrrI.....IrrI",
        ".II.......II.",
    ])
    return s


def ring(s, x0, y0, x1, y1):
    """A chain link: a ring with rounded corners, two pixels thick."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if x in (x0, x1) and y in (y0, y1):
                continue
            edge = min(x - x0, x1 - x, y - y0, y1 - y)
            if edge < 2:
                s.put(x, y, INK if edge == 0 else SLATE)


def no_links():
    s = Sprite(W, H)
    ring(s, 0, 2, 9, 8)
    ring(s, 6, 5, 15, 11)
    ring(s, 6, 5, 8, 8)
    s.fill(7, 6, 7, 7, SLATE)
    s.line(2, 12, 14, 0, RED)
    s.line(3, 12, 15, 0, RED)
    return s


def image_map():
    s = Sprite(W, H)
    s.box(0, 0, 15, 12, INK)
    cells = ["ryb", "Got", "bly"]
    xs, ys = (1, 6, 11), (1, 5, 9)
    for j, row in enumerate(cells):
        for i, code in enumerate(row):
            s.stamp(xs[i], ys[j], [code * 4] * 3)
    for x in (5, 10):
        s.fill(x, 1, x, 11, INK)
    for y in (4, 8):
        s.fill(1, y, 14, y, INK)
    return s


def page_limit():
    s = Sprite(W, H)
    s.stamp(0, 3, [
        "##.#...##..#...#",
        "#.#.#....#..#.#.",
        "#.#.#..###...#..",
        "#.#.#.#..#...#..",
        "#.#.#.#..#..#.#.",
        "#.#.#..###.#...#",
    ], INK)
    return s


def queued():
    s = Sprite(W, H)
    page(s, 1, 0, 10, 12)
    for y, right in ((4, 8), (6, 6), (8, 5), (10, 6)):
        s.fill(3, y, right, y, SLATE)
    s.stamp(6, 4, [
        ".IIII.....",
        "IcppcI....",
        "IpcccI....",
        "IcccccI...",
        "IcccccI...",
        ".IccI.II..",
        "..II..III.",
        ".......III",
        "........II",
    ])
    return s


def top_of_chart():
    s = Sprite(W, H)
    s.stamp(1, 0, [
        "......II......",
        ".....IllI.....",
        ".....IllI.....",
        "....IlGGGI....",
        "....IlGGGI....",
        "...IlGGGGGI...",
        "...IlGGGGGI...",
        "..IlGGGGGGGI..",
        "..IlGGGGGGGI..",
        ".IlGGGGGGGGGI.",
        ".IlGGGGGGGGGI.",
        "IGGGGGGGGGGGGI",
        "IIIIIIIIIIIIII",
    ])
    return s


def dont_map():
    s = Sprite(W, H)
    s.stamp(0, 2, [
        "##.#...##..###.",
        "#.#.#....#.#..#",
        "#.#.#..###.#..#",
        "#.#.#.#..#.#..#",
        "#.#.#.#..#.###.",
        "#.#.#..###.#...",
        "...........#...",
        "...........#...",
    ], INK)
    s.fill(0, 5, 15, 5, RED)
    return s


def ftp_folder():
    s = Sprite(W, H)
    s.stamp(0, 1, [
        ".IIII...........",
        "IyyyyI..........",
        "IywwwyIIIIIIII..",
        "IywwwwwwwwwwwI..",
        "IywIIIIIIIIIIIII",
        "IyIwwwwwwwwwwwwI",
        "IyIwwwwwwwwwwwI.",
        "IIwwwwwwwwwwwwI.",
        "IIwwwwwwwwwwwI..",
        "IIyyyyyyyyyyyI..",
        "IIIIIIIIIIIIII..",
    ])
    return s


def file_window():
    s = Sprite(W, H)
    s.box(0, 0, 15, 12, INK, PAPER)
    s.fill(1, 1, 14, 2, BLUE)
    s.fill(12, 1, 13, 2, PAPER)
    s.fill(0, 3, 15, 3, INK)
    return s


def node_icons():
    return [page_with_links(), ftp_site(), not_read(), mail_link(), read_error(), no_links(),
            image_map(), page_limit(), queued(), top_of_chart(), dont_map(), ftp_folder(),
            file_window()]
