#!/usr/bin/env python3
"""Draws the updater's background, its 22 progress frames and its icon as 16-colour images."""
import math
import os
import struct

PALETTE = [
    (0x00, 0x00, 0x00), (0xFF, 0xFF, 0xFF), (0x1E, 0x3A, 0x5F), (0x24, 0x46, 0x70),
    (0x2B, 0x52, 0x82), (0x33, 0x5F, 0x94), (0x3B, 0x6C, 0xA6), (0x44, 0x7A, 0xB8),
    (0x5A, 0x8E, 0xC8), (0x9C, 0xBC, 0xE0), (0x3C, 0xB4, 0x4A), (0xD8, 0x3A, 0x3A),
    (0x60, 0x70, 0x80), (0xF0, 0xC0, 0x30), (0x80, 0xA0, 0xC0), (0xC0, 0xD0, 0xE0),
]
WHITE, TRACK, DONE, FAIL, LIT = 1, 3, 10, 11, 9


def bmp(pixels, width, height):
    """A bottom-up 4-bit BMP of rows of palette indices."""
    stride = ((width + 1) // 2 + 3) & ~3
    rows = b""
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            row[x // 2] |= pixels[y][x] << (4 if x % 2 == 0 else 0)
        rows += bytes(row)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(rows), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    return struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset) + info + palette + rows


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def background():
    size = 136
    # A vertical blue gradient in eight bands.
    return [[2 + min(7, y * 8 // size) for _ in range(size)] for y in range(size)]


def ring(lit, colour, size=48, segments=20):
    """A ring of segments, the first `lit` of them coloured, on a plain square."""
    pixels = canvas(size, size, 0)
    centre = (size - 1) / 2
    for y in range(size):
        for x in range(size):
            dx, dy = x - centre, y - centre
            radius = math.hypot(dx, dy)
            if 15 <= radius <= 22:
                angle = (math.degrees(math.atan2(dx, -dy)) + 360) % 360
                segment = int(angle * segments / 360)
                gap = (angle * segments / 360) % 1 < 0.15
                pixels[y][x] = TRACK if gap else (colour if segment < lit else TRACK)
            else:
                pixels[y][x] = 5
    return pixels


def mark(pixels, points, colour, thickness=2.5):
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        for step in range(101):
            t = step / 100
            cx, cy = x0 + (x1 - x0) * t, y0 + (y1 - y0) * t
            for y in range(len(pixels)):
                for x in range(len(pixels[0])):
                    if math.hypot(x - cx, y - cy) <= thickness:
                        pixels[y][x] = colour
    return pixels


def icon():
    """A 32 by 32 icon: 4-bit image and its AND mask, framed as an ICO file."""
    size = 32
    pixels = canvas(size, size, 6)
    mark(pixels, [(8, 18), (16, 8), (24, 18)], WHITE)
    mark(pixels, [(16, 9), (16, 25)], WHITE)
    image = bmp(pixels, size, size)[14:]
    header = bytearray(image[:40])
    struct.pack_into("<i", header, 8, size * 2)
    mask = bytes(4 * size)
    body = bytes(header) + image[40:] + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(body), 22) + body


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write = lambda name, data: open(os.path.join(here, name), "wb").write(data)
    write("background.bmp", bmp(background(), 136, 136))
    for frame in range(20):
        write("frame%02d.bmp" % frame, bmp(ring(frame, LIT), 48, 48))
    write("frame20.bmp", bmp(mark(ring(20, DONE), [(15, 24), (21, 30), (33, 17)], WHITE), 48, 48))
    write("frame21.bmp", bmp(mark(mark(ring(20, FAIL), [(17, 17), (31, 31)], WHITE), [(31, 17), (17, 31)], WHITE), 48, 48))
    write("vapup.ico", icon())


if __name__ == "__main__":
    main()
