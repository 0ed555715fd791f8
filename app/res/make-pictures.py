#!/usr/bin/env python3
"""Draws the setup's pictures: the bitmaps LOGO (120 x 260) and LOGOSMALL (34 x 34), 256 colours,
and the application icon (32 x 32 and 16 x 16, 256 colours). Run it to regenerate the files in
this folder; the build uses the committed results."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
NAVY = (0, 0, 128)
WHITE = (255, 255, 255)
PAPER_EDGE = (150, 160, 190)
FOLD = (205, 212, 232)
INK = (70, 80, 120)
ACCENT = (230, 160, 30)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def gradient(w, h, top, bottom, steps=48):
    rows = []
    for y in range(h):
        t = round(y / max(1, h - 1) * (steps - 1)) / (steps - 1)
        rows.append([mix(top, bottom, t)] * w)
    return [list(r) for r in rows]


def rect(img, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(len(img), y1)):
        for x in range(max(0, x0), min(len(img[0]), x1)):
            img[y][x] = colour


def sheet(img, x, y, w, h, fold, lines, line_gap, line_h=1):
    """A sheet of paper with a folded top-right corner and lines of text."""
    for yy in range(h):
        for xx in range(w):
            if xx >= w - fold and yy < fold - (w - 1 - xx):
                continue  # cut corner
            edge = xx == 0 or yy == h - 1 or xx == w - 1 or yy == 0 or (
                xx >= w - fold and yy == fold - (w - 1 - xx))
            img[y + yy][x + xx] = PAPER_EDGE if edge else WHITE
    for yy in range(fold):
        for xx in range(w - fold, w):
            if yy >= fold - (w - 1 - xx) and yy < fold and xx - (w - fold) <= yy:
                img[y + yy][x + xx] = FOLD
    margin = max(2, w // 8)
    top = y + fold + line_gap
    for i in range(lines):
        ly = top + i * line_gap
        if ly + line_h >= y + h - 2:
            break
        length = w - 2 * margin - (w // 4 if i % 4 == 3 else 0)
        rect(img, x + margin, ly, x + margin + length, ly + line_h, INK)


def pen(img, x, y, length, width):
    """A slanted pen nib drawing towards the lower left."""
    for i in range(length):
        for j in range(width):
            px, py = x - i + j, y + i
            if 0 <= py < len(img) and 0 <= px < len(img[0]):
                img[py][px] = ACCENT if i < length - width else INK


def palette_of(img):
    colours = sorted({c for row in img for c in row})
    assert len(colours) <= 256, len(colours)
    return colours


def bmp8(img):
    h, w = len(img), len(img[0])
    pal = palette_of(img)
    index = {c: i for i, c in enumerate(pal)}
    stride = (w + 3) & ~3
    pixels = b''.join(bytes(index[c] for c in row) + b'\0' * (stride - w) for row in reversed(img))
    pal_bytes = b''.join(bytes((c[2], c[1], c[0], 0)) for c in pal) + b'\0' * 4 * (256 - len(pal))
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    return info, pal_bytes, pixels


def write_bmp(name, img):
    info, pal, pixels = bmp8(img)
    offset = 14 + len(info) + len(pal)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset))
        f.write(info + pal + pixels)


def icon_entry(img, mask):
    h, w = len(img), len(img[0])
    _, pal, pixels = bmp8(img)
    info = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 8, 0, 0, 0, 0, 256, 0)
    mstride = ((w + 31) // 32) * 4
    and_bits = b''
    for row in reversed(mask):
        bits = bytearray(mstride)
        for x, transparent in enumerate(row):
            if transparent:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_bits += bytes(bits)
    return info + pal + pixels + and_bits


def icon_image(size):
    img = [[(0, 0, 0)] * size for _ in range(size)]
    mask = [[True] * size for _ in range(size)]
    w = size * 3 // 4
    h = size - 2
    x0 = (size - w) // 2 - size // 16
    fold = max(3, size // 5)
    sheet(img, x0, 1, w, h, fold, lines=8, line_gap=max(2, size // 8))
    pen(img, size - 3, size // 3, size // 2, max(2, size // 10))
    for y in range(size):
        for x in range(size):
            if img[y][x] != (0, 0, 0):
                mask[y][x] = False
    return img, mask


def write_icon(name, sizes):
    entries = [icon_entry(*icon_image(s)) for s in sizes]
    header = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    dirs = b''
    for s, data in zip(sizes, entries):
        dirs += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(header + dirs + b''.join(entries))


def logo():
    img = gradient(120, 260, (24, 40, 120), (90, 140, 215))
    sheet(img, 22, 56, 70, 92, 16, lines=12, line_gap=6, line_h=2)
    sheet(img, 34, 70, 70, 92, 16, lines=12, line_gap=6, line_h=2)
    pen(img, 112, 120, 52, 6)
    # A thin light band near the foot of the column.
    rect(img, 0, 214, 120, 216, mix((90, 140, 215), WHITE, 0.5))
    return img


def logo_small():
    img = gradient(34, 34, (24, 40, 120), (90, 140, 215), steps=16)
    sheet(img, 7, 4, 18, 26, 6, lines=6, line_gap=3)
    pen(img, 31, 12, 15, 3)
    return img


if __name__ == '__main__':
    write_bmp('logo.bmp', logo())
    write_bmp('logosmall.bmp', logo_small())
    write_icon('setup.ico', [32, 16])
