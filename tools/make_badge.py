#!/usr/bin/env python3
"""Draws the coffee button's picture: a 31 x 31 RGBA PNG of a payment badge.

A light-grey card, drawn tilted, with blue lettering and a darker rim, on a
transparent background, anti-aliased by 4 x 4 supersampling. The committed
src/resources/coffee_badge.png was made with this script; run it again after
changing the drawing: tools/make_badge.py src/resources/coffee_badge.png
"""
import math
import struct
import sys
import zlib

SIZE = 31
SAMPLES = 4
TILT = math.radians(-10)
CENTRE = (15.5, 16.5)
HALF_WIDTH, HALF_HEIGHT, CORNER = 12.5, 8.5, 2.5

CARD = (222, 224, 228)
RIM = (150, 154, 160)
BLUE = (24, 72, 200)

# Lettering in card coordinates (x, y from the card's centre): three blocky
# letters and an underline.
LETTERS = [
    (-9.0, -4.5, -7.0, 3.0), (-7.0, -4.5, -4.0, -2.5), (-7.0, -0.5, -4.0, 1.5),
    (-5.5, -2.5, -3.5, -0.5),
    (-2.0, -4.5, 0.0, 3.0), (0.0, -4.5, 2.5, -2.5), (2.5, -4.5, 4.5, 3.0), (0.0, -0.5, 2.5, 1.5),
    (6.0, -4.5, 8.0, -0.5), (9.5, -4.5, 11.5, -0.5), (7.0, -0.5, 10.5, 3.0),
    (-9.0, 4.5, 11.5, 5.5),
]


def inside_card(x, y):
    """Distance test for a rounded rectangle; returns 'rim', 'face' or None."""
    dx = max(abs(x) - (HALF_WIDTH - CORNER), 0.0)
    dy = max(abs(y) - (HALF_HEIGHT - CORNER), 0.0)
    distance = math.hypot(dx, dy)
    if distance > CORNER:
        return None
    return "rim" if distance > CORNER - 1.0 else "face"


def sample(px, py):
    cx, cy = px - CENTRE[0], py - CENTRE[1]
    x = cx * math.cos(-TILT) - cy * math.sin(-TILT)
    y = cx * math.sin(-TILT) + cy * math.cos(-TILT)
    where = inside_card(x, y)
    if where is None:
        return None
    if where == "rim":
        return RIM
    for left, top, right, bottom in LETTERS:
        if left <= x < right and top <= y < bottom:
            return BLUE
    return CARD


def pixel(col, row):
    covered = []
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            colour = sample(col + (sx + 0.5) / SAMPLES, row + (sy + 0.5) / SAMPLES)
            if colour:
                covered.append(colour)
    if not covered:
        return (0, 0, 0, 0)
    alpha = round(255 * len(covered) / SAMPLES**2)
    rgb = tuple(round(sum(c[i] for c in covered) / len(covered)) for i in range(3))
    return rgb + (alpha,)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png(width, height, rgba):
    """An RGBA PNG of the given pixels, rows top-down; also used by make_icon.py."""
    rows = b"".join(
        b"\0" + b"".join(bytes(rgba(col, row)) for col in range(width)) for row in range(height))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def main(path):
    with open(path, "wb") as f:
        f.write(png(SIZE, SIZE, pixel))


if __name__ == "__main__":
    main(sys.argv[1])
