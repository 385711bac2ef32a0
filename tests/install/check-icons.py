#!/usr/bin/env python3
"""Checks the committed program icon: the .ico holds exactly the 16, 32, 48, 64 and 72 pixel
images at 32 bits per pixel, and each hicolor PNG is an RGBA image of its size listed in the
Qt resource file. Re-drawing the icon with another ImageMagick can silently fall back to
palette images or drop a size; this catches that.

Usage: check-icons.py ICON_DIR
"""
import struct
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

SIZES = [16, 32, 48, 64, 72]
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_header(data):
    """(width, height, bit depth, colour type) from a PNG's IHDR chunk."""
    if data[:8] != PNG_SIGNATURE or data[12:16] != b"IHDR":
        raise ValueError("not a PNG")
    return struct.unpack(">IIBB", data[16:26])


def ico_images(data):
    """(width, height, bits per pixel) of each image, read from the image data itself."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError("not an icon file")
    images = []
    for i in range(count):
        _, _, _, _, _, _, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        image = data[offset:offset + size]
        if len(image) != size:
            raise ValueError(f"image {i} runs past the end of the file")
        if image[:8] == PNG_SIGNATURE:
            width, height, depth, colour = png_header(image)
            images.append((width, height, depth * 4 if colour == 6 else None))
        else:
            _, width, height, _, bits = struct.unpack_from("<IiiHH", image, 0)
            images.append((width, height // 2, bits))  # a BMP entry counts its AND mask in the height
    return images


def main(icon_dir):
    errors = []
    ico = ico_images((icon_dir / "quorlims.ico").read_bytes())
    expected = [(size, size, 32) for size in SIZES]
    if sorted(ico) != expected:
        errors.append(f"quorlims.ico holds {ico}, expected {expected}")

    qrc = ET.parse(icon_dir / "icons.qrc").getroot()
    listed = {f.text for r in qrc.iter("qresource") if r.get("prefix") == "/icons" for f in r.iter("file")}
    for size in SIZES:
        name = f"quorlims-{size}.png"
        if name not in listed:
            errors.append(f"icons.qrc does not list {name} under /icons")
        width, height, depth, colour = png_header((icon_dir / name).read_bytes())
        if (width, height, depth, colour) != (size, size, 8, 6):
            errors.append(f"{name} is {width}x{height}, depth {depth}, colour type {colour}; expected 8-bit RGBA")

    for error in errors:
        print(f"FAIL: {error}")
    if not errors:
        print(f"{len(SIZES)} sizes, 32 bits per pixel: PASS")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(Path(sys.argv[1])))
