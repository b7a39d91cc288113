#!/usr/bin/env python3
"""Writes the tiny test pictures of the picture-resource and frame tests (our own)."""
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


# Bitmap 101: 4 x 2, four colours on the top row, grey below.
top = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (192, 192, 192)]
write_png(os.path.join(HERE, "res/bitmap/101.png"), 4, 2, [top, [(128, 128, 128)] * 4], False)
# Named bitmap "STRIP": 2 x 1.
write_png(os.path.join(HERE, "res/bitmap/STRIP.png"), 2, 1, [[(10, 20, 30), (40, 50, 60)]], False)
# Icon 201: 8 x 8, opaque red square inside a transparent border.
icon = [[(255, 0, 0, 255) if 2 <= x < 6 and 2 <= y < 6 else (0, 0, 0, 0) for x in range(8)] for y in range(8)]
write_png(os.path.join(HERE, "res/icon/201.png"), 8, 8, icon, True)
# Cursor 301: 16 x 16 with its hot spot at (3, 5).
cursor = [[(0, 0, 0, 255) if x == 3 or y == 5 else (0, 0, 0, 0) for x in range(16)] for y in range(16)]
write_png(os.path.join(HERE, "res/cursor/301.png"), 16, 16, cursor, True, {"HotSpot": "3,5"})
# Bitmap 7700, the frame tests' tool bar strip: three 16 x 15 images, red,
# green and blue squares on the mask grey RGB(192, 192, 192).
strip = [[colour if 4 <= x < 12 and 4 <= y < 11 else (192, 192, 192)
          for colour in [(255, 0, 0), (0, 255, 0), (0, 0, 255)] for x in range(16)] for y in range(15)]
write_png(os.path.join(HERE, "res/bitmap/7700.png"), 48, 15, strip, False)
