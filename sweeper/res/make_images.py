#!/usr/bin/env python3
"""Draws the sweeper page's images into sweeper/res/images (run again after changing a colour).

The action buttons (88 x 82) and the select-all button come as image sets: normal, _ov (mouse over),
_dn (pressed) and _dis (disabled). Their captions are rasterised from the NanumGothic Bold font
(fonts-nanum), read here with a small TrueType outline reader. Anti-aliased edges are blended with
the colour of the band each image sits on; GIF has no partial transparency.
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "lib"))
from imagefiles import write_gif  # noqa: E402

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "images")
FONT = "/usr/share/fonts/truetype/nanum/NanumGothicBold.ttf"
SAMPLES = 4  # per axis, for edge coverage


def hex_rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


# The page's colours (shell/STYLE.md): white page, light bands with a pale rule, dark blue text.
PAGE = hex_rgb("#FFFFFF")
BAND = hex_rgb("#EEF3FA")
RULE = hex_rgb("#C5D4E8")
INK = hex_rgb("#1D3F73")
ACCENT = hex_rgb("#E8730C")


class Font:
    """The glyph outlines and advances of a TrueType font, in font units (y up)."""

    def __init__(self, path):
        with open(path, "rb") as source:
            self.data = source.read()
        count = struct.unpack(">H", self.data[4:6])[0]
        self.tables = {}
        for i in range(count):
            tag, _, offset, length = struct.unpack(">4sIII", self.data[12 + 16 * i:28 + 16 * i])
            self.tables[tag.decode("latin-1")] = (offset, length)
        head = self.tables["head"][0]
        self.units = struct.unpack(">H", self.data[head + 18:head + 20])[0]
        self.long_offsets = struct.unpack(">h", self.data[head + 50:head + 52])[0] == 1
        hhea = self.tables["hhea"][0]
        self.ascender, self.descender = struct.unpack(">hh", self.data[hhea + 4:hhea + 8])
        self.metrics_count = struct.unpack(">H", self.data[hhea + 34:hhea + 36])[0]
        self.cmap = self._read_cmap()

    def _u16(self, offset):
        return struct.unpack(">H", self.data[offset:offset + 2])[0]

    def _i16(self, offset):
        return struct.unpack(">h", self.data[offset:offset + 2])[0]

    def _read_cmap(self):
        base = self.tables["cmap"][0]
        for i in range(self._u16(base + 2)):
            platform, encoding, offset = struct.unpack(">HHI", self.data[base + 4 + 8 * i:base + 12 + 8 * i])
            table = base + offset
            if platform == 3 and encoding == 1 and self._u16(table) == 4:
                segments = self._u16(table + 6) // 2
                ends = table + 14
                starts = ends + 2 * segments + 2
                deltas = starts + 2 * segments
                ranges = deltas + 2 * segments
                mapping = {}
                for s in range(segments):
                    end, start = self._u16(ends + 2 * s), self._u16(starts + 2 * s)
                    delta, range_offset = self._u16(deltas + 2 * s), self._u16(ranges + 2 * s)
                    for code in range(start, end + 1):
                        if code == 0xFFFF:
                            continue
                        if range_offset == 0:
                            glyph = (code + delta) & 0xFFFF
                        else:
                            glyph = self._u16(ranges + 2 * s + range_offset + 2 * (code - start))
                            glyph = (glyph + delta) & 0xFFFF if glyph else 0
                        mapping[code] = glyph
                return mapping
        raise ValueError("no Unicode character map in " + FONT)

    def advance(self, glyph):
        hmtx = self.tables["hmtx"][0]
        return self._u16(hmtx + 4 * min(glyph, self.metrics_count - 1))

    def _glyph_offset(self, glyph):
        loca = self.tables["loca"][0]
        if self.long_offsets:
            start, end = struct.unpack(">II", self.data[loca + 4 * glyph:loca + 4 * glyph + 8])
        else:
            start, end = (2 * v for v in struct.unpack(">HH", self.data[loca + 2 * glyph:loca + 2 * glyph + 4]))
        return (self.tables["glyf"][0] + start) if end > start else None

    def contours(self, glyph):
        """Closed polygons (lists of (x, y) points) of a glyph, curves flattened."""
        offset = self._glyph_offset(glyph)
        if offset is None:
            return []
        count = self._i16(offset)
        if count < 0:
            return self._composite(offset)
        return [flatten(contour) for contour in self._simple(offset, count)]

    def _simple(self, offset, count):
        position = offset + 10
        ends = [self._u16(position + 2 * i) for i in range(count)]
        position += 2 * count
        position += 2 + self._u16(position)
        total = ends[-1] + 1 if ends else 0
        flags = []
        while len(flags) < total:
            flag = self.data[position]
            position += 1
            flags.append(flag)
            if flag & 8:
                repeat = self.data[position]
                position += 1
                flags.extend([flag] * repeat)
        xs, ys = [], []
        for coordinates, short, same in ((xs, 2, 16), (ys, 4, 32)):
            value = 0
            for flag in flags:
                if flag & short:
                    step = self.data[position]
                    position += 1
                    value += step if flag & same else -step
                elif not flag & same:
                    value += self._i16(position)
                    position += 2
                coordinates.append(value)
        contours, first = [], 0
        for end in ends:
            contours.append([(xs[i], ys[i], bool(flags[i] & 1)) for i in range(first, end + 1)])
            first = end + 1
        return contours

    def _composite(self, offset):
        position, result = offset + 10, []
        while True:
            flags, glyph = struct.unpack(">HH", self.data[position:position + 4])
            position += 4
            if flags & 1:
                dx, dy = struct.unpack(">hh", self.data[position:position + 4])
                position += 4
            else:
                dx, dy = struct.unpack(">bb", self.data[position:position + 2])
                position += 2
            scale = (1.0, 0.0, 0.0, 1.0)
            if flags & 8:
                s = self._i16(position) / 16384.0
                scale, position = (s, 0.0, 0.0, s), position + 2
            elif flags & 0x40:
                scale = (self._i16(position) / 16384.0, 0.0, 0.0, self._i16(position + 2) / 16384.0)
                position += 4
            elif flags & 0x80:
                scale = tuple(self._i16(position + 2 * i) / 16384.0 for i in range(4))
                position += 8
            a, b, c, d = scale
            for contour in self.contours(glyph):
                result.append([(a * x + c * y + dx, b * x + d * y + dy) for x, y in contour])
            if not flags & 0x20:
                return result


def flatten(points, steps=6):
    """A TrueType contour (on- and off-curve points) as a polygon."""
    if not any(on for _, _, on in points):
        first = ((points[0][0] + points[-1][0]) / 2, (points[0][1] + points[-1][1]) / 2, True)
        points = [first] + points
    start = next(i for i, p in enumerate(points) if p[2])
    points = points[start:] + points[:start]
    polygon = [(points[0][0], points[0][1])]
    count = len(points)
    i = 1
    while i <= count:
        x, y, on = points[i % count]
        if on:
            polygon.append((x, y))
            i += 1
            continue
        nx, ny, next_on = points[(i + 1) % count]
        if not next_on:
            nx, ny = (x + nx) / 2, (y + ny) / 2
            advance = 1
        else:
            advance = 2
        px, py = polygon[-1]
        for step in range(1, steps + 1):
            t = step / steps
            polygon.append(((1 - t) ** 2 * px + 2 * (1 - t) * t * x + t * t * nx,
                            (1 - t) ** 2 * py + 2 * (1 - t) * t * y + t * t * ny))
        i += advance
    return polygon


def text_coverage(font, text, size):
    """Coverage (0..1) of text set in size pixels: rows of floats, and the baseline row."""
    scale = size / font.units
    glyphs = [font.cmap.get(ord(character), 0) for character in text]
    width = math.ceil(sum(font.advance(g) for g in glyphs) * scale) + 2
    ascent = math.ceil(font.ascender * scale)
    height = ascent + math.ceil(-font.descender * scale) + 1
    edges, pen = [], 1.0
    for glyph in glyphs:
        for contour in font.contours(glyph):
            points = [(pen + x * scale, ascent - y * scale) for x, y in contour]
            for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
                if y0 != y1:
                    edges.append((x0, y0, x1, y1))
        pen += font.advance(glyph) * scale
    coverage = [[0.0] * width for _ in range(height)]
    for row in range(height * SAMPLES):
        sy = (row + 0.5) / SAMPLES
        crossings = []
        for x0, y0, x1, y1 in edges:
            if (y0 <= sy < y1) or (y1 <= sy < y0):
                crossings.append((x0 + (sy - y0) * (x1 - x0) / (y1 - y0), 1 if y1 > y0 else -1))
        crossings.sort()
        winding = 0
        for (xa, direction), (xb, _) in zip(crossings, crossings[1:]):
            winding += direction
            if winding == 0:
                continue
            for column in range(width * SAMPLES):
                sx = (column + 0.5) / SAMPLES
                if xa <= sx < xb:
                    coverage[row // SAMPLES][column // SAMPLES] += 1.0 / (SAMPLES * SAMPLES)
    return coverage, ascent


def quantise(rows, step):
    return [[p if len(p) == 4 and p[3] == 0 else tuple(min(255, (c + step // 2) // step * step) for c in p[:3])
             for p in row] for row in rows]


def gif_ready(frames):
    """Frames reduced to the 255 colours a GIF holds, in as fine steps as allow it."""
    for step in (1, 2, 4, 8, 16):
        reduced = [quantise(frame, step) for frame in frames]
        colours = {p for frame in reduced for row in frame for p in row if not (len(p) == 4 and p[3] == 0)}
        if len(colours) < 255:
            return reduced
    raise ValueError("too many colours")


def render(width, height, shade, background):
    """shade(x, y) gives the colour of a sub-pixel point, or None outside the shape."""
    rows = []
    for py in range(height):
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
            row.append((0, 0, 0, 0) if inside * 4 < count else tuple(round(c / count) for c in total))
        rows.append(row)
    return rows


def stamp(rows, coverage, left, top, colour):
    """Blends text coverage into an image in colour."""
    for y, line in enumerate(coverage):
        for x, amount in enumerate(line):
            if amount <= 0 or not (0 <= top + y < len(rows) and 0 <= left + x < len(rows[0])):
                continue
            pixel = rows[top + y][left + x]
            if len(pixel) == 4 and pixel[3] == 0:
                continue
            rows[top + y][left + x] = mix(pixel[:3], colour, min(1.0, amount))


def text_width(coverage):
    columns = [x for line in coverage for x, amount in enumerate(line) if amount > 0]
    return (min(columns), max(columns) + 1) if columns else (0, 0)


def rounded_inside(x, y, width, height, corner):
    """Distance inside a rounded rectangle's edge (negative outside)."""
    cx = min(max(x, corner), width - corner)
    cy = min(max(y, corner), height - corner)
    if cx != x and cy != y:
        return corner - math.hypot(x - cx, y - cy)
    return min(x, width - x, y, height - y)


def dist_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def inside_polygon(x, y, points):
    inside = False
    for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
        if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
            inside = not inside
    return inside


# Action buttons: face gradient (top, bottom), rim, glyph and caption colour, pressed offset.
ACTION_STATES = {
    "": dict(face=("#5F8FD2", "#2A5595"), rim="#1D3F73", glyph="#FFFFFF", shift=0),
    "_ov": dict(face=("#86AEE6", "#3E6CB0"), rim="#1D3F73", glyph="#FFFFFF", shift=0),
    "_dn": dict(face=("#244B86", "#3C67A8"), rim="#132C52", glyph="#E6EEF9", shift=1),
    "_dis": dict(face=("#C9CFD8", "#A9B1BD"), rim="#8A93A0", glyph="#EEF0F3", shift=0),
}
# Stop is the one button that interrupts work: it is orange.
STOP_STATES = {
    "": dict(face=("#F5A454", "#D2650A"), rim="#8A4306", glyph="#FFFFFF", shift=0),
    "_ov": dict(face=("#F9BE7E", "#E07A1E"), rim="#8A4306", glyph="#FFFFFF", shift=0),
    "_dn": dict(face=("#B85806", "#D87218"), rim="#6A3304", glyph="#FBE6D2", shift=1),
    "_dis": ACTION_STATES["_dis"],
}


def action_glyph(kind, x, y):
    """Whether a point of an 88 x 82 button's icon area is ink."""
    if kind == "analyze":
        ring = math.hypot(x - 40, y - 27)
        return 8.5 <= ring <= 12.5 or dist_to_segment(x, y, 48.5, 35.5, 56, 43) <= 2.8
    if kind == "stop":
        return 33 <= x <= 55 and 16 <= y <= 38
    if kind == "sweep":
        if dist_to_segment(x, y, 58, 10, 46, 28) <= 1.8:
            return True
        bristles = [(40, 26), (52, 33), (46, 45), (28, 38)]
        if inside_polygon(x, y, bristles):
            # Gaps between the bristles.
            return (x * 0.5 + y * 0.85) % 4.0 > 1.2 or y < 33
        return False
    if kind == "complete":
        return dist_to_segment(x, y, 31, 28, 40, 37) <= 3 or dist_to_segment(x, y, 40, 37, 58, 17) <= 3
    raise ValueError(kind)


def action_button(font, kind, caption, state):
    width, height, corner = 88, 82, 9.0
    face_top, face_bottom = (hex_rgb(c) for c in state["face"])
    rim, glyph = hex_rgb(state["rim"]), hex_rgb(state["glyph"])
    shift = state["shift"]

    def shade(x, y):
        inner = rounded_inside(x, y, width, height, corner)
        if inner < 0:
            return None
        if inner < 1.2:
            return rim
        if inner < 2.4:
            # A highlight inside the rim, fading out towards the bottom.
            return mix(gradient(y, height, face_top, face_bottom), (255, 255, 255), 0.35 * max(0.0, 1 - y / height * 1.6))
        if action_glyph(kind, x - shift, y - shift):
            return glyph
        return gradient(y, height, face_top, face_bottom)

    rows = render(width, height, shade, BAND)
    coverage, _ = text_coverage(font, caption, 15)
    left, right = text_width(coverage)
    stamp(rows, coverage, (width - (right - left)) // 2 - left + shift, 52 + shift, glyph)
    return rows


def gradient(y, height, top, bottom):
    return mix(top, bottom, max(0.0, min(1.0, y / height)))


SELECT_STATES = {
    "": dict(face=("#FFFFFF", "#DCE7F5"), rim="#7F9CC6", ink="#1D3F73", box="#2A5595", shift=0),
    "_ov": dict(face=("#FFFFFF", "#EAF1FA"), rim="#2A5595", ink="#E8730C", box="#E8730C", shift=0),
    "_dn": dict(face=("#C8D8EE", "#EDF3FB"), rim="#1D3F73", ink="#1D3F73", box="#1D3F73", shift=1),
    "_dis": dict(face=("#F0F0F0", "#DADADA"), rim="#A8A8A8", ink="#A0A0A0", box="#B0B0B0", shift=0),
}


def select_all_button(font, state):
    width, height, corner = 86, 24, 4.0
    face_top, face_bottom = (hex_rgb(c) for c in state["face"])
    rim, box = hex_rgb(state["rim"]), hex_rgb(state["box"])
    shift = state["shift"]

    def shade(x, y):
        inner = rounded_inside(x, y, width, height, corner)
        if inner < 0:
            return None
        if inner < 1.0:
            return rim
        gx, gy = x - shift, y - shift
        # A ticked check box.
        if 7 <= gx <= 19 and 6 <= gy <= 18:
            if gx < 8.2 or gx > 17.8 or gy < 7.2 or gy > 16.8:
                return box
            if dist_to_segment(gx, gy, 9.5, 12, 12.3, 14.8) <= 1.3 or dist_to_segment(gx, gy, 12.3, 14.8, 16.8, 9.3) <= 1.3:
                return box
            return (255, 255, 255)
        return gradient(y, height, face_top, face_bottom)

    rows = render(width, height, shade, BAND)
    coverage, ascent = text_coverage(font, "전체 선택", 12)
    left, right = text_width(coverage)
    stamp(rows, coverage, 25 - left + shift + (width - 29 - (right - left)) // 2, 12 - ascent + 4 + shift,
          hex_rgb(state["ink"]))
    return rows


def busy_frames():
    """A 32 x 32 spinner of twelve spokes, the bright one going round."""
    size, spokes = 32, 12
    frames = []
    for frame in range(spokes):
        def shade(x, y, frame=frame):
            dx, dy = x - 16, y - 16
            radius = math.hypot(dx, dy)
            if not 6.5 <= radius <= 14.5:
                return None
            angle = (math.degrees(math.atan2(dx, -dy)) + 360) % 360
            spoke = round(angle / (360 / spokes)) % spokes
            centre = math.radians(spoke * 360 / spokes)
            sx, sy = math.sin(centre), -math.cos(centre)
            if abs(dx * sy - dy * sx) > 1.6:
                return None
            age = (frame - spoke) % spokes
            return mix(INK, BAND, min(1.0, age / (spokes * 0.75)))
        frames.append(render(size, size, shade, BAND))
    return frames


BAR_WIDTH, BAR_HEIGHT = 300, 6


def moving_bar_frames():
    """A track with a bright block running from left to right."""
    frames, count, block = [], 20, 60
    for frame in range(count):
        head = (frame * (BAR_WIDTH + block)) // count
        rows = []
        for y in range(BAR_HEIGHT):
            row = []
            for x in range(BAR_WIDTH):
                distance = head - x
                if 0 <= distance < block:
                    # Brightest at the head, fading towards the tail.
                    row.append(mix(ACCENT, RULE, distance / block))
                else:
                    row.append(RULE)
            rows.append(row)
        frames.append(rows)
    return frames


def progress_fill():
    """The overall bar's fill, tiled horizontally: a blue tube lit from above."""
    top, bottom = hex_rgb("#8DB4E8"), hex_rgb("#2A5595")
    return [[mix(top, bottom, y / 13)] for y in range(14)]


def main():
    os.makedirs(OUT, exist_ok=True)
    font = Font(FONT)
    buttons = (("analyze", "분석", ACTION_STATES), ("stop", "중지", STOP_STATES), ("sweep", "정리", ACTION_STATES),
               ("complete", "완료", ACTION_STATES))
    for kind, caption, states in buttons:
        for suffix, state in states.items():
            image = gif_ready([action_button(font, kind, caption, state)])[0]
            write_gif(os.path.join(OUT, "btn_%s%s.gif" % (kind, suffix)), image)
    for suffix, state in SELECT_STATES.items():
        write_gif(os.path.join(OUT, "btn_selectall%s.gif" % suffix), gif_ready([select_all_button(font, state)])[0])
    write_gif(os.path.join(OUT, "busy.gif"), gif_ready(busy_frames()), [80] * 12)
    write_gif(os.path.join(OUT, "moving_bar.gif"), gif_ready(moving_bar_frames()), [50] * 20)
    write_gif(os.path.join(OUT, "progress_fill.gif"), progress_fill())


if __name__ == "__main__":
    main()
