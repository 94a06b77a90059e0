#!/usr/bin/env python3
"""Draws the console's own page images and its program icon into console/res (run again after a change).

The shared buttons and the header band come from shell/assets; these are the home page's section
backgrounds, the product mark shown on the pages, and vtcon.ico in the sizes Windows asks for.
"""
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "lib"))
from imagefiles import write_gif, write_png  # noqa: E402

SECTION_HEIGHT = 115
LINE = (0xC5, 0xD4, 0xE8)
GREY_TOP, GREY_BOTTOM = (0xF7, 0xF9, 0xFC), (0xE9, 0xEE, 0xF5)
MARK_TOP, MARK_BOTTOM = (0x4A, 0x7C, 0xC4), (0x1D, 0x3F, 0x73)
MARK_RIM = (0x15, 0x30, 0x5A)
WHITE = (0xFF, 0xFF, 0xFF)
ACCENT = (0xE8, 0x73, 0x0C)


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def grey_band():
    """The background of every section but the first: a faint vertical gradient."""
    return [[mix(GREY_TOP, GREY_BOTTOM, y / (SECTION_HEIGHT - 1))] * 4 for y in range(SECTION_HEIGHT)]


def section_line():
    """The 2-pixel line between sections: a rule and a highlight under it."""
    return [[LINE] * 4, [WHITE] * 4]


def mark(size):
    """The product mark: a blue rounded tile with a white toolbox and an orange latch."""
    samples = 4
    corner = size * 0.2
    rows = []

    def inside_tile(x, y):
        cx = min(max(x, corner), size - corner)
        cy = min(max(y, corner), size - corner)
        return math.hypot(x - cx, y - cy) <= corner

    def shade(x, y):
        if not inside_tile(x, y):
            return None
        u, v = x / size, y / size
        edge = min(x, y, size - x, size - y)
        if edge < max(1.0, size / 32):
            return MARK_RIM
        # The box, its lid line and the handle above it.
        if 0.2 <= u <= 0.8 and 0.4 <= v <= 0.78:
            if 0.44 <= u <= 0.56 and 0.46 <= v <= 0.56:
                return ACCENT
            if 0.5 <= v <= 0.53:
                return mix(WHITE, MARK_BOTTOM, 0.35)
            return WHITE
        if 0.36 <= u <= 0.64 and 0.26 <= v <= 0.4 and not (0.42 <= u <= 0.58 and v >= 0.32):
            return WHITE
        return mix(MARK_TOP, MARK_BOTTOM, v)

    for py in range(size):
        row = []
        for px in range(size):
            total, inside = [0, 0, 0], 0
            for sy in range(samples):
                for sx in range(samples):
                    colour = shade(px + (sx + 0.5) / samples, py + (sy + 0.5) / samples)
                    if colour is not None:
                        inside += 1
                        for i in range(3):
                            total[i] += colour[i]
            if inside == 0:
                row.append((0, 0, 0, 0))
            else:
                alpha = round(255 * inside / (samples * samples))
                row.append(tuple(round(c / inside) for c in total) + (alpha,))
        rows.append(row)
    return rows


def write_ico(path, pictures):
    """An icon file of 32-bit images (with alpha) in the classic DIB form every Windows reads."""
    header = struct.pack("<HHH", 0, 1, len(pictures))
    offset = len(header) + 16 * len(pictures)
    entries, blobs = b"", b""
    for pixels in pictures:
        size = len(pixels)
        xor = bytearray()
        for row in reversed(pixels):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
        mask_stride = ((size + 31) // 32) * 4
        mask = bytes(mask_stride * size)
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blob = info + bytes(xor) + mask
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        blobs += blob
        offset += len(blob)
    with open(path, "wb") as out:
        out.write(header + entries + blobs)


def main():
    images = os.path.join(HERE, "images")
    os.makedirs(images, exist_ok=True)
    write_gif(os.path.join(images, "bg_gray.gif"), grey_band())
    write_gif(os.path.join(images, "bg_line.gif"), section_line())
    write_png(os.path.join(images, "logo.png"), mark(48))
    write_ico(os.path.join(HERE, "vtcon.ico"), [mark(16), mark(32), mark(48)])


if __name__ == "__main__":
    main()
