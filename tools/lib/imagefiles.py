"""Writers for the small images the suite draws at build-preparation time (no imaging library needed).

A picture is a list of rows, each a list of pixels; a pixel is (r, g, b) or (r, g, b, a) with
components 0..255. Alpha 0 means transparent where the format has transparency.
"""
import struct
import zlib


def _size(pixels):
    height = len(pixels)
    width = len(pixels[0]) if height else 0
    if not width or any(len(row) != width for row in pixels):
        raise ValueError("a picture needs rows of one non-zero width")
    return width, height


def _rgba(pixel):
    return tuple(pixel) if len(pixel) == 4 else (pixel[0], pixel[1], pixel[2], 255)


def write_bmp(path, pixels):
    """A bottom-up 24-bit BMP; alpha is ignored."""
    width, height = _size(pixels)
    stride = (width * 3 + 3) & ~3
    rows = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for pixel in row:
            line += bytes((pixel[2], pixel[1], pixel[0]))
        rows += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    with open(path, "wb") as out:
        out.write(struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset) + info + rows)


def _png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def write_png(path, pixels):
    """An 8-bit RGBA PNG."""
    width, height = _size(pixels)
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for pixel in row:
            raw += bytes(_rgba(pixel))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", header)
                  + _png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + _png_chunk(b"IEND", b""))


def _lzw(indices, min_code_size):
    """GIF's variable-width LZW, with a clear code whenever the table fills."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, bits, nbits = bytearray(), 0, 0
    width = min_code_size + 1

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    emit(clear)
    prefix = ()
    for index in indices:
        candidate = prefix + (index,)
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix])
        if next_code < 4096:
            table[candidate] = next_code
            if next_code == (1 << width) and width < 12:
                width += 1
            next_code += 1
        else:
            emit(clear)
            table = {(i,): i for i in range(clear)}
            next_code = end + 1
            width = min_code_size + 1
        prefix = (index,)
    if prefix:
        emit(table[prefix])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def write_gif(path, frames, delays_ms=None):
    """A GIF of one or more frames of one size (animated, looping forever, when more than one).

    Colours of all frames share one palette of at most 255 colours; a pixel with alpha 0 is
    transparent. delays_ms gives each frame's delay (10 ms steps)."""
    if isinstance(frames[0][0][0], int):
        frames = [frames]
    width, height = _size(frames[0])
    palette, lookup = [], {}
    transparent = any(_rgba(p)[3] == 0 for frame in frames for row in frame for p in row)
    if transparent:
        palette.append((0, 0, 0))
    for frame in frames:
        if _size(frame) != (width, height):
            raise ValueError("every frame needs the size of the first")
        for row in frame:
            for pixel in row:
                r, g, b, a = _rgba(pixel)
                if a and (r, g, b) not in lookup:
                    lookup[(r, g, b)] = len(palette)
                    palette.append((r, g, b))
    if len(palette) > 256:
        raise ValueError("a GIF holds at most 256 colours")
    depth = max(1, (len(palette) - 1).bit_length())
    palette += [(0, 0, 0)] * ((1 << depth) - len(palette))

    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width, height, 0x80 | 0x70 | (depth - 1), 0, 0)
    data += b"".join(bytes(c) for c in palette)
    if len(frames) > 1:
        data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for number, frame in enumerate(frames):
        delay = (delays_ms[number] if delays_ms else 100) // 10
        flags = (2 << 2) | (1 if transparent else 0)
        data += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, flags, delay, 0, 0)
        data += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
        indices = [0 if _rgba(p)[3] == 0 else lookup[_rgba(p)[:3]] for row in frame for p in row]
        min_code_size = max(2, depth)
        compressed = _lzw(indices, min_code_size)
        data.append(min_code_size)
        for start in range(0, len(compressed), 255):
            block = compressed[start:start + 255]
            data.append(len(block))
            data += block
        data.append(0)
    data.append(0x3B)
    with open(path, "wb") as out:
        out.write(bytes(data))
