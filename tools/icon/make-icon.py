#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws Nortavi's program icon: a night-sky disc with a crescent moon, two
stars and a cloud drifting in front.

Writes, into ui/icons/ (or the folder given as the only argument):
  nortavi.ico           the Windows icon group: 32x32 in 2 colours, 32x32 in
                        16 colours, 16x16 in 16 colours
  nortavi-<size>.png    full-colour images for the window icon on Linux

Python's standard library only, so that the icon can be redrawn anywhere.
"""

import math
import os
import struct
import sys
import zlib

# The scene, in a unit square with y growing downwards.
SKY = ((0.5, 0.5), 0.48)
MOON = ((0.69, 0.28), 0.17)
MOON_BITE = ((0.61, 0.21), 0.145)
STARS = [((0.25, 0.31), 0.045), ((0.40, 0.16), 0.03)]
CLOUD_PUFFS = [((0.33, 0.66), 0.13), ((0.50, 0.57), 0.175), ((0.69, 0.67), 0.12)]
CLOUD_BASE = (0.19, 0.65, 0.82, 0.81)  # left, top, right, bottom; round ends
CLOUD_SHADE_FROM = 0.74  # the cloud's underside is a shade darker
CLOUD_GAP = 0.045  # a strip of sky keeps the moon apart from the cloud

NONE, SKY_PART, STAR, MOON_PART, CLOUD, CLOUD_SHADE = range(6)


def inside(point, disc):
    (cx, cy), r = disc
    return (point[0] - cx) ** 2 + (point[1] - cy) ** 2 <= r * r


def in_cloud(x, y, grow=0.0):
    if any(inside((x, y), (centre, r + grow)) for centre, r in CLOUD_PUFFS):
        return True
    left, top, right, bottom = CLOUD_BASE
    radius = (bottom - top) / 2
    if left + radius <= x <= right - radius and top - grow <= y <= bottom + grow:
        return True
    middle = (top + bottom) / 2
    return inside((x, y), ((left + radius, middle), radius + grow)) or inside(
        (x, y), ((right - radius, middle), radius + grow))


def part_at(x, y):
    if in_cloud(x, y):
        return CLOUD_SHADE if y >= CLOUD_SHADE_FROM else CLOUD
    if not inside((x, y), SKY):
        return NONE
    if inside((x, y), MOON) and not inside((x, y), MOON_BITE) and not in_cloud(x, y, CLOUD_GAP):
        return MOON_PART
    if any(inside((x, y), star) for star in STARS):
        return STAR
    return SKY_PART


def samples(size, px, py, n):
    for sy in range(n):
        for sx in range(n):
            yield part_at((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size), \
                (py + (sy + 0.5) / n) / size


# Full colour, antialiased.
def rgb_of(part, y):
    if part == SKY_PART:
        t = min(max(y, 0.0), 1.0)
        return (int(12 + 20 * t), int(24 + 50 * t), int(70 + 80 * t))
    return {
        STAR: (255, 250, 210),
        MOON_PART: (255, 220, 90),
        CLOUD: (250, 250, 252),
        CLOUD_SHADE: (200, 206, 218),
    }[part]


def render_rgba(size, n=8):
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = covered = 0
            for part, y in samples(size, px, py, n):
                if part != NONE:
                    cr, cg, cb = rgb_of(part, y)
                    r, g, b, covered = r + cr, g + cg, b + cb, covered + 1
            if covered:
                row.append((r // covered, g // covered, b // covered, 255 * covered // (n * n)))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def png_bytes(pixels):
    size = len(pixels)
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# Palette images: each pixel takes the part most of its samples hit, drawn
# in that part's palette colour, so edges stay crisp at 16 pixels.
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
PART_VGA16 = {SKY_PART: 4, STAR: 15, MOON_PART: 11, CLOUD: 15, CLOUD_SHADE: 7}
MONO = [(0, 0, 0), (255, 255, 255)]
PART_MONO = {SKY_PART: 0, STAR: 1, MOON_PART: 1, CLOUD: 1, CLOUD_SHADE: 1}


def render_indexed(size, part_colours, n=4):
    """Rows of palette indices; None where the icon is transparent."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            counts = {}
            for part, _ in samples(size, px, py, n):
                counts[part] = counts.get(part, 0) + 1
            part = max(sorted(counts), key=lambda p: counts[p])
            row.append(None if part == NONE else part_colours[part])
        rows.append(row)
    return rows


def pack_bits(values, bits):
    """One bottom-up bitmap row, padded to whole 32-bit words."""
    out = bytearray()
    acc = filled = 0
    for v in values:
        acc = (acc << bits) | v
        filled += bits
        if filled == 8:
            out.append(acc)
            acc = filled = 0
    if filled:
        out.append(acc << (8 - filled))
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def ico_image(rows, palette, bits):
    size = len(rows)
    xor = b"".join(pack_bits([0 if v is None else v for v in row], bits) for row in reversed(rows))
    mask = b"".join(pack_bits([1 if v is None else 0 for v in row], 1) for row in reversed(rows))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(xor) + len(mask),
                         0, 0, len(palette), 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + xor + mask


def ico_bytes(images):
    """images: (size, palette, bits, data) in directory order."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, palette, bits, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, len(palette) % 256, 0, 1,
                               bits, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for *_, data in images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "ui", "icons")
    os.makedirs(out, exist_ok=True)

    images = [
        (32, MONO, 1, ico_image(render_indexed(32, PART_MONO), MONO, 1)),
        (32, VGA16, 4, ico_image(render_indexed(32, PART_VGA16), VGA16, 4)),
        (16, VGA16, 4, ico_image(render_indexed(16, PART_VGA16), VGA16, 4)),
    ]
    with open(os.path.join(out, "nortavi.ico"), "wb") as f:
        f.write(ico_bytes(images))
    for size in (16, 32, 48, 64, 128, 256):
        with open(os.path.join(out, "nortavi-%d.png" % size), "wb") as f:
            f.write(png_bytes(render_rgba(size)))


if __name__ == "__main__":
    main()
