#!/usr/bin/env python3
"""Generates Halvorsight's bitmaps and icons.

Usage: gen_images.py <outdir>

Writes into <outdir> (created if missing) and nowhere else:
  toolbar_normal.bmp, toolbar_hot.bmp   687 x 60, 24-bit, magenta = transparent
  status_images.bmp                     65 x 16, 24-bit, four 16 x 16 pages
  halvorsight.ico                       32 and 16 pixels 4-bit; 256 (PNG), 48, 32,
                                        24, 20 and 16 pixels 32-bit
  blink.ico                             32 and 16 pixels 4-bit; 32, 24, 20 and 16
                                        pixels 32-bit
  about.ico                             32 x 32, 4-bit and 32-bit
  background.bmp                        1500 x 1000, 16-bit 5-5-5
  empty_background.bmp                  48 x 48, 4-bit, all white

Pure Python 3 standard library. The output is a function of this file only:
no clock, no randomness, so every run writes the same bytes.

The pictures are drawn as signed distance fields: every shape is a function
that tells how far a point lies outside it (negative inside). A pixel's
coverage is taken from that distance at several sample points inside the
pixel, which gives smooth, anti-aliased edges at any size.
"""

import math
import os
import struct
import sys
import zlib

MAGENTA = (255, 0, 255)
# Edge pixels are blended against the toolbar's face colour rather than the
# magenta key, so anti-aliasing never leaves pink fringes around a picture.
TOOLBAR_GREY = (212, 208, 200)


def clamp01(v):
    return 0.0 if v < 0.0 else (1.0 if v > 1.0 else v)


def mix(c1, c2, t):
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


def shade(c, f):
    """f < 0 darkens towards black, f > 0 lightens towards white."""
    if f < 0:
        return tuple(v * (1.0 + f) for v in c)
    return tuple(v + (255.0 - v) * f for v in c)


# ---------------------------------------------------------------- shapes
# Each shape has dist(x, y) (pixel units, negative inside) and a bounding box
# (x0, y0, x1, y1) outside which it is certainly empty.

class Shape:
    def bounds(self):
        raise NotImplementedError

    def dist(self, x, y):
        raise NotImplementedError

    def __and__(self, other):
        return Intersect(self, other)

    def __or__(self, other):
        return Union(self, other)

    def __sub__(self, other):
        return Subtract(self, other)


class Circle(Shape):
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def bounds(self):
        return (self.cx - self.r, self.cy - self.r, self.cx + self.r, self.cy + self.r)

    def dist(self, x, y):
        return math.hypot(x - self.cx, y - self.cy) - self.r


class Box(Shape):
    """Rectangle with rounded corners, optionally rotated about its centre."""

    def __init__(self, x0, y0, x1, y1, radius=0.0, angle=0.0):
        self.cx, self.cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
        self.hw, self.hh = abs(x1 - x0) / 2.0, abs(y1 - y0) / 2.0
        self.r = min(radius, self.hw, self.hh)
        self.cos, self.sin = math.cos(angle), math.sin(angle)

    def bounds(self):
        ext = math.hypot(self.hw, self.hh)
        if self.sin == 0.0:
            return (self.cx - self.hw, self.cy - self.hh, self.cx + self.hw, self.cy + self.hh)
        return (self.cx - ext, self.cy - ext, self.cx + ext, self.cy + ext)

    def dist(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        u = dx * self.cos + dy * self.sin
        v = -dx * self.sin + dy * self.cos
        qx = abs(u) - self.hw + self.r
        qy = abs(v) - self.hh + self.r
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - self.r


class Capsule(Shape):
    """A line segment from a to b, thickened by r (round ends)."""

    def __init__(self, ax, ay, bx, by, r):
        self.ax, self.ay, self.bx, self.by, self.r = ax, ay, bx, by, r
        self.ex, self.ey = bx - ax, by - ay
        self.ee = self.ex * self.ex + self.ey * self.ey or 1e-9

    def bounds(self):
        return (min(self.ax, self.bx) - self.r, min(self.ay, self.by) - self.r,
                max(self.ax, self.bx) + self.r, max(self.ay, self.by) + self.r)

    def dist(self, x, y):
        wx, wy = x - self.ax, y - self.ay
        t = clamp01((wx * self.ex + wy * self.ey) / self.ee)
        return math.hypot(wx - self.ex * t, wy - self.ey * t) - self.r


class Polygon(Shape):
    def __init__(self, points):
        self.pts = [(float(px), float(py)) for px, py in points]

    def bounds(self):
        xs = [p[0] for p in self.pts]
        ys = [p[1] for p in self.pts]
        return (min(xs), min(ys), max(xs), max(ys))

    def dist(self, x, y):
        pts = self.pts
        n = len(pts)
        best = float("inf")
        inside = False
        j = n - 1
        for i in range(n):
            xi, yi = pts[i]
            xj, yj = pts[j]
            ex, ey = xj - xi, yj - yi
            wx, wy = x - xi, y - yi
            ee = ex * ex + ey * ey or 1e-9
            t = clamp01((wx * ex + wy * ey) / ee)
            bx, by = wx - ex * t, wy - ey * t
            d = bx * bx + by * by
            if d < best:
                best = d
            if (yi > y) != (yj > y) and x < xi + (y - yi) * ex / (ey or 1e-9):
                inside = not inside
            j = i
        d = math.sqrt(best)
        return -d if inside else d


class Transformed(Shape):
    """A shape given in local (u, v) coordinates, placed with its local
    origin at (ox, oy) and its u axis turned by angle (radians)."""

    def __init__(self, shape, ox, oy, angle):
        self.shape, self.ox, self.oy = shape, ox, oy
        self.cos, self.sin = math.cos(angle), math.sin(angle)

    def bounds(self):
        x0, y0, x1, y1 = self.shape.bounds()
        xs, ys = [], []
        for u, v in ((x0, y0), (x1, y0), (x0, y1), (x1, y1)):
            xs.append(self.ox + u * self.cos - v * self.sin)
            ys.append(self.oy + u * self.sin + v * self.cos)
        return (min(xs), min(ys), max(xs), max(ys))

    def dist(self, x, y):
        dx, dy = x - self.ox, y - self.oy
        return self.shape.dist(dx * self.cos + dy * self.sin, -dx * self.sin + dy * self.cos)


class Offset(Shape):
    def __init__(self, shape, dx, dy, grow=0.0):
        self.shape, self.dx, self.dy, self.grow = shape, dx, dy, grow

    def bounds(self):
        x0, y0, x1, y1 = self.shape.bounds()
        g = max(self.grow, 0.0)
        return (x0 + self.dx - g, y0 + self.dy - g, x1 + self.dx + g, y1 + self.dy + g)

    def dist(self, x, y):
        return self.shape.dist(x - self.dx, y - self.dy) - self.grow


class Stroke(Shape):
    """A band of the given width just inside the outline of a shape."""

    def __init__(self, shape, width):
        self.shape, self.w = shape, width

    def bounds(self):
        return self.shape.bounds()

    def dist(self, x, y):
        h = self.w / 2.0
        return abs(self.shape.dist(x, y) + h) - h


class Intersect(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def bounds(self):
        a, b = self.a.bounds(), self.b.bounds()
        return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))

    def dist(self, x, y):
        return max(self.a.dist(x, y), self.b.dist(x, y))


class Union(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def bounds(self):
        a, b = self.a.bounds(), self.b.bounds()
        return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))

    def dist(self, x, y):
        return min(self.a.dist(x, y), self.b.dist(x, y))


class Subtract(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def bounds(self):
        return self.a.bounds()

    def dist(self, x, y):
        return max(self.a.dist(x, y), -self.b.dist(x, y))


# ---------------------------------------------------------------- paints
# A paint is an (r, g, b) tuple or a function (x, y) -> (r, g, b).

def linear(x0, y0, x1, y1, stops):
    """Linear gradient from (x0, y0) to (x1, y1); stops: [(t, colour), ...]."""
    dx, dy = x1 - x0, y1 - y0
    dd = dx * dx + dy * dy or 1e-9

    def paint(x, y):
        return _stop_colour(stops, clamp01(((x - x0) * dx + (y - y0) * dy) / dd))
    return paint


def radial(cx, cy, r, stops):
    def paint(x, y):
        return _stop_colour(stops, clamp01(math.hypot(x - cx, y - cy) / r))
    return paint


def _stop_colour(stops, t):
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / ((t1 - t0) or 1e-9))
    return stops[-1][1]


# ---------------------------------------------------------------- canvas

# Sample points inside a pixel (a rotated 4-point grid): combined with the
# distance-based coverage of each sample this resolves corners and thin
# strokes much better than a single sample.
_SAMPLES = ((0.375, 0.125), (0.875, 0.375), (0.125, 0.625), (0.625, 0.875))


class Canvas:
    """RGBA picture with premultiplied colour, components 0..255 (alpha 0..1)."""

    def __init__(self, w, h, hard=False, scale=1.0):
        self.w, self.h = w, h
        # scale: pixels per drawing unit, so that one drawing serves the
        # larger images of high-DPI screens.
        self.scale = scale
        # hard: no anti-aliasing, every pixel is in or out (for images with
        # 16 fixed colours, where blended edge colours have no good match).
        self.hard = hard
        self.r = [0.0] * (w * h)
        self.g = [0.0] * (w * h)
        self.b = [0.0] * (w * h)
        self.a = [0.0] * (w * h)

    def fill(self, shape, paint, alpha=1.0, soft=1.0):
        """Composites paint over the picture where shape lies. soft widens the
        edge ramp (in pixels) for blurred shapes such as shadows."""
        k = self.scale
        x0, y0, x1, y1 = (v * k for v in shape.bounds())
        # Blurs grow with the picture; an anti-aliased edge stays one pixel.
        soft = soft * k if soft > 1.0 else soft
        pad = soft + 1.0
        ix0 = max(0, int(math.floor(x0 - pad)))
        iy0 = max(0, int(math.floor(y0 - pad)))
        ix1 = min(self.w, int(math.ceil(x1 + pad)))
        iy1 = min(self.h, int(math.ceil(y1 + pad)))
        const = None if callable(paint) else paint
        # The edge ramp of one sample is soft / 2 pixels wide: for soft = 1
        # that is the spacing of the samples, for larger values a blur.
        ramp = 2.0 / soft
        dist = shape.dist
        for iy in range(iy0, iy1):
            row = iy * self.w
            for ix in range(ix0, ix1):
                cov = 0.0
                for sx, sy in _SAMPLES:
                    d = dist((ix + sx) / k, (iy + sy) / k) * k
                    c = 0.5 - d * ramp
                    cov += 0.0 if c <= 0.0 else (1.0 if c >= 1.0 else c)
                if cov <= 0.0:
                    continue
                if self.hard:
                    if cov < 0.5 * len(_SAMPLES):
                        continue
                    cov = len(_SAMPLES)
                sa = alpha * cov / len(_SAMPLES)
                col = const if const is not None else paint((ix + 0.5) / k, (iy + 0.5) / k)
                at = row + ix
                inv = 1.0 - sa
                self.r[at] = col[0] * sa + self.r[at] * inv
                self.g[at] = col[1] * sa + self.g[at] * inv
                self.b[at] = col[2] * sa + self.b[at] * inv
                self.a[at] = sa + self.a[at] * inv

    def pixel(self, x, y):
        """Straight (not premultiplied) colour and alpha of one pixel."""
        k = y * self.w + x
        a = self.a[k]
        if a <= 0.0:
            return (0.0, 0.0, 0.0), 0.0
        return (self.r[k] / a, self.g[k] / a, self.b[k] / a), a


def to_byte(v):
    v = int(round(v))
    return 0 if v < 0 else (255 if v > 255 else v)


def flatten_keyed(cv, grey=TOOLBAR_GREY, adjust=None, cutoff=0.04):
    """Turns a canvas into 24-bit rows for a magenta-keyed bitmap: fully
    transparent pixels become magenta, partly covered ones are blended over
    the neutral grey."""
    rows = []
    for y in range(cv.h):
        row = []
        for x in range(cv.w):
            col, a = cv.pixel(x, y)
            if a < cutoff:
                row.append(MAGENTA)
                continue
            if adjust is not None:
                col = adjust(col)
            a = min(a, 1.0)
            out = tuple(to_byte(c * a + g * (1.0 - a)) for c, g in zip(col, grey))
            if out == MAGENTA:  # never let a picture pixel read as the key
                out = (254, 0, 255)
            row.append(out)
        rows.append(row)
    return rows


# ---------------------------------------------------------------- BMP files

def bmp_file(width, height, bpp, pixel_bytes, palette=b"", compression=0, colours_used=0):
    """A Windows bitmap file: 14-byte file header, 40-byte information
    header, colour table, bottom-up pixel rows (already padded)."""
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, compression,
                       len(pixel_bytes), 2835, 2835, colours_used, 0)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixel_bytes), 0, 0, offset)
    return header + info + palette + pixel_bytes


def bmp24(rows):
    """rows: top-down lists of (r, g, b) byte tuples."""
    height, width = len(rows), len(rows[0])
    pad = b"\0" * ((4 - (width * 3) % 4) % 4)
    out = bytearray()
    for row in reversed(rows):
        for r, g, b in row:
            out += bytes((b, g, r))
        out += pad
    return bmp_file(width, height, 24, bytes(out))


# The 16 colours of the standard Windows palette, in their usual order.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def palette_bytes(colours):
    return b"".join(bytes((b, g, r, 0)) for r, g, b in colours)


def pack4(indices):
    """One 4-bit row, padded to a multiple of 4 bytes."""
    if len(indices) % 2:
        indices = list(indices) + [0]
    out = bytearray((indices[i] << 4) | indices[i + 1] for i in range(0, len(indices), 2))
    out += b"\0" * ((4 - len(out) % 4) % 4)
    return bytes(out)


def empty_background():
    w = h = 48
    row = pack4([15] * w)
    return bmp_file(w, h, 4, row * h, palette_bytes(VGA16), colours_used=16)


# ---------------------------------------------------------------- toolbar

CELL_W, CELL_H = 45, 54
STRIP_W, STRIP_H = 687, 60

INK = (52, 70, 102)            # outlines: deep slate blue
PAGE_TOP = (255, 255, 255)
PAGE_BOTTOM = (218, 227, 240)
LINE = (150, 166, 194)
SHADOW = (20, 30, 50)


def draw_page(cv, ox, oy, left, top, right, bottom, fold, lines, line_w=2.0):
    """A document page with a folded top-right corner, lit from the top left."""
    L, T, R, B = ox + left, oy + top, ox + right, oy + bottom
    page = Polygon([(L, T), (R - fold, T), (R, T + fold), (R, B), (L, B)])
    cv.fill(Offset(page, 1.2, 1.6), SHADOW, alpha=0.30, soft=4.4)
    cv.fill(page, linear(L, T, R, B, [(0.0, PAGE_TOP), (0.45, PAGE_TOP), (1.0, PAGE_BOTTOM)]))
    for i, (x0, x1) in enumerate(lines):
        y = T + fold + 1.5 + i * 4.0
        bar = Box(ox + x0, y, ox + x1, y + line_w, radius=line_w / 2)
        cv.fill(bar & page, LINE)
    cv.fill(Stroke(page, 1.0), INK)
    # The folded flap: a triangle below the diagonal, with a soft shadow
    # on the page beneath it.
    flap = Polygon([(R - fold, T), (R - fold, T + fold), (R, T + fold)])
    cv.fill(Offset(flap, -0.6, 0.9) & page, SHADOW, alpha=0.22, soft=3.0)
    cv.fill(flap, linear(R - fold, T + fold, R - fold / 2, T + fold / 2,
                         [(0.0, (236, 241, 249)), (1.0, (196, 210, 230))]))
    cv.fill(Stroke(flap, 1.0), INK)
    return page


def draw_badge(cv, cx, cy, r, light, dark, glyph):
    """A round, glossy badge with a white glyph."""
    disc = Circle(cx, cy, r)
    cv.fill(Offset(disc, 0.8, 1.2), SHADOW, alpha=0.35, soft=3.6)
    cv.fill(disc, linear(cx - r * 0.5, cy - r, cx + r * 0.5, cy + r,
                         [(0.0, light), (1.0, dark)]))
    cv.fill(Stroke(disc, 1.0), shade(dark, -0.35))
    gloss = Circle(cx, cy - r * 0.55, r * 0.78) & Circle(cx, cy, r - 1.6)
    cv.fill(gloss, linear(cx, cy - r, cx, cy, [(0.0, (255, 255, 255)), (1.0, light)]), alpha=0.55)
    cv.fill(Offset(glyph, 0.0, 0.8), shade(dark, -0.45), alpha=0.45, soft=2.0)
    cv.fill(glyph, linear(cx, cy - r * 0.6, cx, cy + r * 0.6,
                          [(0.0, (255, 255, 255)), (1.0, (232, 236, 240))]))


PAGE_LINES_FULL = [(10.0, 20.0), (10.0, 26.0), (10.0, 24.0), (10.0, 26.0),
                   (10.0, 22.0), (10.0, 26.0), (10.0, 18.0)]


def icon_add(cv, ox):
    draw_page(cv, ox, 0, 6, 8, 30, 43, 8, PAGE_LINES_FULL)
    cx, cy = ox + 30.0, 36.0
    plus = Box(cx - 5.2, cy - 1.5, cx + 5.2, cy + 1.5, 0.6) | Box(cx - 1.5, cy - 5.2, cx + 1.5, cy + 5.2, 0.6)
    draw_badge(cv, cx, cy, 9.0, (128, 214, 92), (32, 142, 42), plus)


def icon_delete(cv, ox):
    draw_page(cv, ox, 0, 6, 8, 30, 43, 8, PAGE_LINES_FULL)
    cx, cy = ox + 30.0, 36.0
    k = 3.6
    cross = Capsule(cx - k, cy - k, cx + k, cy + k, 1.55) | Capsule(cx - k, cy + k, cx + k, cy - k, 1.55)
    draw_badge(cv, cx, cy, 9.0, (244, 112, 96), (192, 30, 30), cross)


def icon_edit(cv, ox):
    draw_page(cv, ox, 0, 6, 8, 30, 43, 8, PAGE_LINES_FULL)
    # A pencil lying from its tip at the lower left up to the upper right.
    angle = -math.pi / 4
    tip_x, tip_y = ox + 15.5, 44.0
    hw = 3.6

    def place(shape):
        return Transformed(shape, tip_x, tip_y, angle)

    body_len, cone_len, ferrule, eraser = 19.0, 7.0, 3.4, 4.2
    whole = place(Box(0, -hw, cone_len + body_len + ferrule + eraser, hw, 1.2)
                  | Polygon([(0, 0), (cone_len + 0.5, -hw), (cone_len + 0.5, hw)]))
    cv.fill(Offset(whole, 1.5, 1.8), SHADOW, alpha=0.30, soft=4.4)
    # Wood cone and graphite point.
    cone = place(Polygon([(0, 0), (cone_len, -hw), (cone_len, hw)]))
    cv.fill(cone, linear(tip_x, tip_y - 4, tip_x + 4, tip_y, [(0.0, (250, 222, 180)), (1.0, (214, 168, 112))]))
    cv.fill(place(Polygon([(0, 0), (2.8, -1.45), (2.8, 1.45)])), (58, 58, 66))
    # Hexagonal body: three facets, lightest towards the top left.
    u0, u1 = cone_len, cone_len + body_len
    facets = [(-hw, -1.2, (255, 226, 92)), (-1.2, 1.2, (246, 188, 36)), (1.2, hw, (214, 146, 14))]
    for v0, v1, col in facets:
        cv.fill(place(Box(u0, v0, u1, v1)), col)
    # Ferrule and eraser.
    f0, f1 = u1, u1 + ferrule
    cv.fill(place(Box(f0, -hw, f1, hw)), _metal(tip_x, tip_y, angle, hw))
    for i in range(2):
        rib = f0 + 1.0 + i * 1.4
        cv.fill(place(Box(rib, -hw, rib + 0.5, hw)), (110, 118, 130), alpha=0.7)
    e1 = f1 + eraser
    cv.fill(place(Box(f1 - 0.5, -hw, e1, hw, 1.6) & Box(f1, -hw - 1, e1 + 1, hw + 1)),
            _across(tip_x, tip_y, angle, hw, (250, 170, 170), (214, 104, 112)))
    cv.fill(Stroke(whole, 1.0), shade(INK, -0.2), alpha=0.9)


def _across(tip_x, tip_y, angle, hw, light, dark):
    """Gradient across the pencil: light on the side facing the top left."""
    nx, ny = -math.sin(angle), math.cos(angle)   # local +v direction in image space

    def paint(x, y):
        v = (x - tip_x) * nx + (y - tip_y) * ny
        return mix(light, dark, clamp01((v + hw) / (2 * hw)))
    return paint


def _metal(tip_x, tip_y, angle, hw):
    nx, ny = -math.sin(angle), math.cos(angle)

    def paint(x, y):
        t = clamp01(((x - tip_x) * nx + (y - tip_y) * ny + hw) / (2 * hw))
        return _stop_colour([(0.0, (236, 240, 246)), (0.35, (200, 206, 216)),
                             (0.7, (150, 158, 172)), (1.0, (118, 126, 140))], t)
    return paint


def icon_check(cv, ox):
    draw_page(cv, ox, 0, 6, 8, 30, 43, 8, PAGE_LINES_FULL)
    cx, cy, r = ox + 25.5, 30.0, 9.0
    # Handle first, so the rim covers its inner end.
    hx0, hy0 = cx + r * 0.62, cy + r * 0.62
    hx1, hy1 = cx + r * 1.45, cy + r * 1.45
    handle = Capsule(hx0, hy0, hx1, hy1, 2.9)
    lens = Circle(cx, cy, r)
    cv.fill(Offset(handle | lens, 1.4, 1.8), SHADOW, alpha=0.30, soft=4.4)
    nx, ny = -0.7071, 0.7071

    def handle_paint(x, y):
        t = clamp01(((x - hx0) * nx + (y - hy0) * ny + 2.9) / 5.8)
        return _stop_colour([(0.0, (120, 96, 80)), (0.4, (78, 54, 42)), (1.0, (40, 26, 20))], t)
    cv.fill(handle, handle_paint)
    cv.fill(Stroke(handle, 0.9), (26, 16, 12), alpha=0.8)
    # Glass: faintly blue, brighter towards the top left, with a highlight.
    glass = Circle(cx, cy, r - 1.8)
    cv.fill(glass, radial(cx - 3, cy - 3, r * 1.5, [(0.0, (236, 246, 255)), (1.0, (150, 196, 238))]), alpha=0.55)
    cv.fill(Circle(cx - 2.6, cy - 2.6, 3.6) & glass - Circle(cx - 1.2, cy - 1.2, 3.6),
            (255, 255, 255), alpha=0.85)
    # Metal rim.
    rim = Circle(cx, cy, r) - Circle(cx, cy, r - 2.2)
    cv.fill(rim, linear(cx - r, cy - r, cx + r, cy + r,
                        [(0.0, (176, 188, 206)), (0.5, (92, 106, 128)), (1.0, (48, 58, 76))]))
    cv.fill(Stroke(lens, 0.8), (30, 38, 54))
    cv.fill(Circle(cx, cy, r - 1.9) - Circle(cx, cy, r - 2.5), (30, 38, 54), alpha=0.8)


def icon_what_changed(cv, ox):
    """A page whose changed lines are marked: one removed (red), one added
    (green), as the "What changed" window shows them."""
    page = draw_page(cv, ox, 0, 8, 8, 36, 43, 8, [])
    rows = [(12.0, 23.0, None), (12.0, 31.0, None), (10.5, 33.5, (236, 92, 84)),
            (12.0, 28.0, None), (10.5, 33.5, (64, 178, 76)), (12.0, 26.0, None), (12.0, 21.0, None)]
    for i, (x0, x1, mark) in enumerate(rows):
        y = 8 + 8 + 1.5 + i * 4.0
        if mark is None:
            cv.fill(Box(ox + x0, y, ox + x1, y + 2.0, radius=1.0) & page, LINE)
        else:
            cv.fill(Box(ox + x0, y - 0.8, ox + x1, y + 2.8, radius=0.8) & page, mark)
    cv.fill(Stroke(page, 1.0), INK)


TOOLBAR_ICONS = [icon_add, icon_edit, icon_delete, icon_check, icon_what_changed]


def vivid(col):
    """The hot (mouse-over) look: a little more saturated and brighter."""
    lum = 0.299 * col[0] + 0.587 * col[1] + 0.114 * col[2]
    sat = tuple(lum + (c - lum) * 1.22 for c in col)
    return tuple(c + (255.0 - c) * 0.10 for c in sat)


def toolbar_strips(scale=1.0):
    """The normal and hot strips; at a scale above 1 the cells are the
    scaled cell size, rounded, and each icon starts on its cell's pixel."""
    if scale == 1.0:
        cv = Canvas(STRIP_W, STRIP_H)
        for i, draw in enumerate(TOOLBAR_ICONS):
            draw(cv, CELL_W * i)
    else:
        cell_w, cell_h = round(CELL_W * scale), round(CELL_H * scale)
        cv = Canvas(cell_w * len(TOOLBAR_ICONS), cell_h, scale=scale)
        for i, draw in enumerate(TOOLBAR_ICONS):
            draw(cv, cell_w * i / scale)
    normal = flatten_keyed(cv)
    hot = flatten_keyed(cv, adjust=vivid)
    return bmp24(normal), bmp24(hot)


# ---------------------------------------------------------------- status images

# One 16 x 16 page: K outline, F fill, S folded flap, L text line, '.' clear.
STATUS_PAGE = [
    "..KKKKKKKK......",
    "..KFFFFFFKK.....",
    "..KFLLLLFKSK....",
    "..KFFFFFFKSSK...",
    "..KFFFFFFKKKKK..",
    "..KFFFFFFFFFFK..",
    "..KFLLLLLLLLFK..",
    "..KFFFFFFFFFFK..",
    "..KFLLLLLLLFFK..",
    "..KFFFFFFFFFFK..",
    "..KFLLLLLLLLFK..",
    "..KFFFFFFFFFFK..",
    "..KFLLLLLFFFFK..",
    "..KFFFFFFFFFFK..",
    "..KFFFFFFFFFFK..",
    "..KKKKKKKKKKKK..",
]

# (fill, text-line grey) for white, yellow, red and green pages; the grey of
# the lines is chosen per fill so that they stay visible on it.
STATUS_FILLS = [
    ((255, 255, 255), (150, 150, 150)),
    ((255, 222, 60), (140, 140, 140)),
    ((232, 58, 48), (212, 212, 212)),
    ((62, 186, 74), (226, 226, 226)),
]


def status_strip():
    w, h = 65, 16
    rows = [[MAGENTA] * w for _ in range(h)]
    for i, (fill, line) in enumerate(STATUS_FILLS):
        for y, pattern in enumerate(STATUS_PAGE):
            # A gentle vertical gradient gives the page some depth.
            f = shade(fill, 0.18 - 0.30 * y / 15.0)
            for x, ch in enumerate(pattern):
                if ch == ".":
                    continue
                col = {"K": (0, 0, 0), "F": f, "L": line,
                       "S": shade(fill, -0.28)}[ch]
                rows[y][16 * i + x] = tuple(to_byte(c) for c in col)
    return bmp24(rows)


def status_strip_scaled(size):
    """The four status pages at `size` pixels (24 and 32, for high-DPI
    screens): the 16-pixel page drawn smooth at a larger scale, edges
    blended over white (the list's window colour)."""
    k = size / 16.0
    cv = Canvas(size * 4 + 1, size, scale=k)
    for i, (fill, line) in enumerate(STATUS_FILLS):
        ox = i * 16.0
        # Corners on whole pixels of the larger image.
        def at(v):
            return round(v * k) / k
        page = Polygon([(ox + at(2), 0), (ox + at(9.5), 0), (ox + at(14), at(4.5)), (ox + at(14), at(16)),
                        (ox + at(2), at(16))])
        cv.fill(page, linear(0, 0.5, 0, 15.5, [(0.0, shade(fill, 0.18)), (1.0, shade(fill, -0.12))]))
        for y, x0, x1 in ((2.5, 4, 8), (6.5, 4, 12), (8.5, 4, 11), (10.5, 4, 12), (12.5, 4, 9)):
            cv.fill(Box(ox + x0, y - 0.5, ox + x1, y + 0.5) & page, line)
        flap = Polygon([(ox + at(9.5), 0), (ox + at(9.5), at(4.5)), (ox + at(14), at(4.5))])
        cv.fill(flap, shade(fill, -0.28))
        outline = (1.0 if size < 32 else 2.0) / k
        cv.fill(Stroke(flap, outline), (0, 0, 0))
        cv.fill(Stroke(page, outline), (0, 0, 0))
    return bmp24(flatten_keyed(cv, grey=(255, 255, 255), cutoff=0.25))


# ---------------------------------------------------------------- icons

# Colours of the emblem: smooth (32-bit) and flat (16-colour) schemes, for
# the plain and the blinking icon. Flat schemes use only colours of the
# standard 16-colour palette, so nothing is lost in the 4-bit images.
EMBLEM_SCHEMES = {
    (False, False): dict(top=(255, 255, 255), bottom=(206, 220, 240), ink=(36, 58, 100),
                         flap=(214, 226, 244), lines=(150, 166, 194),
                         iris=((96, 178, 255), (18, 76, 176))),
    (True, False): dict(top=(255, 236, 110), bottom=(255, 150, 0), ink=(140, 60, 0),
                        flap=(255, 196, 70), lines=(214, 120, 20),
                        iris=((255, 190, 60), (200, 70, 0))),
    (False, True): dict(top=(255, 255, 255), bottom=(255, 255, 255), ink=(0, 0, 128),
                        flap=(192, 192, 192), lines=(128, 128, 128),
                        iris=((0, 0, 255), (0, 0, 255))),
    (True, True): dict(top=(255, 255, 0), bottom=(255, 255, 0), ink=(128, 0, 0),
                       flap=(255, 255, 255), lines=(128, 128, 0),
                       iris=((255, 0, 0), (255, 0, 0))),
}


def draw_emblem(cv, size, blink):
    """The program emblem: an open eye watching over a document page. The
    blink variant turns the page bright amber so the tray icon visibly
    flashes.

    The emblem has two drawings: one for 16 pixels, whose shapes sit on the
    pixel grid, and a fuller one for 32 pixels with text lines on the page.
    Other sizes scale the nearer drawing: below 32 pixels the small one,
    from 32 up the large one."""
    c = EMBLEM_SCHEMES[(blink, cv.hard)]
    smooth = not cv.hard
    big = size >= 32
    k = size / (32.0 if big else 16.0)

    def px(*values):
        return [v * k for v in values]
    # Outlines stay one whole pixel wide at the small sizes, so they keep
    # their crisp edge; the large sizes thicken them with the picture.
    stroke = 1.0 if size < 48 else k
    if big:
        L, T, R, B, fold = px(4, 1, 24, 30, 7)
    else:
        # The page's edges on whole pixels, as in the 16-pixel drawing.
        L, T, R, B, fold = [math.floor(v + 0.5) for v in px(2, 0, 12, 15, 4)]
    page = Polygon([(L, T), (R - fold, T), (R, T + fold), (R, B), (L, B)])
    if smooth and big:
        cv.fill(Offset(page, 0.8 * k, 1.0 * k), SHADOW, alpha=0.35, soft=2.4 * k)
    cv.fill(page, linear(L, T, R, B, [(0.0, c["top"]), (0.4, c["top"]), (1.0, c["bottom"])]))
    if big:
        for i, x1 in enumerate((15, 19, 17)):
            y = T + (1.5 + i * 3.0) * k + fold
            cv.fill(Box(L + 3 * k, y, x1 * k, y + 1.5 * k, 0.75 * k), c["lines"])
    cv.fill(Stroke(page, stroke), c["ink"])
    fl = Polygon([(R - fold, T), (R - fold, T + fold), (R, T + fold)])
    cv.fill(fl, c["flap"])
    cv.fill(Stroke(fl, stroke), c["ink"])

    # The eye: a lens formed by two circles, with iris, pupil and a glint.
    if big:
        ex, ey, a, b = px(19.0, 21.0, 12.5, 7.0)
        iris_r, pupil_r, glint, line = px(5.3, 2.4, 1.3, 1.0)
    else:
        ex, ey, a, b = px(9.0, 10.0, 6.5, 4.2)
        iris_r, pupil_r, glint, line = px(3.0, 1.4, 0.0, 1.1)
    if size < 48:
        line = 1.0 if big else 1.1
    rr = (a * a + b * b) / (2 * b)
    eye = Circle(ex, ey + rr - b, rr) & Circle(ex, ey - rr + b, rr)
    if smooth:
        cv.fill(Offset(eye, 0.6 * k, 0.9 * k), SHADOW, alpha=0.35, soft=2.0 * k)
    white = (218, 226, 238) if smooth else (255, 255, 255)
    cv.fill(eye, linear(ex, ey - b, ex, ey + b, [(0.0, (255, 255, 255)), (1.0, white)]))
    iris = Circle(ex, ey, iris_r) & eye
    cv.fill(iris, radial(ex - k, ey - k, iris_r * 1.3, [(0.0, c["iris"][0]), (1.0, c["iris"][1])]))
    cv.fill(Circle(ex, ey, pupil_r), (12, 16, 28) if smooth else (0, 0, 0))
    if glint:
        cv.fill(Circle(ex - 1.6 * k, ey - 1.7 * k, glint), (255, 255, 255), alpha=0.95)
    cv.fill(Stroke(eye, line), c["ink"])


def icon_image(size, blink, hard=False):
    cv = Canvas(size, size, hard)
    draw_emblem(cv, size, blink)
    return cv


def nearest16(col):
    best, best_d = 0, None
    for i, p in enumerate(VGA16):
        d = (2 * (col[0] - p[0]) ** 2 + 4 * (col[1] - p[1]) ** 2 + 3 * (col[2] - p[2]) ** 2)
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def and_mask(cv, threshold):
    """1-bit mask rows (bottom-up), bit set where the icon is transparent."""
    out = bytearray()
    stride = ((cv.w + 31) // 32) * 4
    for y in reversed(range(cv.h)):
        row = bytearray(stride)
        for x in range(cv.w):
            if cv.pixel(x, y)[1] < threshold:
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return bytes(out)


def icon_entry_32(cv):
    xor = bytearray()
    for y in reversed(range(cv.h)):
        for x in range(cv.w):
            col, a = cv.pixel(x, y)
            if a <= 0.0:
                xor += b"\0\0\0\0"
            else:
                xor += bytes((to_byte(col[2]), to_byte(col[1]), to_byte(col[0]), to_byte(a * 255)))
    mask = and_mask(cv, 0.5)
    info = struct.pack("<IiiHHIIiiII", 40, cv.w, cv.h * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + mask, 0, 32


def icon_entry_4(cv):
    xor = bytearray()
    for y in reversed(range(cv.h)):
        idx = []
        for x in range(cv.w):
            col, a = cv.pixel(x, y)
            idx.append(nearest16(col) if a >= 0.5 else 0)
        xor += pack4(idx)
    mask = and_mask(cv, 0.5)
    info = struct.pack("<IiiHHIIiiII", 40, cv.w, cv.h * 2, 1, 4, 0,
                       len(xor) + len(mask), 0, 0, 16, 0)
    return info + palette_bytes(VGA16) + bytes(xor) + mask, 16, 4


def png_file(cv):
    """An 8-bit RGBA PNG of the canvas (straight alpha, no filtering)."""
    raw = bytearray()
    for y in range(cv.h):
        raw.append(0)
        for x in range(cv.w):
            col, a = cv.pixel(x, y)
            if a <= 0.0:
                raw += b"\0\0\0\0"
            else:
                raw += bytes((to_byte(col[0]), to_byte(col[1]), to_byte(col[2]), to_byte(a * 255)))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", cv.w, cv.h, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


# Images from this size up are stored PNG-compressed inside the icon file,
# as the system's own large icons are; smaller ones as plain bitmaps.
PNG_ICON_SIZE = 256


def ico_file(hard, smooth):
    """An icon file with 4-bit images (drawn without anti-aliasing) and
    32-bit images with an alpha channel."""
    entries = []
    for cv in hard:
        entries.append((cv,) + icon_entry_4(cv))
    for cv in smooth:
        if cv.w >= PNG_ICON_SIZE:
            entries.append((cv, png_file(cv), 0, 32))
        else:
            entries.append((cv,) + icon_entry_32(cv))
    head = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    directory = b""
    blobs = b""
    for cv, data, colours, bpp in entries:
        directory += struct.pack("<BBBBHHII", cv.w % 256, cv.h % 256, colours, 0, 1, bpp,
                                 len(data), offset + len(blobs))
        blobs += data
    return head + directory + blobs


# ---------------------------------------------------------------- background

BG_W, BG_H = 1500, 1000
_BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def background():
    """A calm, light picture for behind the list rows: a soft, cool gradient
    with faint ripples and a sweep (a watcher's radar) placed right of the
    list's columns in a window of ordinary size, so black text stays
    readable everywhere. Every term is periodic in the image
    size, so the picture tiles without visible seams. Ordered dithering hides
    the banding of 5 bits per channel."""
    light = (250.0, 252.0, 255.0)
    deep = (226.0, 234.0, 246.0)
    two_pi = 2.0 * math.pi
    colx = [0.5 + 0.5 * math.cos(two_pi * (x / BG_W - 0.15)) for x in range(BG_W)]
    rowy = [0.5 + 0.5 * math.cos(two_pi * (y / BG_H - 0.1)) for y in range(BG_H)]
    # Ripples: rings around a centre, fading with distance; they end well
    # inside the picture so the tiling stays seamless.
    cx, cy, reach, spacing = 720.0, 330.0, 300.0, 28.0
    # A radar sweep: a soft wedge that is strongest at its leading edge.
    lead, trail, edge = math.radians(-70.0), math.radians(55.0), math.radians(3.0)
    ripple_colour = (196.0, 212.0, 236.0)
    bayer = [[(v + 0.5) / 16.0 for v in row] for row in _BAYER4]
    words = []
    append = words.append
    for y in range(BG_H - 1, -1, -1):          # bottom-up rows
        ty = rowy[y]
        brow = bayer[y & 3]
        dy2 = (y - cy) ** 2
        near_rings = dy2 < (reach + 2) ** 2
        for x in range(BG_W):
            t = 1.0 - (0.55 * colx[x] + 0.45 * ty)
            r = light[0] + (deep[0] - light[0]) * t
            g = light[1] + (deep[1] - light[1]) * t
            b = light[2] + (deep[2] - light[2]) * t
            if near_rings:
                d = math.sqrt((x - cx) ** 2 + dy2)
                if d < reach:
                    fade = 1.0 - d / reach
                    phase = (d % spacing) / spacing
                    ring = max(0.0, 1.0 - abs(phase - 0.5) * 10.0)
                    k = 0.35 * ring * fade * fade + 0.10 * fade * fade
                    behind = (lead - math.atan2(y - cy, x - cx) + math.pi) % two_pi - math.pi
                    if 0.0 <= behind < trail:
                        k += 0.30 * (1.0 - behind / trail) ** 2 * fade
                    elif -edge < behind < 0.0:
                        k += 0.30 * (1.0 + behind / edge) * fade
                    r += (ripple_colour[0] - r) * k
                    g += (ripple_colour[1] - g) * k
                    b += (ripple_colour[2] - b) * k
            o = brow[x & 3]
            r5 = int(r * (31.0 / 255.0) + o)
            g5 = int(g * (31.0 / 255.0) + o)
            b5 = int(b * (31.0 / 255.0) + o)
            append(((r5 if r5 < 31 else 31) << 10) | ((g5 if g5 < 31 else 31) << 5) | (b5 if b5 < 31 else 31))
    pixels = struct.pack("<%dH" % len(words), *words)
    return bmp_file(BG_W, BG_H, 16, pixels)


# ---------------------------------------------------------------- main

# The program icon in every size the system asks for from 100 to 200
# percent (title bar, taskbar, Start menu, Explorer); the blink icon only in
# the notification area's sizes.
PROGRAM_ICON_SIZES = (256, 48, 32, 24, 20, 16)
BLINK_ICON_SIZES = (32, 24, 20, 16)

def generate(outdir):
    os.makedirs(outdir, exist_ok=True)
    normal, hot = toolbar_strips()
    normal150, hot150 = toolbar_strips(1.5)
    normal200, hot200 = toolbar_strips(2.0)
    program = [icon_image(size, False) for size in PROGRAM_ICON_SIZES]
    blink = [icon_image(size, True) for size in BLINK_ICON_SIZES]
    program16 = [icon_image(32, False, True), icon_image(16, False, True)]
    blink16 = [icon_image(32, True, True), icon_image(16, True, True)]
    files = {
        "toolbar_normal.bmp": normal,
        "toolbar_hot.bmp": hot,
        "status_images.bmp": status_strip(),
        "status_images_24.bmp": status_strip_scaled(24),
        "status_images_32.bmp": status_strip_scaled(32),
        "toolbar_normal_150.bmp": normal150,
        "toolbar_hot_150.bmp": hot150,
        "toolbar_normal_200.bmp": normal200,
        "toolbar_hot_200.bmp": hot200,
        "halvorsight.ico": ico_file(program16, program),
        "blink.ico": ico_file(blink16, blink),
        "about.ico": ico_file(program16[:1], [icon_image(32, False)]),
        "background.bmp": background(),
        "empty_background.bmp": empty_background(),
    }
    for name in sorted(files):
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(files[name])


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: gen_images.py <outdir>\n")
        return 2
    generate(argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
