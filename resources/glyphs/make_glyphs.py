#!/usr/bin/env python3
"""Writes the dialog buttons' glyph strips: 32x16, 8 bits per pixel, enabled image on the left,
disabled twin on the right. The lower-left pixel carries the transparent colour."""
import struct
from pathlib import Path

TRANSPARENT = (236, 233, 216)


def check_pixels():
    # A thick tick: short stroke down to the right, long stroke up to the right.
    pts = set()
    for i in range(4):
        for t in range(3):
            pts.add((3 + i, 7 + i + t))
    for i in range(7):
        for t in range(3):
            pts.add((7 + i, 9 - i + t))
    return pts


def cross_pixels():
    pts = set()
    for i in range(10):
        for t in (0, 1):
            pts.add((3 + i + t, 3 + i))
            pts.add((12 - i + t, 3 + i))
    return pts


def strip(shape, dark, light):
    """Rows top to bottom of palette indices; index 0 is the transparent colour."""
    grid = [[0] * 32 for _ in range(16)]
    for (x, y) in shape:
        grid[y][x] = 1
        # Disabled twin: grey shape with a white emboss one pixel down-right.
        if (x + 1, y + 1) not in shape and x + 17 < 32 and y + 1 < 16:
            grid[y + 1][x + 17] = 4
    for (x, y) in shape:
        grid[y][x + 16] = 3
    # A lighter edge on the upper side of each stroke gives the enabled glyph some depth.
    for (x, y) in shape:
        if (x, y - 1) not in shape:
            grid[y][x] = 2
    return grid, [TRANSPARENT, dark, light, (128, 128, 128), (255, 255, 255)]


def write_bmp(path, grid, palette):
    width, height = 32, 16
    colours = palette + [(0, 0, 0)] * (256 - len(palette))
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)
    rows = b"".join(bytes(grid[y]) for y in reversed(range(height)))  # bottom-up
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 3780, 3780, 256, 0)
    Path(path).write_bytes(header + info + pal + rows)


here = Path(__file__).resolve().parent
write_bmp(here / "ok.bmp", *strip(check_pixels(), (0, 128, 0), (64, 192, 64)))
write_bmp(here / "cancel.bmp", *strip(cross_pixels(), (192, 0, 0), (240, 80, 80)))
