#!/usr/bin/env python3
"""Draws the program icon (app/res/korvanta.ico) at 16, 24, 32 and 48 pixels.

The picture: a blue rounded tile, a round socket on the left (what comes in) and an orange
arrow to the right (what goes out). Each size is drawn from the same shapes with 4 x 4
samples per pixel, so the small sizes stay clean. Run it again after changing a shape:
    python3 scripts/make_icon.py
"""
import os
import struct

SIZES = (16, 24, 32, 48)
SAMPLES = 4


def rounded_rect(x, y, l, t, r, b, radius):
    if x < l or x > r or y < t or y > b:
        return False
    cx = min(max(x, l + radius), r - radius)
    cy = min(max(y, t + radius), b - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def circle(x, y, cx, cy, radius):
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def arrow(x, y):
    # A shaft from 0.50 to 0.70 and a head from 0.66 to 0.90, in units of the tile.
    if 0.50 <= x <= 0.70 and abs(y - 0.5) <= 0.07:
        return True
    return 0.64 <= x <= 0.90 and abs(y - 0.5) <= (0.90 - x) * 0.95


def colour_at(x, y):
    """x, y in 0..1; returns (r, g, b, a) or None for transparent."""
    if not rounded_rect(x, y, 0.03, 0.03, 0.97, 0.97, 0.20):
        return None
    if rounded_rect(x, y, 0.03, 0.03, 0.97, 0.97, 0.20) and not rounded_rect(
            x, y, 0.09, 0.09, 0.91, 0.91, 0.15):
        return (20, 50, 110, 255)  # edge
    if arrow(x, y):
        return (255, 160, 30, 255)
    if circle(x, y, 0.30, 0.50, 0.20):
        if circle(x, y, 0.30, 0.50, 0.13):
            for dx, dy in ((-0.06, -0.02), (0.06, -0.02), (0.0, 0.06)):
                if circle(x, y, 0.30 + dx, 0.50 + dy, 0.035):
                    return (30, 60, 130, 255)
            return (250, 250, 250, 255)
        return (210, 220, 235, 255)
    shade = int(150 + 60 * (1 - y))
    return (40, 90, shade, 255)


def render(size):
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((px + (sx + 0.5) / SAMPLES) / size,
                                  (py + (sy + 0.5) / SAMPLES) / size)
                    if c:
                        for i in range(3):
                            acc[i] += c[i] * c[3]
                        acc[3] += c[3]
            n = SAMPLES * SAMPLES
            a = acc[3] / n
            if acc[3]:
                rgb = [int(round(acc[i] / acc[3])) for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], int(round(a))))
        rows.append(row)
    return rows


def bmp_entry(size, rows):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    images = [bmp_entry(s, render(s)) for s in SIZES]
    out = bytearray(struct.pack('<HHH', 0, 1, len(SIZES)))
    offset = 6 + 16 * len(SIZES)
    for s, data in zip(SIZES, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    path = os.path.join(root, 'app', 'res', 'korvanta.ico')
    with open(path, 'wb') as f:
        f.write(out)
    print('wrote', path)


if __name__ == '__main__':
    main()
