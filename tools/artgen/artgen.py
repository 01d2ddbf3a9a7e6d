#!/usr/bin/env python3
"""Draws the suite's own artwork as plain Windows image files (no image libraries).

  artgen.py OUTDIR
writes doiticon.ico (32x32 and 16x16, 16 colours), aboutbox.bmp (400x300, 8 bits per
pixel) and the banners (ordinary 8-bit DIBs: the 21-pixel Default Logo, a ribbon
narrower than the strip and a skyline taller than any menu) into OUTDIR.
"""
import os
import struct
import sys

# The 16 standard VGA colours, in the order Windows uses for 4-bit images.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, TEAL, SILVER, GREY, YELLOW, BLUE, CYAN, WHITE = 0, 4, 6, 7, 8, 11, 12, 14, 15

# A 5x7 font for the few words the artwork spells.
FONT = {
    'A': "01110100011000111111100011000110001", 'B': "11110100011000111110100011000111110",
    'C': "01110100011000010000100001000101110", 'D': "11110100011000110001100011000111110",
    'E': "11111100001000011110100001000011111", 'H': "10001100011000111111100011000110001",
    'I': "01110001000010000100001000010001110", 'K': "10001100101010011000101001001010001",
    'L': "10000100001000010000100001000011111", 'M': "10001110111010110101100011000110001",
    'N': "10001110011010110011100011000110001", 'O': "01110100011000110001100011000101110",
    'P': "11110100011000111110100001000010000", 'Q': "01110100011000110001101011001001101",
    'R': "11110100011000111110101001001010001", 'S': "01111100001000001110000010000111110",
    'T': "11111001000010000100001000010000100", 'U': "10001100011000110001100011000101110",
    'V': "10001100011000110001100010101000100", 'W': "10001100011000110101101011010101010",
    'X': "10001100010101000100010101000110001",
    'Y': "10001100010101000100001000010000100", '1': "00100011000010000100001000010001110",
    '0': "01110100011001110101110011000101110", '.': "00000000000000000000000000110001100",
    ' ': "0" * 35,
}


class Canvas:
    def __init__(self, w, h, fill=0):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[y][x] = c

    def text(self, s, x, y, c, scale=1):
        for ch in s.upper():
            glyph = FONT.get(ch, FONT[' '])
            for gy in range(7):
                for gx in range(5):
                    if glyph[gy * 5 + gx] == '1':
                        self.rect(x + gx * scale, y + gy * scale, x + (gx + 1) * scale, y + (gy + 1) * scale, c)
            x += 6 * scale

    def star(self, cx, cy, r, c):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                dx, dy = abs(x - cx), abs(y - cy)
                if dx * dy * 4 <= r * r // 2 and dx + dy <= r:
                    self.set(x, y, c)


def rows_bottom_up(canvas):
    return reversed(canvas.px)


def pack_4bpp(row):
    out = bytearray()
    for i in range(0, len(row), 2):
        hi = row[i]
        lo = row[i + 1] if i + 1 < len(row) else 0
        out.append((hi << 4) | lo)
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def pack_mask(row_transparent):
    out = bytearray()
    for i in range(0, len(row_transparent), 8):
        b = 0
        for j, t in enumerate(row_transparent[i:i + 8]):
            if t:
                b |= 0x80 >> j
        out.append(b)
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def icon_image(size):
    """The loader's icon: a little desktop monitor with a sparkle on its screen."""
    T = -1
    c = Canvas(size, size, T)
    s = size / 32.0
    def R(v):
        return int(round(v * s))
    c.rect(R(2), R(3), R(30), R(23), BLACK)        # monitor case outline
    c.rect(R(3), R(4), R(29), R(22), SILVER)
    c.rect(R(5), R(6), R(27), R(20), NAVY)         # screen
    c.rect(R(6), R(7), R(26), R(19), BLUE)
    c.star(R(16), R(13), max(2, R(6)), YELLOW)
    c.set(R(16), R(13), WHITE)
    c.rect(R(13), R(23), R(19), R(26), GREY)       # stand
    c.rect(R(8), R(26), R(24), R(29), BLACK)
    c.rect(R(9), R(26), R(23), R(28), SILVER)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in VGA)
    xor = b''.join(pack_4bpp([0 if p == T else p for p in row]) for row in rows_bottom_up(c))
    mask = b''.join(pack_mask([p == T for p in row]) for row in rows_bottom_up(c))
    return header + palette + xor + mask


def write_ico(path, sizes):
    images = [icon_image(s) for s in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 16, 0, 1, 4, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    with open(path, 'wb') as f:
        f.write(out)


def write_bmp8(path, canvas, palette):
    pal = bytearray()
    for i in range(256):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        pal += struct.pack('BBBB', b, g, r, 0)
    stride = (canvas.w + 3) & ~3
    bits = bytearray()
    for row in rows_bottom_up(canvas):
        bits += bytes(row) + b'\0' * (stride - canvas.w)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(pal)
    head = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(head + info + pal + bits)


def gradient_palette(top, bottom, n=192):
    pal = []
    for i in range(n):
        t = i / (n - 1)
        pal.append(tuple(int(a + (b - a) * t) for a, b in zip(top, bottom)))
    return pal


def about_box(path):
    pal = gradient_palette((10, 20, 90), (40, 140, 200))
    pal += [(255, 255, 255), (255, 220, 40), (0, 0, 0), (200, 220, 255)]
    WHITE8, GOLD8, BLACK8, PALE8 = 192, 193, 194, 195
    c = Canvas(400, 300)
    for y in range(300):
        c.rect(0, y, 400, y + 1, y * 191 // 299)
    for (x, y, r) in [(330, 60, 14), (360, 110, 7), (300, 120, 5), (60, 225, 9), (175, 266, 4)]:
        c.star(x, y, r, GOLD8)
    c.text("QUORVEL", 40, 70, BLACK8, 5)
    c.text("QUORVEL", 37, 67, WHITE8, 5)
    c.text("DESKTOP ENHANCEMENTS", 40, 130, PALE8, 2)
    c.text("VERSION 1.0", 40, 160, GOLD8, 2)
    c.text("BRANTIX", 40, 260, WHITE8, 2)
    write_bmp8(path, c, pal)


def text_up(canvas, s, x, bottom, c, scale=1):
    """Writes s reading upwards from bottom, the tops of the letters to the left, as
    Start-menu banners are lettered."""
    y = bottom
    for ch in s.upper():
        glyph = FONT.get(ch, FONT[' '])
        for gy in range(7):
            for gx in range(5):
                if glyph[gy * 5 + gx] == '1':
                    px, py = x + gy * scale, y - (gx + 1) * scale
                    canvas.rect(px, py, px + scale, py + scale, c)
        y -= 6 * scale


def banner(path, w, h, top, bottom, word, accent):
    """A Start-menu strip: a gradient, lettered upwards from the bottom, with a few
    sparkles above the lettering."""
    pal = gradient_palette(top, bottom) + [(255, 255, 255), accent, (0, 0, 40)]
    WHITE8, ACCENT8, SHADOW8 = 192, 193, 194
    c = Canvas(w, h)
    for y in range(h):
        c.rect(0, y, w, y + 1, y * 191 // max(1, h - 1))
    words = word.split()
    x = (w - 14) // 2
    y = h - 6
    for i, part in enumerate(words):
        colour = WHITE8 if i == 0 else ACCENT8
        text_up(c, part, x + 1, y + 1, SHADOW8, 2)
        text_up(c, part, x, y, colour, 2)
        y -= len(part) * 12 + 8
    for k, sy in enumerate(range(y - 10, 8, -29)):
        c.star(w // 2 + (3 if k % 2 else -3), sy, 3 if k % 3 else 4, ACCENT8)
    write_bmp8(path, c, pal)


def ribbon(path, w, h):
    """A banner narrower than the strip: a striped ribbon with a knot of diamonds."""
    pal = [(128, 0, 32), (200, 30, 60), (255, 220, 40), (255, 255, 255)]
    c = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            c.set(x, y, 1 if ((x + y) // 4) % 2 else 0)
    c.rect(0, 0, 1, h, 2)
    c.rect(w - 1, 0, w, h, 2)
    for cy in range(12, h, 40):
        for d in range(-4, 5):
            c.rect(w // 2 - (4 - abs(d)), cy + d, w // 2 + (4 - abs(d)) + 1, cy + d + 1, 3)
    write_bmp8(path, c, pal)


def skyline(path, w, h):
    """A banner taller than any menu and wider than the strip: a night sky over
    towers with lit windows, lettered upwards at its foot."""
    pal = gradient_palette((5, 5, 30), (90, 40, 120)) + [(20, 20, 30), (255, 230, 120), (255, 255, 255)]
    TOWER, LIT, STAR = 192, 193, 194
    c = Canvas(w, h)
    for y in range(h):
        c.rect(0, y, w, y + 1, y * 191 // (h - 1))
    seed = 7
    for y in range(10, h - 200, 23):
        seed = (seed * 1103515245 + 12345) & 0x7fffffff
        c.set(seed % w, y, STAR)
    towers = [(0, 6, 150), (6, 9, 110), (15, 7, 170), (22, 10, 130)]
    for left, width, height in towers:
        c.rect(left, h - height, left + width, h, TOWER)
        for wy in range(h - height + 4, h - 4, 6):
            for wx in range(left + 1, left + width - 1, 3):
                seed = (seed * 1103515245 + 12345) & 0x7fffffff
                if seed % 3:
                    c.rect(wx, wy, wx + 1, wy + 2, LIT)
    text_up(c, "QUORVEL", (w - 14) // 2, h - 200, STAR, 2)
    write_bmp8(path, c, pal)


def main():
    out = sys.argv[1]
    os.makedirs(os.path.join(out, 'banners'), exist_ok=True)
    write_ico(os.path.join(out, 'doiticon.ico'), [32, 16])
    about_box(os.path.join(out, 'aboutbox.bmp'))
    banners = os.path.join(out, 'banners')
    banner(os.path.join(banners, 'Default Logo.bmp'), 21, 240, (0, 0, 128), (0, 120, 200), "QUORVEL DESKTOP",
           (255, 220, 40))
    ribbon(os.path.join(banners, 'Narrow Ribbon.bmp'), 13, 200)
    skyline(os.path.join(banners, 'Tall Skyline.bmp'), 32, 720)


if __name__ == '__main__':
    main()
