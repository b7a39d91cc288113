#!/usr/bin/env python3
"""Writes the tool bar strip of the frame tests (our own): three 16 x 15
images, red, green and blue squares on the mask grey RGB(192, 192, 192)."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def write_png(path, width, height, pixels, alpha, text=None):
    """pixels: rows of (r, g, b[, a]) tuples."""
    raw = b""
    for row in pixels:
        raw += b"\0" + b"".join(bytes(p) for p in row)
    colour_type = 6 if alpha else 2
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
    if text:
        for key, value in text.items():
            data += chunk(b"tEXt", key.encode() + b"\0" + value.encode())
    data += chunk(b"IDAT", zlib.compress(raw))
    data += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


GREY = (192, 192, 192)
COLOURS = [(255, 0, 0), (0, 255, 0), (0, 0, 255)]

rows = []
for y in range(15):
    row = []
    for colour in COLOURS:
        for x in range(16):
            inside = 4 <= x < 12 and 4 <= y < 11
            row.append(colour if inside else GREY)
    rows.append(row)
write_png(os.path.join(HERE, "res", "bitmap", "7700.png"), 48, 15, rows, False)
