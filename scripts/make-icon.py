#!/usr/bin/env python3
"""Draws the plug-in's 32x32, 16-colour icon (two version bars facing off) into res/Vostrel.ico."""
import struct
import sys

# Standard VGA palette order; indexes used below.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, GREY, RED, YELLOW, BLUE, WHITE = 0, 4, 8, 9, 11, 12, 15


def draw():
    size = 32
    px = [[None] * size for _ in range(size)]  # None: transparent
    # Rounded navy tile.
    for y in range(1, 31):
        for x in range(1, 31):
            corner = min(x - 1, 30 - x) + min(y - 1, 30 - y)
            if corner >= 2:
                px[y][x] = NAVY
    # Left bar (the sender, red) shorter than the right bar (the user, blue): "He" vs "You".
    for y in range(12, 27):
        for x in range(6, 12):
            px[y][x] = RED
    for y in range(6, 27):
        for x in range(20, 26):
            px[y][x] = BLUE
    for x in range(5, 27):
        px[27][x] = WHITE
    # A yellow bolt between them.
    bolt = [(15, 8), (14, 9), (13, 10), (14, 11), (15, 12), (16, 12), (17, 13), (16, 14),
            (15, 15), (16, 16), (17, 17), (16, 18), (15, 19)]
    for x, y in bolt:
        px[y][x] = YELLOW
        px[y][x + 1] = YELLOW
    return px


def encode(px):
    size = len(px)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(px):  # bottom-up
        for x in range(0, size, 2):
            hi, lo = row[x] or 0, row[x + 1] or 0
            xor.append(hi << 4 | lo)
        bits = 0
        for x in range(size):
            bits = bits << 1 | (1 if row[x] is None else 0)
        mask += struct.pack('>I', bits)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == '__main__':
    out = sys.argv[1] if len(sys.argv) > 1 else 'res/Vostrel.ico'
    with open(out, 'wb') as f:
        f.write(encode(draw()))
