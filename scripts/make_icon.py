#!/usr/bin/env python3
"""Draws the clock icon (an analogue clock face) as a Windows .ico file with a
32x32 and a 16x16 image, 16 colours each, plus a transparency mask."""
import math
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
           (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
           (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
           (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, RED, WHITE = 0, 9, 15
TRANSPARENT = None


def near_segment(px, py, ax, ay, bx, by, width):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
    return math.hypot(px - (ax + t * vx), py - (ay + t * vy)) <= width


def ray(c, degrees, length):
    """End point of a hand at the given clock angle (0 = twelve o'clock)."""
    a = math.radians(degrees)
    return c + length * math.sin(a), c - length * math.cos(a)


def pixel(size, x, y):
    c = size / 2.0
    px, py = x + 0.5, y + 0.5
    radius = c - 0.5
    r = math.hypot(px - c, py - c)
    if r > radius:
        return TRANSPARENT
    if r > radius - (1.0 if size <= 16 else 2.2):
        return BLACK
    line = 0.55 if size <= 16 else 0.75
    second_end = ray(c, 180, radius * 0.8)  # second hand at "30"
    if near_segment(px, py, c, c, *second_end, line * (1.0 if size <= 16 else 0.7)):
        return RED
    hands = [(300, radius * 0.5, line * 1.3),   # hour hand near ten
             (60, radius * 0.75, line)]         # minute hand at ten past
    for degrees, length, width in hands:
        if near_segment(px, py, c, c, *ray(c, degrees, length), width):
            return BLACK
    for hour in range(0, 12, 3 if size <= 16 else 1):
        inner = radius * (0.62 if hour % 3 == 0 else 0.72)
        if near_segment(px, py, *ray(c, hour * 30, inner), *ray(c, hour * 30, radius * 0.82), line):
            return BLACK
    return WHITE


def image(size):
    rows = [[pixel(size, x, y) for x in range(size)] for y in range(size)]
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor, mask = bytearray(), bytearray()
    for row in reversed(rows):  # bitmaps are stored bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, colour in enumerate(row):
            index = 0 if colour is TRANSPARENT else colour
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if colour is TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def main(path):
    images = [(32, image(32)), (16, image(16))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1])
