#!/usr/bin/env python3
# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

"""Draw the Vantorel Scorekeeper application icon.

The picture is a plain application window: a dark frame, a blue title bar
with three small buttons and a white client area holding a few grey text
lines.  It is drawn on the pixel grid of every target size so that small
sizes stay crisp, and supersampled where corners are rounded.

Writes, next to this script:
  hicolor/<N>x<N>/apps/vantorel.png  for N in 16 22 24 32 48 64 128 256
  vantorel.ico  with exactly three images:
                32x32 2 colours (1 bpp), 32x32 16 colours (4 bpp),
                16x16 16 colours (4 bpp), stored as BMP data.

vantorel.svg is maintained by hand and follows the 256 px geometry.

Only the Python 3 standard library is used:
    python3 packaging/icons/make_icons.py
The outputs are committed, so building the program never needs Python.
"""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
PNG_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

# Logical colours of the drawing.
CLEAR, FRAME, TITLE, BUTTON, CLOSE, BODY, LINE = range(7)

# Per size: left/right margin, top, bottom, frame width, title bar height
# (inside the frame), corner radius, button size, gap between buttons,
# padding right of the last button.  All in pixels, so edges fall on the grid.
GEOMETRY = {
    16: (0, 1, 15, 1, 4, 0, 2, 1, 1),
    22: (1, 2, 20, 1, 5, 0, 3, 1, 1),
    24: (1, 2, 22, 1, 5, 0, 3, 1, 1),
    32: (1, 3, 29, 1, 7, 0, 3, 2, 2),
    48: (2, 5, 43, 2, 9, 3, 5, 2, 2),
    64: (2, 6, 58, 2, 12, 4, 6, 3, 3),
    128: (4, 12, 116, 4, 24, 8, 12, 6, 6),
    256: (8, 24, 232, 8, 48, 16, 24, 12, 12),
}

# Text lines in the client area: (start, end) as fractions of the client
# width, drawn one per "line slot".
TEXT_LINES = ((0.0, 0.80), (0.0, 0.92), (0.0, 0.55))

RGBA = {
    CLEAR: (0, 0, 0, 0),
    FRAME: (0x1d, 0x27, 0x3f, 255),
    TITLE: (0x2d, 0x5f, 0xb5, 255),
    BUTTON: (0xe8, 0xee, 0xf8, 255),
    CLOSE: (0xe0, 0x4f, 0x45, 255),
    BODY: (0xff, 0xff, 0xff, 255),
    LINE: (0x9a, 0xa4, 0xb4, 255),
}
TITLE_TOP = (0x3e, 0x78, 0xd0)   # title bar gradient on large sizes

# The standard 16-colour palette used by the 4 bpp icon images.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
TO_VGA16 = {CLEAR: 0, FRAME: 0, TITLE: 4, BUTTON: 15, CLOSE: 9,
            BODY: 15, LINE: 8}
# Two colours: black frame and title bar, white buttons and client area.
MONO = [(0, 0, 0), (255, 255, 255)]
TO_MONO = {CLEAR: 0, FRAME: 0, TITLE: 0, BUTTON: 1, CLOSE: 1,
           BODY: 1, LINE: 0}


def rounded_rect(x0, y0, x1, y1, r):
    """Point test for the half-open rectangle [x0,x1)x[y0,y1) with round corners."""
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        if r <= 0:
            return True
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def rect(x0, y0, x1, y1):
    return rounded_rect(x0, y0, x1, y1, 0)


def layers_for(size):
    """Shapes in painting order: (colour, point test)."""
    m, top, bottom, w, th, r, b, gap, pad = GEOMETRY[size]
    x0, x1 = m, size - m
    ri = max(r - w, 0)
    inner = rounded_rect(x0 + w, top + w, x1 - w, bottom - w, ri)
    title_bottom = top + w + th
    layers = [
        (FRAME, rounded_rect(x0, top, x1, bottom, r)),
        (BODY, inner),
        (TITLE, lambda x, y: y < title_bottom and inner(x, y)),
    ]
    # Three buttons on the right of the title bar; the last one closes.
    by = top + w + (th - b) // 2
    bx = x1 - w - pad - b
    for colour in (CLOSE, BUTTON, BUTTON):
        layers.append((colour, rect(bx, by, bx + b, by + b)))
        bx -= b + gap
    # A separator under the title bar on sizes with a thick frame.
    if w > 1:
        sep = max(w // 2, 1)
        layers.append((FRAME, lambda x, y, s=sep: title_bottom <= y < title_bottom + s
                       and inner(x, y)))
    # Text lines in the client area.
    cx0 = x0 + w + max(2, round(size * 0.09))
    cx1 = x1 - w - max(2, round(size * 0.09))
    cy0 = title_bottom + max(2, round(size * 0.09))
    lt = max(1, round(size / 24))
    step = max(2, round(size * 0.13))
    if size == 16:
        cx0, cx1, cy0, lt, step = 3, 13, 7, 1, 2
    for k, (f0, f1) in enumerate(TEXT_LINES):
        ly = cy0 + k * step
        if ly + lt > bottom - w - 1:
            break
        lx0 = cx0 + round((cx1 - cx0) * f0)
        lx1 = cx0 + round((cx1 - cx0) * f1)
        layers.append((LINE, rect(lx0, ly, lx1, ly + lt)))
    return layers


def logical_image(size):
    """One logical colour per pixel, sampled at pixel centres."""
    layers = layers_for(size)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            px = CLEAR
            for colour, inside in layers:
                if inside(x + 0.5, y + 0.5):
                    px = colour
            row.append(px)
        rows.append(row)
    return rows


def rgba_image(size):
    """Antialiased RGBA pixels (premultiplied compositing, 4x4 samples)."""
    layers = layers_for(size)
    m, top, bottom, w, th, r, b, gap, pad = GEOMETRY[size]
    smooth = r > 0
    n = 4 if smooth else 1
    offsets = [(i + 0.5) / n for i in range(n)]
    title_top, title_bottom = top + w, top + w + th
    out = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for oy in offsets:
                for ox in offsets:
                    sx, sy = x + ox, y + oy
                    colour = CLEAR
                    for c, inside in layers:
                        if inside(sx, sy):
                            colour = c
                    red, green, blue, alpha = RGBA[colour]
                    if colour == TITLE and smooth:
                        t = (sy - title_top) / th
                        red = round(TITLE_TOP[0] + (red - TITLE_TOP[0]) * t)
                        green = round(TITLE_TOP[1] + (green - TITLE_TOP[1]) * t)
                        blue = round(TITLE_TOP[2] + (blue - TITLE_TOP[2]) * t)
                    a = alpha / 255.0
                    acc[0] += red * a
                    acc[1] += green * a
                    acc[2] += blue * a
                    acc[3] += a
            count = n * n
            a = acc[3] / count
            if a <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(min(255, round(v / acc[3])) for v in acc[:3])
                           + (round(a * 255),))
        out.append(row)
    return out


def write_png(path, pixels):
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    data = (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def pack_rows(rows, bpp):
    """Pack index rows bottom-up, each padded to a multiple of 4 bytes."""
    out = bytearray()
    per_byte = 8 // bpp
    for row in reversed(rows):
        line = bytearray()
        for i in range(0, len(row), per_byte):
            byte = 0
            for j, v in enumerate(row[i:i + per_byte]):
                byte |= v << (8 - bpp * (j + 1))
            line.append(byte)
        while len(line) % 4:
            line.append(0)
        out += line
    return bytes(out)


def ico_image(size, bpp):
    """One BMP-in-ICO image: header, palette, XOR bitmap, AND mask."""
    logical = logical_image(size)
    palette, mapping = (MONO, TO_MONO) if bpp == 1 else (VGA16, TO_VGA16)
    xor_rows = [[mapping[c] for c in row] for row in logical]
    and_rows = [[1 if c == CLEAR else 0 for c in row] for row in logical]
    xor = pack_rows(xor_rows, bpp)
    mask = pack_rows(and_rows, 1)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, len(palette), 0)
    pal = b"".join(struct.pack("<BBBB", bl, g, rd, 0) for rd, g, bl in palette)
    return header + pal + xor + mask


def write_ico(path, images):
    """images: list of (size, bpp)."""
    blobs = [ico_image(size, bpp) for size, bpp in images]
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for (size, bpp), blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 1 << bpp, 0,
                           1, bpp, len(blob), offset)
        offset += len(blob)
    out += b"".join(blobs)
    with open(path, "wb") as f:
        f.write(out)


def main():
    for size in PNG_SIZES:
        write_png(os.path.join(HERE, "hicolor", "%dx%d" % (size, size), "apps",
                               "vantorel.png"), rgba_image(size))
    write_ico(os.path.join(HERE, "vantorel.ico"), [(32, 1), (32, 4), (16, 4)])


if __name__ == "__main__":
    main()
