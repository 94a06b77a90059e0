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
from pixelicons import INK, PAPER, RED, canvas, check_box, fill, frame, refresh, transparent  # noqa: E402


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


def main():
    images = os.path.join(HERE, "images")
    os.makedirs(images, exist_ok=True)
    write_gif(os.path.join(images, "tb_refresh.gif"), [transparent(refresh())])
    write_gif(os.path.join(images, "tb_end.gif"), [transparent(end_process())])
    write_gif(os.path.join(images, "tb_hide_off.gif"), [transparent(check_box(False))])
    write_gif(os.path.join(images, "tb_hide_on.gif"), [transparent(check_box(True))])


if __name__ == "__main__":
    main()
