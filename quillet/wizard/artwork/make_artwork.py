#!/usr/bin/env python3
"""Draws the wizard's artwork and writes it as PNG files beside this script.

    icon_501.png       32 x 32   the program's icon: a document page turning into text
    watermark_311.png 164 x 314  the exterior pages' left band
    header_312.png     49 x 49   the interior pages' header picture

Only the standard library is used: shapes are sampled 4 x 4 per pixel (simple
anti-aliasing) and composed over each other with their alpha. Run it again after a
change and commit the PNGs; the build only embeds them.
"""
import math
import os
import struct
import zlib

SS = 4  # samples per pixel along each axis

NAVY = (22, 48, 96)
BLUE = (38, 98, 168)
TEAL = (46, 150, 160)
PAPER = (252, 252, 248)
FOLD = (214, 222, 232)
RED = (200, 44, 44)
INK = (70, 86, 110)
WHITE = (255, 255, 255)
EDGE = (120, 134, 156)


class Canvas:
    def __init__(self, width, height, background=None):
        self.w, self.h = width, height
        bg = (0.0, 0.0, 0.0, 0.0) if background is None else tuple(c / 255 for c in background) + (1.0,)
        self.px = [list(bg) for _ in range(width * height)]

    def blend(self, x, y, colour, alpha):
        if alpha <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y * self.w + x]
        r, g, b = (c / 255 for c in colour)
        out_a = alpha + p[3] * (1 - alpha)
        if out_a > 0:
            for i, c in enumerate((r, g, b)):
                p[i] = (c * alpha + p[i] * p[3] * (1 - alpha)) / out_a
        p[3] = out_a

    def fill(self, inside, colour, box, opacity=1.0):
        """Covers the pixels of `box` (x0, y0, x1, y1) where `inside(x, y)` holds."""
        x0, y0, x1, y1 = (int(math.floor(box[0])), int(math.floor(box[1])),
                          int(math.ceil(box[2])), int(math.ceil(box[3])))
        for y in range(max(0, y0), min(self.h, y1 + 1)):
            for x in range(max(0, x0), min(self.w, x1 + 1)):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                            hits += 1
                self.blend(x, y, colour, opacity * hits / (SS * SS))

    def rect(self, x0, y0, x1, y1, colour, opacity=1.0):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour, (x0, y0, x1, y1), opacity)

    def round_rect(self, x0, y0, x1, y1, radius, colour, opacity=1.0):
        def inside(x, y):
            if not (x0 <= x < x1 and y0 <= y < y1):
                return False
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
        self.fill(inside, colour, (x0, y0, x1, y1), opacity)

    def polygon(self, points, colour, opacity=1.0):
        def inside(x, y):
            odd = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    odd = not odd
                j = i
            return odd
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.fill(inside, colour, (min(xs), min(ys), max(xs), max(ys)), opacity)

    def circle(self, cx, cy, r, colour, opacity=1.0):
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour,
                  (cx - r, cy - r, cx + r, cy + r), opacity)

    def vertical_gradient(self, top, bottom):
        for y in range(self.h):
            t = y / max(1, self.h - 1)
            colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
            for x in range(self.w):
                self.blend(x, y, colour, 1.0)

    def write_png(self, path):
        raw = bytearray()
        for y in range(self.h):
            raw.append(0)  # filter type: none
            for x in range(self.w):
                r, g, b, a = self.px[y * self.w + x]
                raw += bytes((round(r * 255), round(g * 255), round(b * 255), round(a * 255)))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(chunk(b"IHDR", header))
            f.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
            f.write(chunk(b"IEND", b""))


def page_outline(x, y, w, h, fold):
    return [(x, y), (x + w - fold, y), (x + w, y + fold), (x + w, y + h), (x, y + h)]


def document(c, x, y, w, h, fold, shadow=True, lines=True, band=True, edge=None):
    """A page with a folded top-right corner, a red band and lines of text; `edge`
    draws a one-pixel border so the page stands out on a white background."""
    if edge is not None:
        c.polygon(page_outline(x - 1, y - 1, w + 2, h + 2, fold + 1), edge)
    if shadow:
        c.polygon([(x + 2, y + 2), (x + w - fold + 2, y + 2), (x + w + 2, y + fold + 2),
                   (x + w + 2, y + h + 2), (x + 2, y + h + 2)], NAVY, 0.35)
    c.polygon(page_outline(x, y, w, h, fold), PAPER)
    c.polygon([(x + w - fold, y), (x + w - fold, y + fold), (x + w, y + fold)], FOLD)
    if band:
        c.rect(x, y + h * 0.16, x + w * 0.62, y + h * 0.16 + max(2.0, h * 0.12), RED)
    if lines:
        top = y + h * 0.16 + max(2.0, h * 0.12) + h * 0.08
        step = max(2.0, h * 0.1)
        thick = max(1.0, step * 0.45)
        n = 0
        while top + thick < y + h - h * 0.08:
            length = w * (0.78 if n % 3 != 2 else 0.52)
            c.rect(x + w * 0.12, top, x + w * 0.12 + length, top + thick, INK, 0.85)
            top += step
            n += 1


def arrow_down(c, cx, y0, y1, width, colour, opacity=1.0):
    shaft = width * 0.36
    head = (y1 - y0) * 0.45
    c.polygon([(cx - shaft, y0), (cx + shaft, y0), (cx + shaft, y1 - head), (cx + width, y1 - head),
               (cx, y1), (cx - width, y1 - head), (cx - shaft, y1 - head)], colour, opacity)


def make_watermark(path):
    c = Canvas(164, 314)
    c.vertical_gradient(NAVY, TEAL)
    # Soft circles give the band some depth without drawing the eye.
    c.circle(150, 40, 70, WHITE, 0.06)
    c.circle(20, 290, 90, WHITE, 0.05)
    document(c, 40, 44, 76, 96, 20, lines=False)
    # A "PDF"-like mark on the source page: three red blocks.
    for i in range(3):
        c.round_rect(50 + i * 20, 104, 66 + i * 20, 124, 3, RED)
    arrow_down(c, 82, 152, 186, 16, WHITE, 0.9)
    document(c, 40, 196, 76, 96, 20, band=False)
    c.write_png(path)


def make_badged_page(path, size, page, badge, radius, inset, arrow_width):
    """The icon and the header picture: a bordered page (x, y, w, h, fold) and at its lower
    right a blue badge (x0, y0, x1, y1) carrying a white down arrow, `inset` from its top
    and bottom."""
    c = Canvas(size, size)
    document(c, *page, shadow=False, edge=EDGE)
    x0, y0, x1, y1 = badge
    c.round_rect(x0, y0, x1, y1, radius, BLUE)
    arrow_down(c, (x0 + x1) / 2, y0 + inset, y1 - inset, arrow_width, WHITE)
    c.write_png(path)


def make_header(path):
    make_badged_page(path, 49, page=(9, 4, 26, 34, 8), badge=(25, 28, 45, 45), radius=4, inset=3, arrow_width=5)


def make_icon(path):
    make_badged_page(path, 32, page=(5, 2, 20, 27, 7), badge=(17, 17, 31, 31), radius=3, inset=2, arrow_width=4)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    make_icon(os.path.join(here, "icon_501.png"))
    make_watermark(os.path.join(here, "watermark_311.png"))
    make_header(os.path.join(here, "header_312.png"))
