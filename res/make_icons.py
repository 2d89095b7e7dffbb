#!/usr/bin/env python3
"""Draws the launcher's icons and writes them as .ico files beside this script.

ring.ico    (101) the ring: 32x32 and 16x16, 16 colours
confirm.ico (102) a tick:  16x16, 256 colours
cancel.ico  (103) a cross: 32x32, 16 colours

Each glyph is a function of the pixel centre, sampled 4x4 per pixel; a pixel
is opaque when most of its samples are covered. The .ico files are committed;
run this again only to change the pictures.
"""
import math
import os
import struct

# The classic 16-colour palette, as (red, green, blue).
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def palette256():
    """The 16 classic colours, a 6x6x6 colour cube and a grey ramp."""
    colours = list(PALETTE16)
    for r in range(6):
        for g in range(6):
            for b in range(6):
                colours.append((r * 51, g * 51, b * 51))
    while len(colours) < 256:
        level = (len(colours) - 232) * 10 + 8
        colours.append((level, level, level))
    return colours


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], colour)))


def render(size, glyph):
    """Samples glyph(x, y) in units of the icon's width (0..1, y down) and
    returns rows of colours or None for transparent pixels."""
    rows = []
    samples = 4
    for py in range(size):
        row = []
        for px in range(size):
            hits = {}
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size
                    y = (py + (sy + 0.5) / samples) / size
                    colour = glyph(x, y)
                    if colour is not None:
                        hits[colour] = hits.get(colour, 0) + 1
            covered = sum(hits.values())
            if covered * 2 >= samples * samples:
                row.append(max(hits, key=hits.get))
            else:
                row.append(None)
        rows.append(row)
    return rows


def ring_glyph(size):
    """Two rings of sectors around a light centre, as the launcher looks."""
    inner_gap = 5.0 if size >= 32 else 0.0
    outer_gap = 3.75 if size >= 32 else 0.0

    def glyph(x, y):
        dx, dy = x - 0.5, 0.5 - y
        r = math.hypot(dx, dy)
        angle = math.degrees(math.atan2(dy, dx)) % 360.0
        if r <= 0.13:
            return (0, 255, 255)
        if 0.16 <= r <= 0.31:
            if (angle % 45.0) < inner_gap:
                return None
            return (0, 0, 255)
        if 0.34 <= r <= 0.49:
            if (angle % 22.5) < outer_gap:
                return None
            return (0, 128, 128) if int(angle // 22.5) % 2 else (0, 0, 128)
        return None
    return glyph


def distance_to_segment(x, y, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
    return math.hypot(x - (ax + t * vx), y - (ay + t * vy))


def tick_glyph(x, y):
    stroke = 0.11
    d = min(distance_to_segment(x, y, 0.12, 0.52, 0.40, 0.80),
            distance_to_segment(x, y, 0.40, 0.80, 0.88, 0.20))
    if d <= stroke:
        return (0, 153, 0) if d > stroke * 0.45 else (51, 204, 51)
    return None


def cross_glyph(x, y):
    stroke = 0.09
    d = min(distance_to_segment(x, y, 0.18, 0.18, 0.82, 0.82),
            distance_to_segment(x, y, 0.82, 0.18, 0.18, 0.82))
    if d <= stroke:
        return (128, 0, 0) if d > stroke * 0.6 else (255, 0, 0)
    return None


def dib(rows, palette, bits):
    """The image as an icon stores it: header, palette, colour bits and the
    transparency mask, both bottom-up with rows padded to 4 bytes."""
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0,
                         len(palette), 0)
    colour_table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    xor_stride = ((size * bits + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor_bits = b''
    and_bits = b''
    for row in reversed(rows):
        indices = [nearest(palette, c) if c is not None else 0 for c in row]
        if bits == 4:
            packed = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        else:
            packed = bytes(indices)
        xor_bits += packed.ljust(xor_stride, b'\0')
        mask = 0
        for c in row:
            mask = (mask << 1) | (1 if c is None else 0)
        and_bits += mask.to_bytes((size + 7) // 8, 'big').ljust(and_stride, b'\0')
    return header + colour_table + xor_bits + and_bits


def write_ico(path, images):
    """images: (size, bits, rows, palette) per image."""
    count = len(images)
    directory = struct.pack('<HHH', 0, 1, count)
    data = b''
    offset = 6 + 16 * count
    entries = b''
    for size, bits, rows, palette in images:
        image = dib(rows, palette, bits)
        colours = 16 if bits == 4 else 0
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, colours, 0, 1, bits,
                               len(image), offset + len(data))
        data += image
    with open(path, 'wb') as out:
        out.write(directory + entries + data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_ico(os.path.join(here, 'ring.ico'), [
        (32, 4, render(32, ring_glyph(32)), PALETTE16),
        (16, 4, render(16, ring_glyph(16)), PALETTE16),
    ])
    write_ico(os.path.join(here, 'confirm.ico'), [
        (16, 8, render(16, tick_glyph), palette256()),
    ])
    write_ico(os.path.join(here, 'cancel.ico'), [
        (32, 4, render(32, cross_glyph), PALETTE16),
    ])


if __name__ == '__main__':
    main()
