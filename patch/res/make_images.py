#!/usr/bin/env python3
"""Draws the patch manager's page images (images/) and list bitmaps (*.bmp); run again after a change.

The action buttons, the spinner, the moving bar and the bar's fill are the sweeper's drawings
(sweeper/res/make_images.py) with the patch manager's own captions and glyphs. The list's progress
bars are the sweeper's bars in twelve steps; the check boxes are drawn here. White is the list
bitmaps' mask colour.
"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "sweeper", "res"))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "lib"))
import make_bitmaps as bitmaps  # noqa: E402
import make_images as sweeper  # noqa: E402
from imagefiles import write_bmp, write_gif  # noqa: E402

OUT = os.path.join(HERE, "images")
drawn_by_sweeper = sweeper.action_glyph


def patch_glyph(kind, x, y):
    """The icons the sweeper lacks: install (an arrow down into a tray) and return (an arrow back)."""
    if kind == "install":
        return (sweeper.dist_to_segment(x, y, 44, 12, 44, 34) <= 3 or sweeper.dist_to_segment(x, y, 34, 25, 44, 36) <= 3
                or sweeper.dist_to_segment(x, y, 54, 25, 44, 36) <= 3 or sweeper.dist_to_segment(x, y, 30, 42, 58, 42) <= 2)
    if kind == "return":
        arc = math.hypot(x - 46, y - 29)
        return ((9 <= arc <= 13 and (x >= 44 or y <= 29)) or sweeper.dist_to_segment(x, y, 33, 21, 42, 16) <= 2.6
                or sweeper.dist_to_segment(x, y, 33, 21, 41, 27) <= 2.6)
    if kind == "search":
        return drawn_by_sweeper("analyze", x, y)
    if kind == "stopping":
        return drawn_by_sweeper("stop", x, y)
    return drawn_by_sweeper(kind, x, y)


sweeper.action_glyph = patch_glyph


def check_box(checked):
    picture = [[(255, 255, 255)] * 16 for _ in range(16)]
    for y in range(2, 15):
        for x in range(1, 14):
            edge = x in (1, 13) or y in (2, 14)
            picture[y][x] = (28, 81, 128) if edge else (250, 252, 255)
    if checked:
        for x, y in ((4, 8), (5, 9), (6, 10), (7, 9), (8, 8), (9, 7), (10, 6), (11, 5)):
            for dy in (0, 1):
                picture[y + dy][x] = (33, 161, 33)
    return picture


def main():
    os.makedirs(OUT, exist_ok=True)
    font = sweeper.Font(sweeper.FONT)
    buttons = (("search", "검색", sweeper.ACTION_STATES), ("stop", "중지", sweeper.STOP_STATES),
               ("install", "설치", sweeper.ACTION_STATES), ("return", "처음으로", sweeper.ACTION_STATES),
               ("complete", "완료", sweeper.ACTION_STATES))
    for kind, caption, states in buttons:
        for suffix, state in states.items():
            image = sweeper.gif_ready([sweeper.action_button(font, kind, caption, state)])[0]
            sweeper.write_gif(os.path.join(OUT, "btn_%s%s.gif" % (kind, suffix)), image)
    stopping = sweeper.gif_ready([sweeper.action_button(font, "stopping", "중지 중", sweeper.STOP_STATES["_dis"])])[0]
    write_gif(os.path.join(OUT, "btn_stopping.gif"), stopping)
    write_gif(os.path.join(OUT, "busy.gif"), sweeper.gif_ready(sweeper.busy_frames()), [80] * 12)
    write_gif(os.path.join(OUT, "moving_bar.gif"), sweeper.gif_ready(sweeper.moving_bar_frames()), [50] * 20)
    write_gif(os.path.join(OUT, "progress_fill.gif"), sweeper.progress_fill())

    # Progress images 0 (empty) to 11 (full), as bitmaps 1000, 1001, 1011, 1010, ..., 1002.
    ids = [1000, 1001, 1011, 1010, 1009, 1008, 1007, 1006, 1005, 1004, 1003, 1002]
    inner = bitmaps.BAR_WIDTH - 2
    for step, number in enumerate(ids):
        colours = bitmaps.BAR_DONE if step == 11 else bitmaps.BAR_RUNNING
        write_bmp(os.path.join(HERE, "bar_%d.bmp" % number), bitmaps.bar(round(inner * step / 11), colours))
    write_bmp(os.path.join(HERE, "check_off.bmp"), check_box(False))
    write_bmp(os.path.join(HERE, "check_on.bmp"), check_box(True))


if __name__ == "__main__":
    main()
