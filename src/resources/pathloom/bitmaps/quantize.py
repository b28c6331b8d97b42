"""Reduction of a 24-bit picture to a colour table of at most 256 entries (median cut)."""
from collections import Counter


def _split(box):
    """Splits a list of (colour, count) at the weighted median of its widest channel."""
    spans = [max(c[i] for c, _ in box) - min(c[i] for c, _ in box) for i in range(3)]
    channel = spans.index(max(spans))
    box.sort(key=lambda e: e[0][channel])
    half, seen = sum(n for _, n in box) / 2, 0
    for i, (_, n) in enumerate(box):
        seen += n
        if seen >= half:
            cut = min(max(i + 1, 1), len(box) - 1)
            return box[:cut], box[cut:]
    return box[:-1], box[-1:]


def _weight(box):
    spans = [max(c[i] for c, _ in box) - min(c[i] for c, _ in box) for i in range(3)]
    return max(spans) * sum(n for _, n in box) ** 0.5


def _mean(box):
    total = sum(n for _, n in box)
    return tuple(round(sum(c[i] * n for c, n in box) / total) for i in range(3))


def quantize(pixels, count, keep=()):
    """Returns (table, indices). Colours of `keep` that the picture uses stay exact, so flat
    areas drawn in house colours keep their colour; the rest share what is left."""
    used = Counter(pixels)
    fixed = [c for c in keep if c in used]
    rest = [(c, n) for c, n in used.items() if c not in set(fixed)]
    if len(fixed) + len(rest) <= count:
        table = fixed + [c for c, _ in rest]
    else:
        boxes = [rest]
        while len(boxes) < count - len(fixed):
            candidates = [b for b in boxes if len(b) > 1]
            if not candidates:
                break
            box = max(candidates, key=_weight)
            boxes.remove(box)
            boxes.extend(_split(box))
        table = fixed + [_mean(b) for b in boxes]
    nearest = {}
    for c in used:
        nearest[c] = min(range(len(table)),
                         key=lambda i: (table[i][0] - c[0]) ** 2 + (table[i][1] - c[1]) ** 2 + (table[i][2] - c[2]) ** 2)
    return table, [nearest[c] for c in pixels]
