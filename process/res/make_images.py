#!/usr/bin/env python3
"""Draws the process manager page's toolbar images (16 x 16 GIF with transparency): refresh, end
process, and the hide-system-programs box unticked and ticked. Run it again after changing a
drawing and commit the files it writes into images/.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "lib"))
from imagefiles import write_gif  # noqa: E402

CLEAR = None
PAPER = (254, 254, 254, 255)
INK = (44, 62, 92, 255)
RED = (200, 40, 40, 255)
GREEN = (40, 150, 60, 255)


def canvas():
    return [[CLEAR] * 16 for _ in range(16)]


def fill(p, left, top, right, bottom, colour):
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            p[y][x] = colour


def frame(p, left, top, right, bottom, colour):
    fill(p, left, top, right, top, colour)
    fill(p, left, bottom, right, bottom, colour)
    fill(p, left, top, left, bottom, colour)
    fill(p, right, top, right, bottom, colour)


def refresh():
    p = canvas()
    for x, y in ((5, 3), (6, 2), (7, 2), (8, 2), (9, 2), (10, 3), (11, 4), (12, 5), (12, 6), (12, 7),
                 (12, 8), (11, 9), (11, 10), (10, 11), (9, 12), (8, 12), (7, 12), (6, 12), (5, 11),
                 (4, 10), (3, 9), (3, 8), (3, 7), (3, 6), (4, 5)):
        fill(p, x, y, x, y, GREEN)
    fill(p, 10, 5, 13, 5, GREEN)
    fill(p, 13, 2, 13, 5, GREEN)
    return p


def end_process():
    """A window with a red cross over it."""
    p = canvas()
    fill(p, 1, 2, 12, 11, PAPER)
    frame(p, 1, 2, 12, 11, INK)
    fill(p, 1, 2, 12, 4, INK)
    for i in range(8):
        fill(p, 6 + i, 6 + i, 7 + i, 6 + i, RED)
        fill(p, 14 - i, 6 + i, 15 - i, 6 + i, RED)
    return p


def check_box(checked):
    p = canvas()
    fill(p, 2, 2, 13, 13, PAPER)
    frame(p, 2, 2, 13, 13, INK)
    if checked:
        for x, y in ((4, 7), (5, 8), (6, 9), (7, 8), (8, 7), (9, 6), (10, 5), (11, 4)):
            fill(p, x, y, x, y + 2, GREEN)
    return p


def transparent(p):
    return [[(0, 0, 0, 0) if c is CLEAR else c for c in row] for row in p]


def main():
    images = os.path.join(HERE, "images")
    os.makedirs(images, exist_ok=True)
    write_gif(os.path.join(images, "tb_refresh.gif"), [transparent(refresh())])
    write_gif(os.path.join(images, "tb_end.gif"), [transparent(end_process())])
    write_gif(os.path.join(images, "tb_hide_off.gif"), [transparent(check_box(False))])
    write_gif(os.path.join(images, "tb_hide_on.gif"), [transparent(check_box(True))])


if __name__ == "__main__":
    main()
