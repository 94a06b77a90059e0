#!/usr/bin/env python3
"""Draws the startup manager's pictures: the six category pictures of the tree and the two
pictures of the hide-essential toggle (16 x 16 BMP, white is the mask colour, so drawings use
254 where they mean white), the toolbar images of the page (16 x 16 GIF with transparency) and
the window's icon (32 x 32 and 16 x 16). Run it again after changing a drawing and commit the
files it writes beside itself.
"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "lib"))
from imagefiles import write_bmp, write_gif  # noqa: E402
from pixelicons import GREEN, INK, PAPER, RED, canvas, check_box, fill, frame, refresh, transparent  # noqa: E402

BLUE = (58, 110, 190)
LIGHT_BLUE = (150, 190, 235)
FOLDER = (236, 190, 70)
FOLDER_DARK = (180, 130, 30)
GREY = (120, 120, 120)


def person(p, dx, body):
    """A head and shoulders, 7 pixels wide, from column dx."""
    fill(p, dx + 2, 3, dx + 4, 6, (240, 200, 160))
    frame(p, dx + 2, 3, dx + 4, 6, INK)
    fill(p, dx, 8, dx + 6, 13, body)
    frame(p, dx, 8, dx + 6, 13, INK)


def all_users():
    p = canvas()
    person(p, 8, GREEN)
    person(p, 1, BLUE)
    return p


def current_user():
    p = canvas()
    person(p, 4, BLUE)
    return p


def everything():
    """A monitor."""
    p = canvas()
    fill(p, 1, 2, 14, 11, INK)
    fill(p, 2, 3, 13, 10, LIGHT_BLUE)
    fill(p, 6, 12, 9, 12, GREY)
    fill(p, 4, 13, 11, 13, INK)
    return p


def program():
    """A window."""
    p = canvas()
    fill(p, 1, 2, 14, 13, PAPER)
    frame(p, 1, 2, 14, 13, INK)
    fill(p, 2, 3, 13, 4, BLUE)
    return p


def registry():
    """Stacked blocks."""
    p = canvas()
    for top, colour in ((2, BLUE), (6, GREEN), (10, RED)):
        fill(p, 2, top, 13, top + 3, colour)
        frame(p, 2, top, 13, top + 3, INK)
    return p


def startup_folder():
    p = canvas()
    fill(p, 1, 4, 6, 5, FOLDER_DARK)
    fill(p, 1, 5, 14, 13, FOLDER)
    frame(p, 1, 5, 14, 13, FOLDER_DARK)
    # A small arrow: the programs it starts.
    fill(p, 6, 8, 10, 10, GREEN)
    fill(p, 11, 7, 11, 11, GREEN)
    fill(p, 12, 8, 12, 10, GREEN)
    fill(p, 13, 9, 13, 9, GREEN)
    return p


def remove():
    p = canvas()
    for i in range(10):
        fill(p, 3 + i, 3 + i, 4 + i, 3 + i, RED)
        fill(p, 12 - i, 3 + i, 13 - i, 3 + i, RED)
    return p


def disk(arrow_up):
    p = canvas()
    fill(p, 2, 2, 13, 13, BLUE)
    fill(p, 4, 2, 11, 6, PAPER)
    fill(p, 5, 9, 10, 13, LIGHT_BLUE)
    if arrow_up:
        fill(p, 7, 9, 8, 12, GREEN)
        fill(p, 6, 10, 9, 10, GREEN)
    else:
        fill(p, 7, 9, 8, 12, RED)
        fill(p, 6, 11, 9, 11, RED)
    return p


def icon_image(size):
    """The window's icon: a spanner over a monitor, drawn at 32 x 32 and scaled down."""
    big = [[(0, 0, 0, 0)] * 32 for _ in range(32)]

    def put(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                big[y][x] = colour + (255,)

    put(2, 4, 29, 23, INK)
    put(4, 6, 27, 21, LIGHT_BLUE)
    put(13, 24, 18, 26, GREY)
    put(8, 27, 23, 28, INK)
    for i in range(14):
        put(8 + i, 19 - i, 10 + i, 20 - i, (200, 120, 30))
    put(20, 4, 25, 8, (200, 120, 30))
    put(22, 5, 23, 6, LIGHT_BLUE)
    if size == 32:
        return big
    step = 32 // size
    return [[big[y * step][x * step] for x in range(size)] for y in range(size)]


def icon_entry(pixels):
    """A 32-bit DIB image of an icon file: BGRA rows bottom-up, then an all-zero AND mask."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b"".join(bytes(c for px in row for c in (px[2], px[1], px[0], px[3])) for row in reversed(pixels))
    mask_stride = ((size + 31) // 32) * 4
    return header + rows + bytes(mask_stride * size)


def write_ico(path, images):
    entries = [icon_entry(p) for p in images]
    data = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for pixels, entry in zip(images, entries):
        size = len(pixels)
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(entry), offset)
        offset += len(entry)
    with open(path, "wb") as out:
        out.write(data + b"".join(entries))


def main():
    bitmaps = {
        "category_allusers.bmp": all_users(),
        "category_currentuser.bmp": current_user(),
        "category_everything.bmp": everything(),
        "category_program.bmp": program(),
        "category_registry.bmp": registry(),
        "category_startup.bmp": startup_folder(),
        "hide_essential_off.bmp": check_box(False),
        "hide_essential_on.bmp": check_box(True),
    }
    for name, pixels in bitmaps.items():
        write_bmp(os.path.join(HERE, name), pixels)
    images = os.path.join(HERE, "images")
    os.makedirs(images, exist_ok=True)
    gifs = {
        "tb_category.gif": registry(),
        "tb_refresh.gif": refresh(),
        "tb_remove.gif": remove(),
        "tb_backup.gif": disk(True),
        "tb_restore.gif": disk(False),
    }
    for name, pixels in gifs.items():
        write_gif(os.path.join(images, name), transparent(pixels))
    write_ico(os.path.join(HERE, "velaspanner.ico"), [icon_image(32), icon_image(16)])


if __name__ == "__main__":
    main()
