#!/usr/bin/env python3
"""Draws the program icon (16, 24, 32, 48 and 64 px, 32-bit with alpha) as an .ico.

Each image is stored PNG-compressed, which Windows reads in icons since Vista:
the flat tile compresses to a few hundred bytes where a bitmap takes up to
17 KB, and the icon is the largest resource of Tarvex.exe.

The committed src/resources/tarvex.ico was made with this script; run it again
after changing the drawing: tools/make_icon.py src/resources/tarvex.ico
"""
import struct
import sys

from make_badge import png


def pixel(x, y, size):
    """A rounded teal tile with a white 'T' and an amber base line, as RGBA."""
    s = size / 16.0
    r = 3 * s
    if (x < r or x >= size - r) and (y < r or y >= size - r):
        cx = r if x < r else size - r
        cy = r if y < r else size - r
        if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 > r * r:
            return (0, 0, 0, 0)
    bar_top, bar_bottom = 3 * s, 5.5 * s
    stem_left, stem_right = 6.5 * s, 9.5 * s
    if bar_top <= y < bar_bottom and 3 * s <= x < 13 * s:
        return (255, 255, 255, 255)
    if bar_bottom <= y < 11.5 * s and stem_left <= x < stem_right:
        return (255, 255, 255, 255)
    if 12.5 * s <= y < 13.5 * s and 3 * s <= x < 13 * s:
        return (255, 190, 40, 255)  # amber
    return (20, 110, 120, 255)  # teal


def main(path):
    sizes = (16, 24, 32, 48, 64)
    images = [png(s, s, lambda x, y, s=s: pixel(x, y, s)) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1])
