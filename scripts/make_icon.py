#!/usr/bin/env python3
"""Draws the clock icon, an analogue clock face: dark rim, white dial, black
hour marks, hour and minute hands at ten past ten, red second hand at half
past.  Writes one .ico with 32-bit alpha images from 16 to 256 px; each size
is drawn for itself so the small ones stay crisp rather than shrunk blurry.

Usage: make_icon.py OUT.ico"""
import math
import struct
import sys
import zlib

SS = 8  # samples per pixel side, taken only where an edge crosses the pixel
DARK, WHITE, RED = (28, 28, 28), (255, 255, 255), (214, 0, 0)

# In pixels: margin, rim, gap rim-to-marks, quarter and other mark lengths
# (0 = quarter marks only), quarter and other mark widths, hour, minute and
# second hand widths, red hub radius.  Lines that run along the pixel grid
# get whole widths so their edges land on pixel boundaries.
SIZES = {16: (0, 1, 0, 2, 0, 2, 0, 2, 1.6, 1, 0),
         20: (0, 1, 0, 3, 0, 2, 0, 2.2, 1.8, 1, 0),
         24: (0, 2, 1, 3, 0, 2, 0, 2.4, 2, 1, 0),
         32: (0, 2, 1, 4, 2, 2, 2, 2.8, 2.2, 1, 0),
         40: (1, 2, 1, 5, 2, 2, 2, 3.2, 2.5, 1, 2),
         48: (1, 3, 1, 6, 2, 2, 2, 3.6, 2.8, 1, 2.5),
         64: (1, 3, 2, 8, 5, 4, 3, 4.6, 3.6, 2, 3),
         256: (4, 10, 6, 28, 15, 10, 8, 17, 12, 4, 10)}


def disc(c, r, colour):
    return (lambda x, y: math.hypot(x - c, y - c) - r), (c - r, c - r, c + r, c + r), colour


def bar(cx, cy, degrees, start, end, width, colour):
    """A straight line at a clock angle (0 = twelve) from radius start to end."""
    a = math.radians(degrees)
    dx, dy = math.sin(a), -math.cos(a)
    # An odd whole width on a pixel-corner centre would straddle two pixels;
    # move the line half a pixel sideways so it fills one column exactly.
    shift = 0.5 if degrees % 90 == 0 and width % 2 == 1 else 0.0
    ox, oy = cx - shift * dy, cy + shift * dx
    h = width / 2

    def sdf(x, y):
        u, v = (x - ox) * dx + (y - oy) * dy, abs((y - oy) * dx - (x - ox) * dy)
        qu, qv = max(start - u, u - end), v - h
        return math.hypot(max(qu, 0), max(qv, 0)) + min(max(qu, qv), 0)
    xs = [ox + u * dx + s * h * dy for u in (start, end) for s in (-1, 1)]
    ys = [oy + u * dy - s * h * dx for u in (start, end) for s in (-1, 1)]
    return sdf, (min(xs), min(ys), max(xs), max(ys)), colour


def shapes(size):
    margin, rim, gap, qlen, mlen, qw, mw, hour_w, min_w, sec_w, hub = SIZES[size]
    c, outer = size / 2, size / 2 - margin
    r = outer - rim
    band = rim / 2 if size > 64 else 0  # soft shadow inside the rim

    def dial(x, y):
        t = max(0.0, math.hypot(x - c, y - c) - (r - band)) / band if band else 0
        return tuple(v - 40 * t * t for v in WHITE)
    out = [disc(c, outer, DARK), disc(c, r, dial)]
    for hour in range(0, 12, 1 if mlen else 3):
        length, width = (mlen, mw) if hour % 3 else (qlen, qw)
        if hour % 3 and length <= width:
            # A mark this small reads as a dot: an upright square put on whole
            # pixels stays sharp where a tilted one would smear.
            a, mid = math.radians(hour * 30), r - gap - length / 2
            mx, my = round(c + mid * math.sin(a)), round(c - mid * math.cos(a))
            out.append(bar(mx, my + width / 2, 0, 0, width, width, DARK))
        else:
            out.append(bar(c, c, hour * 30, r - gap - length, r - gap, width, DARK))
    out.append(bar(c, c, 300, -hour_w / 2, r * 0.55, hour_w, DARK))
    out.append(bar(c, c, 60, -min_w / 2, r * 0.72, min_w, DARK))
    out.append(bar(c, c, 180, -hub, round(r * 0.8), sec_w, RED))
    return out + ([disc(c, hub, RED)] if hub else [])


def render(size):
    """Straight-alpha RGBA rows; coverage is counted only on edge pixels."""
    px = [[0.0] * 4 for _ in range(size * size)]  # premultiplied while drawing
    offs = [(i + 0.5) / SS - 0.5 for i in range(SS)]
    for sdf, (x0, y0, x1, y1), colour in shapes(size):
        for y in range(max(0, int(y0) - 1), min(size, int(y1) + 2)):
            for x in range(max(0, int(x0) - 1), min(size, int(x1) + 2)):
                cx, cy = x + 0.5, y + 0.5
                d = sdf(cx, cy)
                # The distance is exact and no point of the pixel is more than
                # 0.71 from its centre, so only nearer pixels need sampling.
                if d >= 0.71:
                    continue
                a = 1.0 if d <= -0.71 else sum(
                    sdf(cx + i, cy + j) < 0 for i in offs for j in offs) / SS ** 2
                if a:
                    rgb = colour(cx, cy) if callable(colour) else colour
                    p = px[y * size + x]
                    p[:] = [v * a + q * (1 - a) for v, q in zip(rgb + (1,), p)]
    rgba = bytearray()
    for *rgb, a in px:
        rgba += bytes([min(255, round(v / a)) for v in rgb] + [round(a * 255)]) if a else bytes(4)
    return [rgba[i:i + 4 * size] for i in range(0, len(rgba), 4 * size)]


def bmp(size, rows):
    stride = (size + 31) // 32 * 4
    colour, mask = bytearray(), bytearray(stride * size)
    for y, row in enumerate(reversed(rows)):  # bitmaps are stored bottom-up
        bgra = bytearray(row)
        bgra[0::4], bgra[2::4] = row[2::4], row[0::4]
        colour += bgra
        for x, alpha in enumerate(row[3::4]):
            if alpha == 0:  # whatever ignores alpha still needs the mask
                mask[y * stride + x // 8] |= 0x80 >> (x % 8)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))
    # Each byte as the difference from the pixel to its left (PNG's filter 1):
    # the dial's long runs of one colour become runs of zeros.
    raw = b''.join(b'\1' + bytes((v - (row[i - 4] if i >= 4 else 0)) & 255 for i, v in enumerate(row))
                   for row in rows)
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header)
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main(path):
    # Windows keeps its largest icon as PNG; the rest stay plain bitmaps.
    images = [(s, (png if s == 256 else bmp)(s, render(s))) for s in sorted(SIZES)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(data for _, data in images))


if __name__ == '__main__':
    main(sys.argv[1])
