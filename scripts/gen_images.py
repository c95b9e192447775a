#!/usr/bin/env python3
"""Draw the setup program's icons and bitmaps into profile/images/.

The images are our own simple drawings, rendered from shapes given in
fractions of the image size, so one description serves every icon size.
The output is byte-for-byte reproducible (no time stamps, no randomness):
run it after changing a drawing and commit the script with its outputs.
`--check` compares the committed files with a fresh rendering instead of
writing, and answers 1 when they differ.

Python standard library only (the CI machines have no imaging library).

Forms written, as the resource script and the program expect them:
- icons: .ico files whose images are uncompressed DIBs (BITMAPINFOHEADER,
  height doubled for the AND mask) with 1, 4 or 8 bits per pixel;
- bitmap 113: 497 x 309, 24 bpp, bottom-up, 2834 pixels per metre, with a
  light panel (cream at its left to white at its right) from column 181 to
  490 and row 8 to 299 counted from the top, where the pages' controls stand;
- bitmap 2039: 154 x 248, 4 bpp with the 16-colour palette, 3780 pixels per
  metre.
"""

import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "profile", "images")

# The 16 standard colours, in the order of the system's 16-colour palette.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def palette256():
    """The 16 standard colours, a 6x6x6 colour cube and a grey ramp."""
    pal = list(VGA16)
    levels = [0, 51, 102, 153, 204, 255]
    pal += [(r, g, b) for r in levels for g in levels for b in levels]
    pal += [(8 + 10 * i,) * 3 for i in range(24)]
    return pal[:256]


PAL256 = palette256()

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
SILVER = (192, 192, 192)
GREY = (128, 128, 128)
DARK = (64, 64, 64)
NAVY = (0, 0, 128)
BLUE = (0, 102, 204)
TEAL = (0, 128, 128)
GREEN = (0, 204, 0)
YELLOW = (255, 255, 0)
CREAM = (252, 244, 214)
BEIGE = (224, 216, 192)


class Canvas:
    """A width x height grid of RGB tuples (None: transparent), drawn in
    fractions of the size so that one drawing scales to any size."""

    def __init__(self, width, height, fill=None):
        self.w = width
        self.h = height
        self.px = [[fill] * width for _ in range(height)]

    def _box(self, x0, y0, x1, y1):
        return (int(round(x0 * self.w)), int(round(y0 * self.h)),
                int(round(x1 * self.w)), int(round(y1 * self.h)))

    def rect(self, x0, y0, x1, y1, color, outline=None):
        a, b, c, d = self._box(x0, y0, x1, y1)
        a, b = max(a, 0), max(b, 0)
        c, d = min(max(c, a + 1), self.w), min(max(d, b + 1), self.h)
        for y in range(b, d):
            for x in range(a, c):
                edge = x in (a, c - 1) or y in (b, d - 1)
                self.px[y][x] = outline if (outline and edge) else color

    def ellipse(self, x0, y0, x1, y1, color):
        a, b, c, d = self._box(x0, y0, x1, y1)
        cx, cy = (a + c) / 2.0, (b + d) / 2.0
        rx, ry = max((c - a) / 2.0, 0.5), max((d - b) / 2.0, 0.5)
        for y in range(max(b, 0), min(d, self.h)):
            for x in range(max(a, 0), min(c, self.w)):
                if ((x + 0.5 - cx) / rx) ** 2 + ((y + 0.5 - cy) / ry) ** 2 <= 1.0:
                    self.px[y][x] = color

    def polygon(self, points, color):
        pts = [(px * self.w, py * self.h) for px, py in points]
        for y in range(self.h):
            for x in range(self.w):
                if inside(pts, x + 0.5, y + 0.5):
                    self.px[y][x] = color

    def hgradient(self, x0, y0, x1, y1, left, right):
        """Fill whole pixel columns x0..x1 and rows y0..y1 (inclusive,
        in pixels) shading from left to right."""
        span = max(x1 - x0, 1)
        for x in range(x0, x1 + 1):
            t = (x - x0) / span
            col = tuple(int(round(l + (r - l) * t)) for l, r in zip(left, right))
            for y in range(y0, y1 + 1):
                self.px[y][x] = col


def inside(pts, x, y):
    """Even-odd rule point-in-polygon test."""
    hit = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda i: sum((p - q) ** 2 for p, q in zip(palette[i], rgb)))


# ---------------------------------------------------------------- drawings


def draw_printer(c, ox=0.0, oy=0.0, kx=1.0, ky=1.0):
    """A desk printer: paper in the top tray, grey body, output slot, lamp;
    drawn in the box at (ox, oy) of kx by ky fractions of the canvas."""
    def f(x0, y0, x1, y1):
        return ox + x0 * kx, oy + y0 * ky, ox + x1 * kx, oy + y1 * ky
    c.rect(*f(0.28, 0.06, 0.72, 0.42), WHITE, BLACK)
    c.rect(*f(0.06, 0.38, 0.94, 0.84), SILVER, BLACK)
    c.rect(*f(0.06, 0.70, 0.94, 0.84), GREY, BLACK)
    c.rect(*f(0.22, 0.56, 0.78, 0.62), DARK)
    c.rect(*f(0.76, 0.44, 0.86, 0.52), GREEN)


def icon_setup(s):
    """A monitor showing a blue screen with a yellow arrow into it."""
    c = Canvas(s, s)
    c.rect(0.06, 0.06, 0.94, 0.72, SILVER, BLACK)
    c.rect(0.16, 0.14, 0.84, 0.62, NAVY)
    c.polygon([(0.30, 0.30), (0.56, 0.30), (0.56, 0.20), (0.76, 0.38),
               (0.56, 0.56), (0.56, 0.46), (0.30, 0.46)], YELLOW)
    c.rect(0.36, 0.72, 0.64, 0.82, GREY, BLACK)
    c.rect(0.18, 0.82, 0.82, 0.94, SILVER, BLACK)
    return c


def icon_printer(s):
    c = Canvas(s, s)
    draw_printer(c)
    return c


def icon_port(s):
    """A parallel-port socket: a dark trapezoid with two rows of pins."""
    c = Canvas(s, s)
    c.polygon([(0.04, 0.28), (0.96, 0.28), (0.84, 0.72), (0.16, 0.72)], BLACK)
    c.polygon([(0.10, 0.33), (0.90, 0.33), (0.80, 0.67), (0.20, 0.67)], GREY)
    for i in range(6):
        x = 0.18 + i * 0.12
        c.rect(x, 0.40, x + 0.06, 0.47, YELLOW)
    for i in range(5):
        x = 0.24 + i * 0.12
        c.rect(x, 0.53, x + 0.06, 0.60, YELLOW)
    return c


def icon_network(s):
    """A printer standing on a blue cable that leads off to both sides."""
    c = Canvas(s, s)
    c.rect(0.0, 0.86, 1.0, 0.94, BLUE)
    c.rect(0.46, 0.74, 0.54, 0.90, BLUE)
    draw_printer(c, 0.06, 0.0, 0.88, 0.88)
    return c


def icon_disk(s):
    """A diskette: navy body, metal shutter, white label."""
    c = Canvas(s, s)
    c.polygon([(0.08, 0.06), (0.84, 0.06), (0.94, 0.16), (0.94, 0.94), (0.08, 0.94)], NAVY)
    c.rect(0.28, 0.06, 0.72, 0.38, SILVER, BLACK)
    c.rect(0.56, 0.12, 0.66, 0.32, NAVY)
    c.rect(0.20, 0.52, 0.82, 0.94, WHITE, BLACK)
    c.rect(0.28, 0.64, 0.74, 0.68, BLUE)
    c.rect(0.28, 0.76, 0.74, 0.80, BLUE)
    return c


def background():
    """Bitmap 113: our printers and logo on the left, the light panel on the
    right where the pages' controls stand."""
    w, h = 497, 309
    c = Canvas(w, h, (72, 104, 150))
    # Vertical shading of the picture area, dark at the bottom.
    for y in range(h):
        col = (72 - y // 8, 104 - y // 6, 150 - y // 5)
        for x in range(181):
            c.px[y][x] = col
    # Abstract logo: three stacked bars in a ring.
    c.ellipse(30 / w, 20 / h, 150 / w, 140 / h, WHITE)
    c.ellipse(38 / w, 28 / h, 142 / w, 132 / h, (0, 140, 150))
    for i, col in enumerate([(255, 200, 0), WHITE, (255, 200, 0)]):
        y0 = (52 + i * 20) / h
        c.rect(56 / w, y0, 124 / w, y0 + 12 / h, col)
    # Two printers of different sizes.
    draw_printer(c, 10 / w, 160 / h, 100 / w, 100 / h)
    draw_printer(c, 90 / w, 206 / h, 80 / w, 80 / h)
    # The panel: cream at column 181 to white at column 490, rows 8 to 299.
    c.hgradient(181, 8, 490, 299, CREAM, WHITE)
    return c


def picture_button():
    """Bitmap 2039: a desktop computer with diskettes on a teal ground."""
    c = Canvas(154, 248, TEAL)
    c.rect(0.12, 0.10, 0.88, 0.46, SILVER, BLACK)   # monitor
    c.rect(0.20, 0.14, 0.80, 0.40, NAVY)            # screen
    c.rect(0.28, 0.20, 0.60, 0.23, WHITE)
    c.rect(0.28, 0.27, 0.70, 0.30, WHITE)
    c.rect(0.40, 0.46, 0.60, 0.50, GREY, BLACK)     # neck
    c.rect(0.06, 0.50, 0.94, 0.64, SILVER, BLACK)   # case
    c.rect(0.56, 0.54, 0.86, 0.57, BLACK)           # drive slot
    c.rect(0.12, 0.55, 0.18, 0.58, GREEN)           # power lamp
    c.rect(0.10, 0.68, 0.90, 0.74, GREY, BLACK)     # keyboard
    for x0, y0 in ((0.10, 0.78), (0.52, 0.80)):     # diskettes
        c.rect(x0, y0, x0 + 0.36, y0 + 0.16, BLACK)
        c.rect(x0 + 0.10, y0, x0 + 0.26, y0 + 0.06, SILVER)
        c.rect(x0 + 0.06, y0 + 0.09, x0 + 0.30, y0 + 0.16, WHITE)
    return c


# ----------------------------------------------------------------- writers


def info_header(w, h, bpp, ppm, colors):
    image = row_bytes(w, bpp) * h
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, image, ppm, ppm, colors, 0)


def row_bytes(w, bpp):
    return ((w * bpp + 31) // 32) * 4


def pack_rows(rows, bpp):
    """Pack rows of palette indices (or RGB tuples at 24 bpp), top row first,
    into bottom-up DIB rows, each padded to 4 bytes."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray()
        if bpp == 24:
            for r, g, b in row:
                line += bytes((b, g, r))
        else:
            per = 8 // bpp
            for i in range(0, len(row), per):
                v = 0
                for j in range(per):
                    idx = row[i + j] if i + j < len(row) else 0
                    v |= idx << (8 - bpp * (j + 1))
                line.append(v)
        line += b"\0" * (row_bytes(len(row), bpp) - len(line))
        out += line
    return bytes(out)


def pal_bytes(pal):
    return b"".join(bytes((b, g, r, 0)) for r, g, b in pal)


def icon_image(canvas, bpp):
    """One icon image: header with doubled height, palette, XOR, AND mask."""
    s = canvas.w
    if bpp == 1:
        pal = [BLACK, WHITE]

        def index(rgb):
            return 1 if sum(rgb) > 400 else 0
    else:
        pal = VGA16 if bpp == 4 else PAL256
        cache = {}

        def index(rgb):
            if rgb not in cache:
                cache[rgb] = nearest(pal, rgb)
            return cache[rgb]
    xor = [[0 if p is None else index(p) for p in row] for row in canvas.px]
    mask = [[1 if p is None else 0 for p in row] for row in canvas.px]
    header = struct.pack("<IiiHHIIiiII", 40, s, 2 * s, 1, bpp, 0,
                         (row_bytes(s, bpp) + row_bytes(s, 1)) * s, 0, 0, 0, 0)
    return header + pal_bytes(pal) + pack_rows(xor, bpp) + pack_rows(mask, 1), len(pal)


def ico_file(draw, forms):
    """An .ico file holding draw(size) at each (size, bpp) of forms."""
    images = []
    for size, bpp in forms:
        data, ncolors = icon_image(draw(size), bpp)
        images.append((size, bpp, ncolors, data))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bpp, ncolors, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, ncolors if ncolors < 256 else 0,
                           0, 1, bpp, len(data), offset)
        offset += len(data)
    return out + b"".join(img[3] for img in images)


def bmp_file(canvas, bpp, ppm):
    if bpp == 24:
        pal = []
        rows = canvas.px
    else:
        pal = VGA16
        cache = {}
        rows = []
        for row in canvas.px:
            line = []
            for p in row:
                if p not in cache:
                    cache[p] = nearest(pal, p)
                line.append(cache[p])
            rows.append(line)
    bits = pack_rows(rows, bpp)
    info = info_header(canvas.w, canvas.h, bpp, ppm, len(pal)) + pal_bytes(pal)
    offset = 14 + len(info)
    return struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset) + info + bits


def outputs():
    return {
        "setup.ico": ico_file(icon_setup, [(32, 4), (16, 4)]),
        "printer.ico": ico_file(icon_printer, [(48, 8), (32, 8), (16, 8)]),
        "port.ico": ico_file(icon_port, [(32, 1), (32, 4)]),
        "network.ico": ico_file(icon_network, [(48, 8), (32, 8), (16, 8)]),
        "disk.ico": ico_file(icon_disk, [(16, 4), (16, 8), (32, 4), (32, 8)]),
        "background.bmp": bmp_file(background(), 24, 2834),
        "picture_button.bmp": bmp_file(picture_button(), 4, 3780),
    }


def main(argv):
    check = "--check" in argv[1:]
    differ = 0
    for name, data in outputs().items():
        path = os.path.join(OUT_DIR, name)
        if check:
            old = open(path, "rb").read() if os.path.exists(path) else b""
            if old != data:
                print("differs: " + path)
                differ = 1
            continue
        with open(path, "wb") as f:
            f.write(data)
    return differ


if __name__ == "__main__":
    sys.exit(main(sys.argv))
