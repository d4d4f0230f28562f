#!/usr/bin/env python3
"""Writes app/res/app.ico: a blue downward arrow over a tray, 16x16 and 32x32,
32-bit with alpha. Run from anywhere; the output path may be given as argument."""
import os
import struct
import sys

BLUE = (0x1E, 0x63, 0xC8)  # R, G, B
DARK = (0x12, 0x3C, 0x7A)
SAMPLES = 4  # per axis, for smooth edges


def inside_arrow(x, y):
    """Unit square, y down: shaft, head pointing down."""
    if 0.38 <= x <= 0.62 and 0.08 <= y <= 0.50:
        return True
    if 0.45 <= y <= 0.80:
        half = 0.40 * (0.80 - y) / 0.35  # head narrows to a point at y = 0.80
        return abs(x - 0.5) <= half
    return False


def inside_tray(x, y):
    return 0.12 <= x <= 0.88 and 0.86 <= y <= 0.95


def image(size):
    """Rows top-down of (b, g, r, a)."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            arrow = tray = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    arrow += inside_arrow(x, y)
                    tray += inside_tray(x, y)
            n = SAMPLES * SAMPLES
            cover = min(n, arrow + tray)
            colour = BLUE if arrow >= tray else DARK
            a = round(255 * cover / n)
            r, g, b = colour if a else (0, 0, 0)
            row.append((b, g, r, a))
        rows.append(row)
    return rows


def dib(size):
    rows = image(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes(c for px in row for c in px) for row in reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def ico(sizes):
    images = [dib(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "app", "res", "app.ico")
    with open(path, "wb") as f:
        f.write(ico([16, 32]))


if __name__ == "__main__":
    main()
