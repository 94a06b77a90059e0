"""Small pictures drawn pixel by pixel, shared by the add-ons' image scripts.

A picture is a list of rows of (r, g, b) pixels, as imagefiles writes them. CLEAR is the mask colour
(white) of the list and tree bitmaps and the transparent colour of the page's GIFs, so drawings use
PAPER where they mean white. The tool-link pictures that more than one page shows live here too.
"""

CLEAR = (255, 255, 255)
PAPER = (254, 254, 254)
INK = (44, 62, 92)
GREEN = (40, 150, 60)
RED = (200, 40, 40)


def canvas(size=16, colour=CLEAR):
    return [[colour] * size for _ in range(size)]


def fill(p, left, top, right, bottom, colour):
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            p[y][x] = colour


def frame(p, left, top, right, bottom, colour):
    fill(p, left, top, right, top, colour)
    fill(p, left, bottom, right, bottom, colour)
    fill(p, left, top, left, bottom, colour)
    fill(p, right, top, right, bottom, colour)


def transparent(p):
    """The picture for a GIF: CLEAR becomes transparent."""
    return [[(0, 0, 0, 0) if c == CLEAR else c for c in row] for row in p]


def refresh():
    """A green circular arrow."""
    p = canvas()
    for x, y in ((5, 3), (6, 2), (7, 2), (8, 2), (9, 2), (10, 3), (11, 4), (12, 5), (12, 6), (12, 7),
                 (12, 8), (11, 9), (11, 10), (10, 11), (9, 12), (8, 12), (7, 12), (6, 12), (5, 11),
                 (4, 10), (3, 9), (3, 8), (3, 7), (3, 6), (4, 5)):
        fill(p, x, y, x, y, GREEN)
    fill(p, 10, 5, 13, 5, GREEN)
    fill(p, 13, 2, 13, 5, GREEN)
    return p


def check_box(checked):
    p = canvas()
    fill(p, 2, 2, 13, 13, PAPER)
    frame(p, 2, 2, 13, 13, INK)
    if checked:
        for x, y in ((4, 7), (5, 8), (6, 9), (7, 8), (8, 7), (9, 6), (10, 5), (11, 4)):
            fill(p, x, y, x, y + 2, GREEN)
    return p
