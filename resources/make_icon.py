#!/usr/bin/env python3
"""Draws the launcher's icon, vorthal.ico: an amber "V" on a dark shield-blue disc.

The icon is drawn from geometry rather than kept only as a binary, so it can be changed
by editing this script and running it again: python3 resources/make_icon.py
"""
import math
import pathlib
import struct

BACKGROUND = (0x1B, 0x24, 0x3A)
RIM = (0x3C, 0x5A, 0x8C)
EMBLEM = (0xF2, 0xA5, 0x2B)


def coverage(size, inside, samples=4):
    """Anti-aliased coverage of a shape, given as a test on points in the unit square."""
    grid = []
    for y in range(size):
        row = []
        for x in range(size):
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    u = (x + (sx + 0.5) / samples) / size
                    v = (y + (sy + 0.5) / samples) / size
                    hits += inside(u, v)
            row.append(hits / (samples * samples))
        grid.append(row)
    return grid


def in_disc(u, v):
    return math.hypot(u - 0.5, v - 0.5) <= 0.48


def in_core(u, v):
    return math.hypot(u - 0.5, v - 0.5) <= 0.43


def distance_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def in_v(u, v):
    stroke = 0.075
    return (distance_to_segment(u, v, 0.27, 0.27, 0.5, 0.75) <= stroke
            or distance_to_segment(u, v, 0.73, 0.27, 0.5, 0.75) <= stroke)


def blend(under, over, alpha):
    return tuple(round(a + (b - a) * alpha) for a, b in zip(under, over))


def image(size):
    disc, core, emblem = (coverage(size, f) for f in (in_disc, in_core, in_v))
    pixels = []
    for y in range(size):
        for x in range(size):
            colour = blend(RIM, BACKGROUND, core[y][x])
            colour = blend(colour, EMBLEM, emblem[y][x])
            pixels.append(colour + (round(255 * disc[y][x]),))
    return pixels


def dib(size):
    """One icon image: a 32-bit BITMAPINFOHEADER bitmap, bottom-up, with its AND mask."""
    pixels = image(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = [pixels[y * size:(y + 1) * size] for y in range(size)]
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colour + bytes(mask)


def ico(sizes):
    images = [dib(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    target = pathlib.Path(__file__).with_name("vorthal.ico")
    target.write_bytes(ico([16, 32, 48]))
    print(f"wrote {target}")
