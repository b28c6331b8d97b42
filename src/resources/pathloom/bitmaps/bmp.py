"""Windows BMP files: BITMAPFILEHEADER, BITMAPINFOHEADER, colour table, rows bottom-up."""
import struct

PIXELS_PER_METRE = 2835  # 72 dots per inch


def _write(path, width, height, bits, table, rows):
    """rows: the packed bytes of each row, top row first."""
    stride = (width * bits + 31) // 32 * 4
    data = b"".join(row.ljust(stride, b"\0") for row in reversed(rows))
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in table)
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    # biClrUsed 0: the table holds all 2^bits entries, which is what the pages read.
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data),
                       PIXELS_PER_METRE, PIXELS_PER_METRE, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + colours + data)


def write_rgb(path, width, height, pixels):
    """24 bits per pixel; pixels are (r, g, b) tuples, row by row from the top."""
    rows = []
    for y in range(height):
        row = pixels[y * width:(y + 1) * width]
        rows.append(bytes(c for r, g, b in row for c in (b, g, r)))
    _write(path, width, height, 24, [], rows)


def write_indexed(path, width, height, bits, table, pixels):
    """4 or 8 bits per pixel with a full colour table; pixels are indices into the table."""
    size = 1 << bits
    if len(table) > size or max(pixels) >= len(table):
        raise ValueError(f"{path}: more than {size} colours")
    table = list(table) + [(0, 0, 0)] * (size - len(table))
    rows = []
    for y in range(height):
        row = pixels[y * width:(y + 1) * width]
        if bits == 8:
            rows.append(bytes(row))
        else:
            padded = row + [0] * (len(row) % 2)
            rows.append(bytes(padded[i] << 4 | padded[i + 1] for i in range(0, len(padded), 2)))
    _write(path, width, height, bits, table, rows)
