#!/usr/bin/env python3
"""Draws the editor's bundled pictures into res/pictures/: the 24 x 24 toolbar buttons (used where
the desktop's icon theme has none) and the two pictures of the About box. Standard library only:
shapes are filled on a 4x grid and averaged down, so edges are smooth. Run it after changing a
picture and commit the PNG files."""

import math
import os
import struct
import zlib

SS = 4  # sub-samples per pixel and axis


class Canvas:
    def __init__(self, size):
        self.size = size
        self.n = size * SS
        # premultiplied RGBA, 0..1
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.n * self.n)]

    def _blend(self, i, c):
        r, g, b, a = c
        p = self.px[i]
        p[0] = r * a + p[0] * (1 - a)
        p[1] = g * a + p[1] * (1 - a)
        p[2] = b * a + p[2] * (1 - a)
        p[3] = a + p[3] * (1 - a)

    def poly(self, pts, color):
        """Fills a polygon given in pixel units (even-odd rule)."""
        c = rgba(color)
        pts = [(x * SS, y * SS) for x, y in pts]
        ys = [p[1] for p in pts]
        y0 = max(0, int(math.floor(min(ys))))
        y1 = min(self.n - 1, int(math.ceil(max(ys))))
        for y in range(y0, y1 + 1):
            yc = y + 0.5
            xs = []
            for k in range(len(pts)):
                ax, ay = pts[k]
                bx, by = pts[(k + 1) % len(pts)]
                if (ay <= yc < by) or (by <= yc < ay):
                    xs.append(ax + (yc - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for k in range(0, len(xs) - 1, 2):
                xa = max(0, int(math.ceil(xs[k] - 0.5)))
                xb = min(self.n - 1, int(math.floor(xs[k + 1] - 0.5)))
                for x in range(xa, xb + 1):
                    self._blend(y * self.n + x, c)

    def rect(self, x0, y0, x1, y1, color):
        self.poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], color)

    def frame(self, x0, y0, x1, y1, w, color):
        self.rect(x0, y0, x1, y0 + w, color)
        self.rect(x0, y1 - w, x1, y1, color)
        self.rect(x0, y0, x0 + w, y1, color)
        self.rect(x1 - w, y0, x1, y1, color)

    def ellipse(self, cx, cy, rx, ry, color, steps=48):
        self.poly([(cx + rx * math.cos(2 * math.pi * k / steps),
                    cy + ry * math.sin(2 * math.pi * k / steps)) for k in range(steps)], color)

    def circle(self, cx, cy, r, color):
        self.ellipse(cx, cy, r, r, color)

    def line(self, x0, y0, x1, y1, w, color):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1
        nx, ny = -dy / length * w / 2, dx / length * w / 2
        self.poly([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny),
                   (x0 - nx, y0 - ny)], color)

    def text(self, x, y, s, color, scale=1.0):
        """Draws `s` in the 5 x 7 font below, top left at (x, y)."""
        for ch in s:
            rows = FONT[ch]
            for j, row in enumerate(rows):
                for i, bit in enumerate(row):
                    if bit == '#':
                        self.rect(x + i * scale, y + j * scale, x + (i + 1) * scale,
                                  y + (j + 1) * scale, color)
            x += (len(rows[0]) + 1) * scale

    def png(self, path):
        raw = bytearray()
        for y in range(self.size):
            raw.append(0)
            for x in range(self.size):
                acc = [0.0] * 4
                for sy in range(SS):
                    for sx in range(SS):
                        p = self.px[(y * SS + sy) * self.n + x * SS + sx]
                        for k in range(4):
                            acc[k] += p[k]
                a = acc[3] / (SS * SS)
                if a <= 0:
                    raw += bytes(4)
                    continue
                raw += bytes([min(255, round(acc[k] / acc[3] * 255)) for k in range(3)])
                raw.append(min(255, round(a * 255)))

        def chunk(tag, data):
            return (struct.pack('>I', len(data)) + tag + data +
                    struct.pack('>I', zlib.crc32(tag + data) & 0xFFFFFFFF))

        with open(path, 'wb') as f:
            f.write(b'\x89PNG\r\n\x1a\n')
            f.write(chunk(b'IHDR', struct.pack('>IIBBBBB', self.size, self.size, 8, 6, 0, 0, 0)))
            f.write(chunk(b'IDAT', zlib.compress(bytes(raw), 9)))
            f.write(chunk(b'IEND', b''))


def rgba(c):
    if len(c) == 7:
        return (int(c[1:3], 16) / 255, int(c[3:5], 16) / 255, int(c[5:7], 16) / 255, 1.0)
    return (int(c[1:3], 16) / 255, int(c[3:5], 16) / 255, int(c[5:7], 16) / 255,
            int(c[7:9], 16) / 255)


FONT = {
    'P': ['####.', '#...#', '#...#', '####.', '#....', '#....', '#....'],
    'G': ['.####', '#....', '#....', '#..##', '#...#', '#...#', '.###.'],
    'e': ['.....', '.....', '.###.', '#...#', '#####', '#....', '.###.'],
    '2': ['.###.', '#...#', '....#', '...#.', '..#..', '.#...', '#####'],
    '%': ['##..#', '##..#', '...#.', '..#..', '.#...', '#..##', '#..##'],
    'i': ['.#.', '...', '##.', '.#.', '.#.', '.#.', '###'],
}

INK = '#2b2b2b'
PAPER = '#ffffff'
PAPER_EDGE = '#6b6b6b'
LINES = '#9a9a9a'
PG2 = '#5a6b2e'   # olive: the PG2 colour
PEG = '#2f5f9e'   # blue: the PeG colour
GREEN = '#2e8b3a'
RED = '#c62828'
GOLD = '#e0a800'


def page(c, x0, y0, x1, y1, lines=True):
    fold = 4
    c.poly([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], PAPER_EDGE)
    c.poly([(x0 + 1, y0 + 1), (x1 - fold - 0.4, y0 + 1), (x1 - 1, y0 + fold + 0.4),
            (x1 - 1, y1 - 1), (x0 + 1, y1 - 1)], PAPER)
    c.poly([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], '#c8c8c8')
    if lines:
        y = y0 + 6
        while y < y1 - 2:
            c.rect(x0 + 3, y, x1 - 3, y + 1, LINES)
            y += 3


def floppy(c, x0, y0, s, color):
    c.poly([(x0, y0), (x0 + s - 3, y0), (x0 + s, y0 + 3), (x0 + s, y0 + s), (x0, y0 + s)], color)
    c.rect(x0 + 4, y0 + 1, x0 + s - 5, y0 + 7, '#e8eef5')
    c.rect(x0 + s - 9, y0 + 2, x0 + s - 7, y0 + 6, color)
    c.rect(x0 + 3, y0 + s - 8, x0 + s - 3, y0 + s - 1, PAPER)
    c.rect(x0 + 5, y0 + s - 6, x0 + s - 5, y0 + s - 5, LINES)
    c.rect(x0 + 5, y0 + s - 3.5, x0 + s - 5, y0 + s - 2.5, LINES)


def pencil(c, x0, y0, x1, y1):
    c.line(x0, y0, x1, y1, 3.2, '#e89a2c')
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    ux, uy = dx / length, dy / length
    tip = (x1 + ux * 3, y1 + uy * 3)
    nx, ny = -uy * 1.6, ux * 1.6
    c.poly([(x1 + nx, y1 + ny), tip, (x1 - nx, y1 - ny)], '#f3d9a4')
    c.line(x0 - ux * 0.5, y0 - uy * 0.5, x0 + ux * 1.5, y0 + uy * 1.5, 3.2, '#d45d79')


def arrow_right(c, x0, y, x1, color, w=3, head=4):
    c.rect(x0, y - w / 2, x1 - head, y + w / 2, color)
    c.poly([(x1 - head, y - head), (x1, y), (x1 - head, y + head)], color)


def badge(c, text, color):
    c.poly([(2, 4), (22, 4), (22, 20), (2, 20)], color)
    c.frame(2, 4, 22, 20, 1, '#00000040')
    width = len(text) * 6 - 1
    c.text(12 - width // 2, 9, text, PAPER)


def box(c, x0, y0, x1, y1, color):
    c.rect(x0, y0, x1, y1, color)
    c.rect(x0 + 1.5, y0 + 1.5, x1 - 1.5, y1 - 1.5, '#eef3f8')
    for y in (y0 + 4.5, y0 + 7.5, y0 + 10.5):
        if y < y1 - 2:
            c.rect(x0 + 3, y, x1 - 3, y + 1, LINES)


def draw_open(c):
    c.poly([(2, 6), (9, 6), (11, 8), (20, 8), (20, 19), (2, 19)], '#b7861d')
    c.poly([(5, 11), (23, 11), (20, 19), (2, 19)], '#f2c14e')


def draw_save(c):
    floppy(c, 3, 3, 18, PEG)


def draw_save_as(c):
    floppy(c, 2, 2, 16, PEG)
    pencil(c, 12, 21, 20, 12)


def draw_edit_text(c):
    page(c, 3, 2, 18, 22)
    pencil(c, 12, 19, 20, 9)


def draw_settings(c):
    cx, cy = 12, 12
    teeth = 8
    pts = []
    for k in range(teeth * 4):
        ang = 2 * math.pi * k / (teeth * 4)
        r = 10 if (k % 4) in (1, 2) else 7.2
        pts.append((cx + r * math.cos(ang), cy + r * math.sin(ang)))
    c.poly(pts, '#5f6b78')
    c.circle(cx, cy, 3.2, '#ffffff')


def draw_report(c):
    page(c, 3, 2, 21, 22, lines=False)
    for i, h in enumerate((6, 10, 4, 8)):
        c.rect(6 + i * 3.5, 19 - h, 8.5 + i * 3.5, 19, (GREEN, PEG, RED, GOLD)[i])
    c.rect(5, 19, 19, 20, INK)


def draw_view_pg2(c):
    badge(c, 'PG2', PG2)


def draw_view_peg(c):
    badge(c, 'PeG', PEG)


def draw_convert(c):
    c.rect(1, 3, 10, 12, PG2)
    c.rect(14, 12, 23, 21, PEG)
    c.rect(4.5, 12, 7, 17.5, INK)
    c.rect(4.5, 15, 10, 17.5, INK)
    c.poly([(10, 12.5), (14, 16.25), (10, 20)], INK)


def draw_delete(c):
    c.line(5, 5, 19, 19, 4, RED)
    c.line(19, 5, 5, 19, 4, RED)


def draw_clone(c):
    page(c, 2, 2, 15, 18)
    page(c, 8, 6, 21, 22, lines=False)
    c.rect(13.5, 10, 15.5, 18, GREEN)
    c.rect(10.5, 13, 18.5, 15, GREEN)


def draw_merge_txt(c):
    page(c, 1, 1, 12, 15)
    box(c, 11, 12, 23, 23, PEG)
    c.line(8, 16, 12, 19, 2.6, GREEN)
    c.poly([(12.5, 15.2), (15.5, 20.5), (9.5, 21.5)], GREEN)


def draw_merge_efile(c):
    box(c, 9, 8, 23, 22, PEG)
    arrow_right(c, 1, 15, 14, GREEN)


def draw_export(c):
    box(c, 1, 8, 15, 22, PEG)
    arrow_right(c, 10, 15, 23, '#e07b00')


def draw_cost(c):
    c.circle(12, 12, 10, '#b07d00')
    c.circle(12, 12, 8.6, GOLD)
    c.text(10, 9, '%', INK)


def draw_about(c):
    c.circle(12, 12, 10, PEG)
    c.circle(12, 6.8, 1.7, PAPER)
    c.rect(9.5, 10, 13.5, 11.5, PAPER)
    c.rect(11, 10, 13.5, 17, PAPER)
    c.rect(9.5, 16, 15, 18, PAPER)


def draw_table(c):
    c.rect(2, 4, 22, 20, PAPER_EDGE)
    c.rect(3, 5, 21, 19, PAPER)
    c.rect(3, 5, 21, 8, PEG)
    c.rect(3, 5, 8, 19, '#dfe6ef')
    c.rect(3, 5, 8, 8, '#244a7c')
    for y in (11, 14, 17):
        c.rect(3, y, 21, y + 1, LINES)
    for x in (8, 13, 17):
        c.rect(x, 5, x + 1, 19, LINES)


TOOLBAR = {
    'open': draw_open, 'save': draw_save, 'save-as': draw_save_as, 'edit-text': draw_edit_text,
    'settings': draw_settings, 'report': draw_report, 'view-pg2': draw_view_pg2,
    'view-peg': draw_view_peg, 'convert': draw_convert, 'delete': draw_delete,
    'clone': draw_clone, 'merge-txt': draw_merge_txt, 'merge-efile': draw_merge_efile,
    'export': draw_export, 'cost': draw_cost, 'about': draw_about, 'table': draw_table,
}


def about_picture(color, text):
    c = Canvas(64)
    c.circle(32, 32, 30, '#00000030')
    c.circle(32, 31, 29, color)
    c.circle(32, 31, 25, '#ffffff30')
    width = len(text) * 6 - 1
    c.text(32 - width * 1.5, 31 - 10.5, text, PAPER, 3.0)
    return c


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res', 'pictures')
    os.makedirs(out, exist_ok=True)
    for name, draw in TOOLBAR.items():
        c = Canvas(24)
        draw(c)
        c.png(os.path.join(out, name + '.png'))
    about_picture(PG2, 'PG2').png(os.path.join(out, 'about-pg2.png'))
    about_picture(PEG, 'PeG').png(os.path.join(out, 'about-peg.png'))


if __name__ == '__main__':
    main()
