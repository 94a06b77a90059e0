#!/usr/bin/env python3
"""Draws the console's 48 x 48 tool icons into icons/ beside this script.

Each icon is a rounded tile in the tool's colour with a white pictogram. Shapes are tested at
4 x 4 points per pixel, so edges are smooth. Run it again after changing a picture and commit
the PNG files.
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "lib"))
import imagefiles  # noqa: E402

SIZE = 48
SAMPLES = 4
WHITE = (255, 255, 255)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return inside


def rect(x0, y0, x1, y1):
    return rounded_rect(x0, y0, x1, y1, 0)


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def segment(ax, ay, bx, by, width):
    length2 = (bx - ax) ** 2 + (by - ay) ** 2

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / length2))
        px, py = ax + t * (bx - ax), ay + t * (by - ay)
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                result = not result
        return result
    return inside


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def minus(shape, cut):
    return lambda x, y: shape(x, y) and not cut(x, y)


def tile(colour):
    """The tile with a light-to-dark vertical gradient of the colour."""
    def paint(x, y):
        light = 1.25 - 0.5 * y / SIZE
        return tuple(min(255, int(c * light)) for c in colour)
    return rounded_rect(2, 2, 46, 46, 9), paint


def render(layers):
    pixels = []
    step = 1.0 / SAMPLES
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            r = g = b = a = 0.0
            for shape, colour in layers:
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if shape(px + (sx + 0.5) * step, py + (sy + 0.5) * step):
                            hits += 1
                if not hits:
                    continue
                cover = hits / (SAMPLES * SAMPLES)
                cr, cg, cb = colour(px + 0.5, py + 0.5) if callable(colour) else colour
                r, g, b = (r * (1 - cover) + cr * cover, g * (1 - cover) + cg * cover, b * (1 - cover) + cb * cover)
                a = a + cover * (1 - a)
            row.append((int(r + 0.5), int(g + 0.5), int(b + 0.5), int(a * 255 + 0.5)) if a else (0, 0, 0, 0))
        pixels.append(row)
    return pixels


def power(colour):
    ring = minus(minus(circle(24, 26, 13), circle(24, 26, 9.5)), polygon([(24, 26), (15, 8), (33, 8)]))
    return [tile(colour), (union(ring, segment(24, 10, 24, 25, 4)), WHITE)]


def broom(colour):
    handle = segment(34, 9, 25, 27, 3.5)
    bristles = polygon([(19, 24), (30, 30), (26, 40), (11, 35)])
    return [tile(colour), (union(handle, bristles), WHITE), (segment(15, 31, 26, 36, 1.2), colour)]


def shield(colour):
    body = polygon([(24, 8), (37, 13), (36, 26), (24, 40), (12, 26), (11, 13)])
    check = union(segment(17, 24, 22, 29, 3.5), segment(22, 29, 31, 18, 3.5))
    return [tile(colour), (body, WHITE), (check, colour)]


def patch_arrow(colour):
    arrow = polygon([(20, 8), (28, 8), (28, 20), (34, 20), (24, 31), (14, 20), (20, 20)])
    tray = union(rect(10, 33, 38, 37), rect(10, 27, 14, 37), rect(34, 27, 38, 37))
    return [tile(colour), (union(arrow, tray), WHITE)]


def bars(colour):
    chart = union(rect(12, 26, 17, 36), rect(21, 16, 26, 36), rect(30, 21, 35, 36), rect(10, 37, 38, 39))
    return [tile(colour), (chart, WHITE)]


def monitor(colour):
    screen = minus(rounded_rect(9, 10, 39, 31, 2), rect(12, 13, 36, 28))
    stand = union(rect(22, 31, 26, 36), rect(16, 36, 32, 39))
    info = union(circle(24, 16.5, 1.6), rect(22.8, 19.5, 25.2, 26))
    return [tile(colour), (union(screen, stand, info), WHITE)]


def page(colour):
    sheet = polygon([(13, 8), (29, 8), (36, 15), (36, 40), (13, 40)])
    lines = union(*[rect(17, y, 32, y + 1.6) for y in (19, 24, 29, 34)])
    return [tile(colour), (sheet, WHITE), (union(lines, polygon([(29, 8), (29, 15), (36, 15)])), colour)]


def grid(colour):
    cells = union(*[rounded_rect(11 + 9.5 * i, 11 + 9.5 * j, 18 + 9.5 * i, 18 + 9.5 * j, 1.5)
                    for i in range(3) for j in range(3)])
    return [tile(colour), (cells, WHITE)]


def disk(colour):
    platter = minus(circle(24, 24, 14), circle(24, 24, 3))
    shine = minus(minus(circle(24, 24, 10), circle(24, 24, 8.5)), polygon([(24, 24), (48, 24), (48, 48), (0, 48), (0, 24)]))
    return [tile(colour), (platter, WHITE), (shine, colour)]


ICONS = {
    "startup.png": (power, (46, 125, 50)),
    "sweeper.png": (broom, (0, 131, 143)),
    "activex.png": (shield, (198, 40, 40)),
    "patch.png": (patch_arrow, (21, 101, 192)),
    "process.png": (bars, (106, 27, 154)),
    "sysinfo.png": (monitor, (69, 90, 100)),
    "notepad.png": (page, (96, 125, 139)),
    "charmap.png": (grid, (121, 85, 72)),
    "cleanmgr.png": (disk, (230, 120, 0)),
}


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "icons")
    os.makedirs(folder, exist_ok=True)
    for name, (draw, colour) in ICONS.items():
        imagefiles.write_png(os.path.join(folder, name), render(draw(colour)))


if __name__ == "__main__":
    main()
