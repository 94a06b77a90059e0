#!/usr/bin/env python3
"""Draws the row icons (16 x 16) and the progress bars (65 x 16) of the sweeper's tree-list.

White (255, 255, 255) is the image lists' mask colour, so it marks the transparent pixels;
drawings use 254 where they mean white. Run it again after changing a drawing and commit the
.bmp files it writes beside itself.
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "lib"))
from imagefiles import write_bmp  # noqa: E402

CLEAR = (255, 255, 255)
PAPER = (254, 254, 254)

BAR_WIDTH, BAR_HEIGHT = 65, 16
# The bar's frame: a box of rows BAR_TOP to BAR_BOTTOM, as wide as the image.
BAR_TOP, BAR_BOTTOM = 2, 13
BAR_FRAME = (122, 138, 153)
BAR_EMPTY = (236, 239, 243)
BAR_RUNNING = ((132, 182, 240), (38, 98, 190))
BAR_DONE = ((150, 214, 120), (52, 146, 46))


def canvas(width, height):
    return [[CLEAR] * width for _ in range(height)]


def fill(picture, left, top, right, bottom, colour):
    """Fills columns left..right and rows top..bottom, both inclusive."""
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            picture[y][x] = colour


def frame(picture, left, top, right, bottom, colour):
    fill(picture, left, top, right, top, colour)
    fill(picture, left, bottom, right, bottom, colour)
    fill(picture, left, top, left, bottom, colour)
    fill(picture, right, top, right, bottom, colour)


def line(picture, x0, y0, x1, y1, colour):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for step in range(steps + 1):
        picture[round(y0 + (y1 - y0) * step / steps)][round(x0 + (x1 - x0) * step / steps)] = colour


def disc(picture, cx, cy, radius, inside, edge):
    for y, row in enumerate(picture):
        for x in range(len(row)):
            distance = math.hypot(x - cx, y - cy)
            if distance <= radius - 1:
                row[x] = inside
            elif distance <= radius:
                row[x] = edge


def blend(first, second, share):
    return tuple(round(a + (b - a) * share) for a, b in zip(first, second))


def bar(filled, colours):
    """A bar whose inside is filled over `filled` of its 63 columns, shaded from top to bottom."""
    picture = canvas(BAR_WIDTH, BAR_HEIGHT)
    frame(picture, 0, BAR_TOP, BAR_WIDTH - 1, BAR_BOTTOM, BAR_FRAME)
    fill(picture, 1, BAR_TOP + 1, BAR_WIDTH - 2, BAR_BOTTOM - 1, BAR_EMPTY)
    inner_rows = BAR_BOTTOM - BAR_TOP - 1
    for row in range(inner_rows):
        shade = blend(colours[0], colours[1], row / (inner_rows - 1))
        if filled:
            fill(picture, 1, BAR_TOP + 1 + row, filled, BAR_TOP + 1 + row, shade)
    return picture


def disk_icon():
    picture = canvas(16, 16)
    fill(picture, 1, 5, 14, 12, (196, 200, 208))
    frame(picture, 1, 5, 14, 12, (88, 94, 108))
    fill(picture, 2, 6, 13, 6, (232, 234, 238))
    line(picture, 3, 10, 9, 10, (120, 126, 138))
    fill(picture, 11, 9, 12, 10, (40, 190, 60))
    return picture


def registry_icon():
    picture = canvas(16, 16)
    for left, top, colour in ((1, 8, (52, 110, 210)), (8, 8, (210, 64, 52)), (4, 1, (60, 170, 70))):
        fill(picture, left, top, left + 6, top + 6, colour)
        frame(picture, left, top, left + 6, top + 6, blend(colour, (0, 0, 0), 0.45))
        fill(picture, left + 1, top + 1, left + 5, top + 1, blend(colour, PAPER, 0.5))
    return picture


def history_icon():
    picture = canvas(16, 16)
    disc(picture, 7.5, 7.5, 7.4, (250, 246, 226), (60, 90, 150))
    for hour in range(12):
        angle = hour * math.pi / 6
        picture[round(7.5 - 5.5 * math.cos(angle))][round(7.5 + 5.5 * math.sin(angle))] = (120, 130, 150)
    line(picture, 7, 7, 7, 3, (30, 30, 40))
    line(picture, 8, 8, 11, 10, (30, 30, 40))
    picture[7][7] = (200, 40, 40)
    return picture


def application_history_icon():
    picture = canvas(16, 16)
    fill(picture, 0, 1, 13, 12, (244, 246, 250))
    frame(picture, 0, 1, 13, 12, (70, 86, 120))
    fill(picture, 1, 2, 12, 3, (58, 110, 200))
    for y in (6, 8, 10):
        line(picture, 2, y, 7, y, (150, 158, 172))
    small = canvas(16, 16)
    disc(small, 11.5, 11.5, 4.4, (250, 246, 226), (60, 90, 150))
    for y in range(16):
        for x in range(16):
            if small[y][x] != CLEAR:
                picture[y][x] = small[y][x]
    line(picture, 11, 11, 11, 9, (30, 30, 40))
    line(picture, 11, 11, 13, 11, (30, 30, 40))
    return picture


def privacy_icon():
    picture = canvas(16, 16)
    shackle = (120, 124, 134)
    fill(picture, 4, 2, 11, 2, shackle)
    fill(picture, 3, 3, 4, 7, shackle)
    fill(picture, 11, 3, 12, 7, shackle)
    fill(picture, 2, 7, 13, 15, (226, 180, 48))
    frame(picture, 2, 7, 13, 15, (150, 104, 20))
    fill(picture, 3, 8, 12, 8, (246, 220, 120))
    fill(picture, 7, 10, 8, 11, (70, 50, 20))
    fill(picture, 7, 12, 7, 13, (70, 50, 20))
    return picture


def item_icon():
    picture = canvas(16, 16)
    fill(picture, 3, 1, 12, 14, PAPER)
    frame(picture, 3, 1, 12, 14, (110, 120, 140))
    fill(picture, 10, 1, 12, 3, CLEAR)
    line(picture, 10, 1, 12, 3, (110, 120, 140))
    fill(picture, 10, 2, 10, 3, (110, 120, 140))
    fill(picture, 11, 3, 11, 3, (110, 120, 140))
    for y in (5, 7, 9, 11):
        line(picture, 5, y, 10, y, (150, 170, 210))
    return picture


def main():
    folder = os.path.dirname(os.path.abspath(__file__))
    pictures = {
        "disk.bmp": disk_icon(),
        "registry.bmp": registry_icon(),
        "history.bmp": history_icon(),
        "application_history.bmp": application_history_icon(),
        "privacy.bmp": privacy_icon(),
        "item.bmp": item_icon(),
        "bar_done.bmp": bar(BAR_WIDTH - 2, BAR_DONE),
    }
    for tenth in range(11):
        pictures["bar_%03d.bmp" % (tenth * 10)] = bar(round((BAR_WIDTH - 2) * tenth / 10), BAR_RUNNING)
    for name, picture in pictures.items():
        write_bmp(os.path.join(folder, name), picture)


if __name__ == "__main__":
    main()
