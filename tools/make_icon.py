#!/usr/bin/env python3
"""Draws the program's icon (resources/windows/calcora.svg, a blue tile with a white estimate
sheet whose last row is the total) into resources/windows/calcora.ico: 16, 24, 32 and 48 px as
32-bit bitmaps, 256 px as PNG. Pure Python, so the icon can be redrawn on any machine:
    python3 tools/make_icon.py
"""
import struct
import sys
import zlib
from pathlib import Path

BLUE = (0x25, 0x63, 0xEB)
LINE = (0xA8, 0xC2, 0xF7)
WHITE = (0xFF, 0xFF, 0xFF)
# (x, y, width, height, corner radius, colour) on a 64-unit square, drawn in order.
SHAPES = [
    (0, 0, 64, 64, 14, BLUE),
    (15, 10, 34, 44, 4, WHITE),
    (20, 18, 24, 4, 1, LINE),
    (20, 26, 24, 4, 1, LINE),
    (20, 34, 24, 4, 1, LINE),
    (20, 43, 24, 5, 1, BLUE),
]


def inside(px, py, shape):
    x, y, w, h, r, _ = shape
    if px < x or py < y or px > x + w or py > y + h:
        return False
    cx = min(max(px, x + r), x + w - r)
    cy = min(max(py, y + r), y + h - r)
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def render(size, samples=4):
    """Rows of (r, g, b, a), top row first; each pixel averages samples × samples points."""
    rows = []
    step = 64.0 / size / samples
    for j in range(size):
        row = []
        for i in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sj in range(samples):
                for si in range(samples):
                    px = (i * samples + si + 0.5) * step
                    py = (j * samples + sj + 0.5) * step
                    colour = None
                    for shape in SHAPES:
                        if inside(px, py, shape):
                            colour = shape[5]
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = samples * samples
            a = acc[3] / n
            if acc[3]:
                row.append(tuple(round(c / acc[3]) for c in acc[:3]) + (round(a * 255),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def dib(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_row * size)  # the alpha channel decides; the mask shows everything
    return header + pixels + mask


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "resources/windows/calcora.ico")
    images = [(s, dib(render(s))) for s in (16, 24, 32, 48)] + [(256, png(render(256, 2)))]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset + len(body))
        body += data
    out.write_bytes(directory + body)


if __name__ == "__main__":
    main()
