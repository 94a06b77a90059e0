#!/usr/bin/env python3
"""Draws the system information page's images into sysinfo/res/images (run again after changing a colour).

tab.gif and tab_on.gif are the panel tabs (90 x 24, rounded top corners on the tab band's colour);
computer.gif is the summary's picture of a monitor on its stand (48 x 48, on white).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "lib"))
from imagefiles import write_gif  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "images")


def hex_rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


BAND = hex_rgb("#EEF3FA")
RULE = hex_rgb("#C5D4E8")
INK = hex_rgb("#1D3F73")
WHITE = hex_rgb("#FFFFFF")
TAB_TOP, TAB_BOTTOM = hex_rgb("#F4F7FC"), hex_rgb("#D5E1F1")
SCREEN_TOP, SCREEN_BOTTOM = hex_rgb("#7FA6DC"), hex_rgb("#2A5595")
FRAME = hex_rgb("#3B4A5E")


def tab(width, height, top, bottom, border):
    pixels = []
    for y in range(height):
        row = []
        for x in range(width):
            corner = (x < 2 and y < 2 - x) or (x >= width - 2 and y < x - (width - 3))
            if corner:
                row.append(BAND)
            elif y == 0 or x == 0 or x == width - 1:
                row.append(border)
            else:
                row.append(mix(top, bottom, y / (height - 1)))
        pixels.append(row)
    return pixels


def computer(size=48):
    pixels = [[WHITE] * size for _ in range(size)]
    left, right, top, bottom = 4, 43, 5, 33
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            frame = y in (top, bottom) or x in (left, right) or y in (top + 1, bottom - 1) or x in (left + 1, right - 1)
            pixels[y][x] = FRAME if frame else mix(SCREEN_TOP, SCREEN_BOTTOM, (y - top) / (bottom - top))
    # A highlight across the screen's upper left.
    for i in range(10):
        for x in range(left + 4 + i, min(left + 16 + i, right - 2)):
            y = top + 3 + i
            if y < bottom - 2:
                pixels[y][x] = mix(pixels[y][x], WHITE, 0.25)
    for y in range(bottom + 1, bottom + 7):
        for x in range(20, 28):
            pixels[y][x] = FRAME
    for y in range(bottom + 7, bottom + 10):
        for x in range(12, 36):
            pixels[y][x] = FRAME
    return pixels


def main():
    os.makedirs(OUT, exist_ok=True)
    write_gif(os.path.join(OUT, "tab.gif"), [tab(90, 24, TAB_TOP, TAB_BOTTOM, RULE)])
    write_gif(os.path.join(OUT, "tab_on.gif"), [tab(90, 24, WHITE, WHITE, RULE)])
    write_gif(os.path.join(OUT, "computer.gif"), [computer()])


if __name__ == "__main__":
    main()
