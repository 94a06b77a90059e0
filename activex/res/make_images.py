#!/usr/bin/env python3
"""Draws the ActiveX manager's pictures: the blocked and unblocked pictures of the list and the
three category pictures of the tree (16 x 16 BMP, white is the mask colour, so drawings use 254
where they mean white) and the toolbar images of the page (16 x 16 GIF with transparency). Run it
again after changing a drawing and commit the files it writes beside itself.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "lib"))
from imagefiles import write_bmp, write_gif  # noqa: E402

CLEAR = (255, 255, 255)
PAPER = (254, 254, 254)
INK = (44, 62, 92)
RED = (200, 40, 40)
GREEN = (40, 150, 60)
BLUE = (58, 110, 190)
GOLD = (236, 190, 70)


def canvas(colour=CLEAR):
    return [[colour] * 16 for _ in range(16)]


def disc(pixels, colour, radius=7.0):
    for y in range(16):
        for x in range(16):
            if (x - 7.5) ** 2 + (y - 7.5) ** 2 <= radius ** 2:
                pixels[y][x] = colour


def blocked():
    p = canvas()
    disc(p, RED)
    disc(p, PAPER, 4.5)
    for i in range(3, 13):
        for d in (-1, 0, 1):
            if 0 <= i + d < 16:
                p[i][i + d] = RED
    return p


def unblocked():
    p = canvas()
    disc(p, GREEN)
    for x, y in [(4, 8), (5, 9), (6, 10), (7, 9), (8, 8), (9, 7), (10, 6), (11, 5)]:
        p[y][x] = PAPER
        p[y - 1][x] = PAPER
    return p


def box(colour):
    p = canvas()
    for y in range(3, 13):
        for x in range(2, 14):
            p[y][x] = INK if y in (3, 12) or x in (2, 13) else colour
    return p


def star():
    p = canvas()
    disc(p, GOLD, 6.5)
    for i in range(4, 12):
        p[7][i] = PAPER
        p[i][7] = PAPER
    return p


def transparent(pixels):
    return [[(r, g, b, 0) if (r, g, b) == CLEAR else (r, g, b, 255) for (r, g, b) in row] for row in pixels]


def main():
    write_bmp(os.path.join(HERE, "unblocked.bmp"), unblocked())
    write_bmp(os.path.join(HERE, "blocked.bmp"), blocked())
    write_bmp(os.path.join(HERE, "category_all.bmp"), box(BLUE))
    write_bmp(os.path.join(HERE, "category_type.bmp"), box(PAPER))
    write_bmp(os.path.join(HERE, "category_new.bmp"), star())
    images = os.path.join(HERE, "images")
    write_gif(os.path.join(images, "tb_select.gif"), [transparent(box(PAPER))])
    write_gif(os.path.join(images, "tb_refresh.gif"), [transparent(unblocked())])
    write_gif(os.path.join(images, "tb_block.gif"), [transparent(blocked())])
    write_gif(os.path.join(images, "tb_unblock.gif"), [transparent(unblocked())])
    write_gif(os.path.join(images, "tb_clear.gif"), [transparent(blocked())])


if __name__ == "__main__":
    main()
