#!/usr/bin/env python3
"""Draws Zurelo's 32x32, 256-colour icon (a green note on a dark disc) as an .ico file."""
import struct
import sys

W = H = 32
# Palette: 0 transparent/black, 1 dark grey disc, 2 green note, 3 light rim; the rest black.
palette = [(0, 0, 0), (48, 48, 48), (0, 255, 0), (160, 160, 160)] + [(0, 0, 0)] * 252


def pixel(x, y):
    cx, cy = x - 15.5, y - 15.5
    r2 = cx * cx + cy * cy
    if r2 > 15.5 ** 2:
        return None  # outside the disc: transparent
    # note: a head (ellipse) at lower left and a stem with a flag
    hx, hy = x - 12, y - 22
    if (hx * hx) / 20.0 + (hy * hy) / 9.0 <= 1.0:
        return 2
    if 15 <= x <= 16 and 7 <= y <= 22:
        return 2
    if 17 <= x <= 21 and 7 <= y <= 11 and (x - 17) <= (y - 6):
        return 2
    if r2 > 14.0 ** 2:
        return 3
    return 1


rows = []
mask_rows = []
for y in range(H - 1, -1, -1):  # bottom-up
    row = bytearray()
    mask_bits = 0
    mask = bytearray()
    for x in range(W):
        p = pixel(x, y)
        row.append(0 if p is None else p)
        mask_bits = (mask_bits << 1) | (1 if p is None else 0)
        if x % 8 == 7:
            mask.append(mask_bits)
            mask_bits = 0
    rows.append(bytes(row))
    mask_rows.append(bytes(mask))  # 4 bytes a row: already 32-bit aligned

bmp_header = struct.pack('<IiiHHIIiiII', 40, W, H * 2, 1, 8, 0, W * H + 4 * H, 0, 0, 256, 0)
pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in palette)
image = bmp_header + pal + b''.join(rows) + b''.join(mask_rows)
ico = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', W, H, 0, 0, 1, 8, len(image), 22) + image
with open(sys.argv[1], 'wb') as f:
    f.write(ico)
