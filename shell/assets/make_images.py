#!/usr/bin/env python3
"""Draws the suite's shared page images into shell/assets/images (run again after changing a colour).

Every button comes as an image set: normal, _ov (mouse over), _dn (pressed) and _dis (disabled).
The buttons sit on the header band, so their anti-aliased edges are blended with the band's colour
at the row where a vertically centred button meets it; GIF has no partial transparency.
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "lib"))
from imagefiles import write_gif  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "images")

BAND_HEIGHT = 29
SAMPLES = 4  # per axis, for edge coverage


def hex_rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


# The band: a vertical gradient between a highlight line on top and a dark line at the bottom.
BAND_TOP, BAND_BOTTOM = hex_rgb("#4A7CC4"), hex_rgb("#2A5595")
BAND_HIGHLIGHT, BAND_SHADOW = hex_rgb("#7FA6DC"), hex_rgb("#1D3F73")
SEPARATOR = hex_rgb("#C5D4E8")


def band_row(y):
    if y <= 0:
        return BAND_HIGHLIGHT
    if y >= BAND_HEIGHT - 1:
        return BAND_SHADOW
    return mix(BAND_TOP, BAND_BOTTOM, (y - 1) / (BAND_HEIGHT - 3))


def render(width, height, shade):
    """shade(x, y) gives the colour of a sub-pixel point, or None outside the shape."""
    top = (BAND_HEIGHT - height) // 2
    rows = []
    for py in range(height):
        background = band_row(top + py)
        row = []
        for px in range(width):
            total, inside = [0, 0, 0], 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    colour = shade(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
                    if colour is None:
                        colour = background
                    else:
                        inside += 1
                    for i in range(3):
                        total[i] += colour[i]
            count = SAMPLES * SAMPLES
            if inside * 4 < count:
                row.append((0, 0, 0, 0))
            else:
                # A few levels per channel keep every image well inside the 255 colours of a GIF.
                row.append(tuple(min(255, (round(c / count) + 2) // 4 * 4) for c in total))
        rows.append(row)
    return rows


def gradient(y, height, top, bottom):
    return mix(top, bottom, max(0.0, min(1.0, y / height)))


def dist_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def inside_triangle(px, py, a, b, c):
    def side(p, q):
        return (px - q[0]) * (p[1] - q[1]) - (p[0] - q[0]) * (py - q[1])
    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    return not ((d1 < 0 or d2 < 0 or d3 < 0) and (d1 > 0 or d2 > 0 or d3 > 0))


# State palettes: face gradient (top, bottom), rim, glyph, and the glyph's offset when pressed.
ARROW_STATES = {
    "": dict(face=("#FFFFFF", "#CFDFF3"), rim="#1D3F73", glyph="#2A5595", shift=0),
    "_ov": dict(face=("#FFFFFF", "#E3EEFB"), rim="#1D3F73", glyph="#E8730C", shift=0),
    "_dn": dict(face=("#BCD0EA", "#E6EEF9"), rim="#15305A", glyph="#1D3F73", shift=1),
    "_dis": dict(face=("#E4E4E4", "#C8C8C8"), rim="#8A8A8A", glyph="#A6A6A6", shift=0),
}


def arrow(direction, state):
    size = 24
    centre, radius, rim = 12.0, 11.0, 1.3
    face_top, face_bottom = (hex_rgb(c) for c in state["face"])
    rim_colour, glyph = hex_rgb(state["rim"]), hex_rgb(state["glyph"])
    shift = state["shift"]

    def shade(x, y):
        distance = math.hypot(x - centre, y - centre)
        if distance > radius:
            return None
        if distance > radius - rim:
            return rim_colour
        gx, gy = x - shift, y - shift
        if direction == "right":
            gx = 2 * centre - gx
        # A head pointing left and a shaft behind it.
        if inside_triangle(gx, gy, (5.5, 12.0), (12.5, 5.5), (12.5, 18.5)):
            return glyph
        if 12.0 <= gx <= 18.5 and 9.8 <= gy <= 14.2:
            return glyph
        return gradient(y, size, face_top, face_bottom)

    return render(size, size, shade)


WINDOW_STATES = {
    "": dict(face=("#6F9AD6", "#3A66A8"), rim="#1D3F73", glyph="#FFFFFF", shift=0),
    "_ov": dict(face=("#9BBDEB", "#5B88CA"), rim="#1D3F73", glyph="#FFFFFF", shift=0),
    "_dn": dict(face=("#2C5089", "#4470B0"), rim="#132C52", glyph="#E6EEF9", shift=1),
    "_dis": dict(face=("#A9B4C4", "#8C97A8"), rim="#6F7A8A", glyph="#CDD3DC", shift=0),
}
# The close button turns red under the mouse and when pressed.
CLOSE_STATES = dict(WINDOW_STATES)
CLOSE_STATES["_ov"] = dict(face=("#F08A80", "#D0392E"), rim="#7A1C15", glyph="#FFFFFF", shift=0)
CLOSE_STATES["_dn"] = dict(face=("#A8281F", "#C8453A"), rim="#5E140F", glyph="#F6DEDB", shift=1)


def window_glyph(kind, x, y):
    """Whether a glyph point (in a 20 x 18 button, before the pressed shift) is ink."""
    def box(left, top, right, bottom, thickness=1.0, top_thickness=2.0):
        if not (left <= x <= right and top <= y <= bottom):
            return False
        return x < left + thickness or x > right - thickness or y < top + top_thickness or y > bottom - thickness

    if kind == "min":
        return 6.0 <= x <= 14.0 and 11.0 <= y <= 13.0
    if kind == "max":
        return box(5.5, 4.5, 14.5, 13.5)
    if kind == "normal":
        front = (5.0, 7.5, 12.5, 14.0)
        if box(*front):
            return True
        behind_front = front[0] <= x <= front[2] and front[1] <= y <= front[3]
        return not behind_front and box(8.0, 4.0, 15.5, 10.5)
    if kind == "close":
        return (dist_to_segment(x, y, 6.0, 5.0, 14.0, 13.0) <= 1.15
                or dist_to_segment(x, y, 14.0, 5.0, 6.0, 13.0) <= 1.15)
    if kind == "menu":
        return inside_triangle(x, y, (5.5, 7.0), (14.5, 7.0), (10.0, 12.5))
    raise ValueError(kind)


def window_button(kind, state):
    width, height, corner = 20, 18, 3.0
    face_top, face_bottom = (hex_rgb(c) for c in state["face"])
    rim_colour, glyph = hex_rgb(state["rim"]), hex_rgb(state["glyph"])
    shift = state["shift"]

    def rounded_distance(x, y):
        """Distance inside the rounded rectangle's edge (negative outside)."""
        cx = min(max(x, corner), width - corner)
        cy = min(max(y, corner), height - corner)
        if cx != x and cy != y:
            return corner - math.hypot(x - cx, y - cy)
        return min(x, width - x, y, height - y)

    def shade(x, y):
        inner = rounded_distance(x, y)
        if inner < 0:
            return None
        if inner < 1.0:
            return rim_colour
        if window_glyph(kind, x - shift, y - shift):
            return glyph
        return gradient(y, height, face_top, face_bottom)

    return render(width, height, shade)


def header_band():
    return [[band_row(y)] * 8 for y in range(BAND_HEIGHT)]


def main():
    os.makedirs(OUT, exist_ok=True)
    for direction in ("left", "right"):
        for suffix, state in ARROW_STATES.items():
            write_gif(os.path.join(OUT, "arrow_%s%s.gif" % (direction, suffix)), arrow(direction, state))
    for kind in ("min", "max", "normal", "close", "menu"):
        states = CLOSE_STATES if kind == "close" else WINDOW_STATES
        for suffix, state in states.items():
            write_gif(os.path.join(OUT, "btn_%s%s.gif" % (kind, suffix)), window_button(kind, state))
    write_gif(os.path.join(OUT, "header_bg.gif"), header_band())
    write_gif(os.path.join(OUT, "separator.gif"), [[SEPARATOR]])


if __name__ == "__main__":
    main()
