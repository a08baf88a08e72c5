#!/usr/bin/env python3
"""Draws the setup program's artwork and writes it into the resource tree.

    make_art.py [--out ROOT]   write the files below ROOT (default: the repository)
    make_art.py --check ROOT   draw into a temporary folder and compare with the
                               files below ROOT; exit status 1 on any difference

Files written, relative to ROOT:
    resources/icon/setup.ico            256 (PNG), 48, 32 and 16 pixel images, 32 bpp
    resources/bitmaps/OPENFOLDER.bmp    16x16, 4 bpp    folder list, open folder
    resources/bitmaps/CLOSEDFOLDER.bmp  16x16, 4 bpp    folder list, subfolder
    resources/bitmaps/FIXEDDRIVE.bmp    16x11, 4 bpp    drive selector, fixed disk
    resources/bitmaps/REMOVABLEDRIVE.bmp 16x10, 4 bpp   drive selector, portable drive
    resources/payload/Logo.bmp          120x260, 24 bpp  left panel of the wizard
    resources/payload/LogoSmall.bmp     34x34, 24 bpp    right end of the white banner

Everything is drawn from geometry (signed distance functions give the
anti-aliased edges), so no fonts or image libraries are needed. Only
+ - * / and sqrt are used per pixel, which IEEE 754 rounds exactly, so the
output is the same on every machine. The one exception is the deflate stream
inside the 256 pixel PNG, which depends on the zlib build; --check therefore
compares the decoded pixels of PNG images instead of their bytes.
"""

import math
import os
import struct
import sys
import tempfile
import zlib

# ---------------------------------------------------------------------------
# Colours

WHITE = (255, 255, 255)
BG_GREEN = (0, 150, 110)  # the green of the Bulgarian flag
BG_RED = (214, 38, 18)  # the red of the Bulgarian flag
INK = (38, 52, 70)  # heading letters on the page
LINE_GREY = (160, 170, 182)  # text lines on the page
PAGE_EDGE = (120, 132, 146)
FOLD = (214, 221, 229)


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def vgrad(y0, c0, y1, c1):
    """Colour function: vertical linear gradient from c0 at y0 to c1 at y1."""
    span = y1 - y0

    def colour(_x, y):
        return mix(c0, c1, clamp01((y - y0) / span))

    return colour


# ---------------------------------------------------------------------------
# Shapes: each has sdf(x, y) (negative inside, in pixels) and a bounding box
# (x0, y0, x1, y1) outside of which the shape is certainly empty.


class Circle:
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r
        self.bbox = (cx - r, cy - r, cx + r, cy + r)

    def sdf(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        return math.sqrt(dx * dx + dy * dy) - self.r


class RoundRect:
    def __init__(self, x0, y0, x1, y1, r=0.0):
        self.cx, self.cy = (x0 + x1) / 2, (y0 + y1) / 2
        self.hx, self.hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
        self.r = r
        self.bbox = (x0, y0, x1, y1)

    def sdf(self, x, y):
        qx = abs(x - self.cx) - self.hx
        qy = abs(y - self.cy) - self.hy
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return math.sqrt(ox * ox + oy * oy) + min(max(qx, qy), 0.0) - self.r


class Polygon:
    """Any simple polygon; `round_` rounds its corners by that radius (the
    vertices are then taken as the polygon shrunk by the radius)."""

    def __init__(self, pts, round_=0.0):
        self.pts = pts
        self.r = round_
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        self.bbox = (min(xs) - round_, min(ys) - round_, max(xs) + round_, max(ys) + round_)

    def sdf(self, x, y):
        pts = self.pts
        n = len(pts)
        vx, vy = pts[0]
        d = (x - vx) * (x - vx) + (y - vy) * (y - vy)
        s = 1.0
        j = n - 1
        for i in range(n):
            ix, iy = pts[i]
            jx, jy = pts[j]
            ex, ey = jx - ix, jy - iy
            wx, wy = x - ix, y - iy
            t = clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey))
            bx, by = wx - ex * t, wy - ey * t
            dd = bx * bx + by * by
            if dd < d:
                d = dd
            c1 = y >= iy
            c2 = y < jy
            c3 = ex * wy > ey * wx
            if (c1 and c2 and c3) or not (c1 or c2 or c3):
                s = -s
            j = i
        return s * math.sqrt(d) - self.r


def _seg_dist(x, y, ax, ay, bx, by):
    ex, ey = bx - ax, by - ay
    wx, wy = x - ax, y - ay
    t = clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey))
    dx, dy = wx - ex * t, wy - ey * t
    return math.sqrt(dx * dx + dy * dy)


class Stroke:
    """A pen of width w moved along straight segments and half circles.

    Parts are ('line', [(x, y), ...]) polylines and ('bowl', cx, cy, r): the
    right half of a circle, open to the left, as in the letters Б and В."""

    def __init__(self, parts, w):
        self.parts = parts
        self.hw = w / 2
        xs, ys = [], []
        for p in parts:
            if p[0] == "line":
                xs += [q[0] for q in p[1]]
                ys += [q[1] for q in p[1]]
            else:
                _, cx, cy, r = p
                xs += [cx, cx + r]
                ys += [cy - r, cy + r]
        h = self.hw
        self.bbox = (min(xs) - h, min(ys) - h, max(xs) + h, max(ys) + h)

    def sdf(self, x, y):
        best = 1e9
        for p in self.parts:
            if p[0] == "line":
                pts = p[1]
                for k in range(len(pts) - 1):
                    d = _seg_dist(x, y, pts[k][0], pts[k][1], pts[k + 1][0], pts[k + 1][1])
                    if d < best:
                        best = d
            else:
                _, cx, cy, r = p
                if x >= cx:
                    dx, dy = x - cx, y - cy
                    d = abs(math.sqrt(dx * dx + dy * dy) - r)
                else:
                    dx, dy1, dy2 = x - cx, y - cy + r, y - cy - r
                    d = math.sqrt(dx * dx + min(dy1 * dy1, dy2 * dy2))
                if d < best:
                    best = d
        return best - self.hw


class Moved:
    def __init__(self, shape, dx, dy):
        self.shape, self.dx, self.dy = shape, dx, dy
        b = shape.bbox
        self.bbox = (b[0] + dx, b[1] + dy, b[2] + dx, b[3] + dy)

    def sdf(self, x, y):
        return self.shape.sdf(x - self.dx, y - self.dy)


class InnerEdge:
    """A band of width w just inside the shape's outline; with edges on pixel
    boundaries a 1 pixel band covers whole pixels and stays crisp."""

    def __init__(self, shape, w):
        self.shape, self.hw = shape, w / 2
        self.bbox = shape.bbox

    def sdf(self, x, y):
        return abs(self.shape.sdf(x, y) + self.hw) - self.hw


class Clipped:
    """The part of `shape` that lies inside `clip`."""

    def __init__(self, shape, clip):
        self.shape, self.clip = shape, clip
        a, b = shape.bbox, clip.bbox
        self.bbox = (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))

    def sdf(self, x, y):
        return max(self.shape.sdf(x, y), self.clip.sdf(x, y))


# ---------------------------------------------------------------------------
# Canvas: premultiplied RGBA in floats, 0..1


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [0.0] * (w * h * 4)

    def paint(self, shape, colour, opacity=1.0, soft=0.0):
        """Composites `colour` (RGB tuple, or function of x, y) over the canvas
        where `shape` is; `soft` > 0 blurs the edge over that many pixels on
        each side (for shadows and glows)."""
        x0, y0, x1, y1 = shape.bbox
        m = 1.0 + soft
        ix0 = max(0, int(math.floor(x0 - m)))
        iy0 = max(0, int(math.floor(y0 - m)))
        ix1 = min(self.w, int(math.ceil(x1 + m)))
        iy1 = min(self.h, int(math.ceil(y1 + m)))
        fixed = None if callable(colour) else tuple(c / 255.0 for c in colour)
        px = self.px
        for j in range(iy0, iy1):
            y = j + 0.5
            for i in range(ix0, ix1):
                x = i + 0.5
                d = shape.sdf(x, y)
                if soft > 0.0:
                    t = clamp01((soft - d) / (2.0 * soft))
                    cov = t * t * (3.0 - 2.0 * t)
                else:
                    cov = clamp01(0.5 - d)
                if cov <= 0.0:
                    continue
                a = cov * opacity
                if fixed is None:
                    c = colour(x, y)
                    r, g, b = c[0] / 255.0, c[1] / 255.0, c[2] / 255.0
                else:
                    r, g, b = fixed
                k = (j * self.w + i) * 4
                inv = 1.0 - a
                px[k] = r * a + px[k] * inv
                px[k + 1] = g * a + px[k + 1] * inv
                px[k + 2] = b * a + px[k + 2] * inv
                px[k + 3] = a + px[k + 3] * inv

    def fill(self, colour):
        self.paint(RoundRect(0, 0, self.w, self.h), colour)

    def rgba_rows(self):
        """Rows top to bottom, each a list of (r, g, b, a) bytes, straight alpha."""
        rows = []
        for j in range(self.h):
            row = []
            for i in range(self.w):
                k = (j * self.w + i) * 4
                a = self.px[k + 3]
                a8 = int(a * 255.0 + 0.5)
                if a8 == 0:
                    row.append((0, 0, 0, 0))
                    continue
                row.append(
                    tuple(min(255, int(self.px[k + c] / a * 255.0 + 0.5)) for c in range(3)) + (a8,)
                )
            rows.append(row)
        return rows


# ---------------------------------------------------------------------------
# Letters, drawn as strokes in a box whose cap height is 100 units


def glyph_parts(ch):
    """Centre lines of a capital letter, cap height 100, left edge at 0.
    Returns (parts, advance width)."""
    if ch == "А":
        return [("line", [(0, 100), (38, 0), (76, 100)]), ("line", [(15, 62), (61, 62)])], 76
    if ch == "Б":
        return [
            ("line", [(58, 0), (0, 0), (0, 100), (34, 100)]),
            ("line", [(0, 46), (34, 46)]),
            ("bowl", 34, 73, 27),
        ], 61
    if ch == "В":
        return [
            ("line", [(30, 0), (0, 0), (0, 100), (34, 100)]),
            ("line", [(0, 46), (34, 46)]),
            ("bowl", 30, 23, 23),
            ("bowl", 34, 73, 27),
        ], 61
    raise ValueError(ch)


def word_stroke(text, x, y, cap, pen, gap=22):
    """A Stroke for `text` with its top-left at (x, y) and the given cap
    height and pen width in pixels; the pen stays inside the letter box."""
    k = (cap - pen) / 100.0
    ox, oy = x + pen / 2, y + pen / 2
    parts = []
    for ch in text:
        ps, adv = glyph_parts(ch)
        for p in ps:
            if p[0] == "line":
                parts.append(("line", [(ox + u * k, oy + v * k) for u, v in p[1]]))
            else:
                parts.append(("bowl", ox + p[1] * k, oy + p[2] * k, p[3] * k))
        ox += (adv + gap) * k + pen
    return Stroke(parts, pen)


def word_width(text, cap, pen, gap=22):
    k = (cap - pen) / 100.0
    return sum(glyph_parts(ch)[1] * k + pen for ch in text) + gap * k * (len(text) - 1)


def zigzag(x0, x1, y, amp, step):
    """Points of a wave from x0 to x1 around height y (the spelling-error mark)."""
    pts = []
    n = max(2, int(round((x1 - x0) / step)))
    for k in range(n + 1):
        pts.append((x0 + (x1 - x0) * k / n, y + (amp if k % 2 else -amp)))
    return pts


# ---------------------------------------------------------------------------
# The icon: a page of text with one word marked as misspelt and a green check
# badge. Drawn large from a 256 unit design, and from hand-fitted layouts at
# small sizes so that edges fall on whole pixels.


def page_outline(l, t, r, b, fold, rad):
    """Page with the top-right corner folded over; rounded by rad."""
    return Polygon(
        [(l + rad, t + rad), (r - fold, t + rad), (r - rad, t + fold), (r - rad, b - rad), (l + rad, b - rad)],
        rad,
    )


def fold_flap(r, t, fold, rad):
    return Polygon([(r - fold + rad * 0.4, t + rad), (r - fold + rad * 0.4, t + fold - rad), (r - rad, t + fold - rad)], rad * 0.6)


def draw_page(cv, l, t, r, b, fold, rad, edge_w, shadow):
    page = page_outline(l, t, r, b, fold, rad)
    if shadow:
        dy, blur, alpha = shadow
        cv.paint(Moved(page, 0, dy), (0, 0, 0), alpha, soft=blur)
    cv.paint(page, vgrad(t, WHITE, b, (236, 240, 244)))
    cv.paint(InnerEdge(page, edge_w), PAGE_EDGE)
    flap = fold_flap(r, t, fold, rad)
    cv.paint(Moved(flap, -edge_w * 0.5, edge_w * 0.5), (0, 0, 0), 0.12, soft=max(1.0, fold * 0.08))
    cv.paint(flap, FOLD)
    cv.paint(InnerEdge(flap, edge_w), PAGE_EDGE)


def draw_badge(cv, cx, cy, r, ring, check_pts, check_w, shadow=True):
    if shadow:
        cv.paint(Circle(cx, cy + r * 0.08, r + ring), (0, 0, 0), 0.28, soft=max(1.0, r * 0.12))
    cv.paint(Circle(cx, cy, r + ring), WHITE)
    cv.paint(Circle(cx, cy, r), vgrad(cy - r, (30, 182, 138), cy + r, (0, 116, 84)))
    # a soft highlight on the upper half gives the badge some volume
    cv.paint(Clipped(Circle(cx, cy - r * 0.35, r * 0.8), Circle(cx, cy, r)), WHITE, 0.10)
    cv.paint(Stroke([("line", check_pts)], check_w), WHITE)


def draw_icon_large(cv, ox, oy, size):
    """Full design on a 256 unit grid, used from 40 pixels up."""
    s = size / 256.0

    def P(v):
        return v * s

    l, t, r, b = ox + P(40), oy + P(14), ox + P(194), oy + P(234)
    draw_page(cv, l, t, r, b, P(46), P(10), max(1.0, P(3)), (P(5), max(1.0, P(8)), 0.30))

    # heading: three Cyrillic capitals
    cap, pen = P(40), max(1.0, P(9))
    cv.paint(word_stroke("АБВ", l + P(22), t + P(24), cap, pen), INK)

    # text lines; the second carries a word marked as misspelt
    lw = max(1.0, P(11))
    x0 = l + P(22)
    rows = [(100, 130), (126, 62), (152, 76), (178, 54), (204, 40)]
    for k, (yy, length) in enumerate(rows):
        y = oy + P(yy)
        if k == 1:
            cv.paint(RoundRect(x0, y - lw / 2, x0 + P(30), y + lw / 2, lw / 2), LINE_GREY)
            wx0, wx1 = x0 + P(40), x0 + P(30 + 10 + 74)
            cv.paint(RoundRect(wx0, y - lw / 2, wx1, y + lw / 2, lw / 2), LINE_GREY)
            wave = zigzag(wx0, wx1, y + lw / 2 + P(8), P(3.5), P(7.5))
            cv.paint(Stroke([("line", wave)], max(1.0, P(4))), BG_RED)
        else:
            cv.paint(RoundRect(x0, y - lw / 2, x0 + P(length), y + lw / 2, lw / 2), LINE_GREY)

    cx, cy, rr = ox + P(186), oy + P(186), P(50)
    check = [(cx - P(24), cy + P(2)), (cx - P(7), cy + P(20)), (cx + P(24), cy - P(16))]
    draw_badge(cv, cx, cy, rr, max(1.0, P(7)), check, max(1.5, P(14)))


def pixel_wave(cv, x0, x1, y):
    """The spelling-error mark at small sizes: pixels alternating between two
    rows, as word processors draw it on screen."""
    for x in range(x0, x1):
        yy = y + (x - x0) % 2
        cv.paint(RoundRect(x, yy, x + 1, yy + 1), BG_RED)


def draw_icon_32(cv, ox, oy):
    """32 pixel layout: page, heading bar, text lines with the red mark, badge."""
    l, t, r, b = ox + 4, oy + 1, ox + 24, oy + 30
    draw_page(cv, l, t, r, b, 6, 1.5, 1.0, (0.8, 1.2, 0.25))
    cv.paint(RoundRect(l + 3, t + 4, l + 12, t + 7, 0.5), INK)
    cv.paint(RoundRect(l + 3, t + 10, l + 7, t + 12), LINE_GREY)
    cv.paint(RoundRect(l + 9, t + 10, l + 15, t + 12), LINE_GREY)
    pixel_wave(cv, l + 9, l + 15, t + 13)
    for y, length in ((t + 17, 12), (t + 21, 9), (t + 25, 6)):
        cv.paint(RoundRect(l + 3, y, l + 3 + length, y + 2), LINE_GREY)
    cx, cy = ox + 23.5, oy + 23.5
    check = [(cx - 4.2, cy + 0.3), (cx - 1.3, cy + 3.2), (cx + 4.2, cy - 2.8)]
    draw_badge(cv, cx, cy, 7.5, 1.2, check, 2.2, shadow=True)


# The check mark of the 16 pixel icon, fitted to the pixel grid by hand:
# '#' green, '+' half-covered green; a white rim is added around it.
CHECK_16 = [
    ".......+#",
    "......+##",
    "#+...+##+",
    "##+.+##+.",
    "+##+##+..",
    ".+###+...",
    "..+#+....",
]


def draw_icon_16(cv, ox, oy):
    """16 pixel layout: page with a heading and lines, a bold check mark."""
    l, t, r, b = ox + 2, oy + 1, ox + 13, oy + 16
    draw_page(cv, l, t, r, b, 4, 0.8, 1.0, None)
    cv.paint(RoundRect(l + 2, t + 2, l + 6, t + 4), INK)
    for y, length in ((t + 6, 6), (t + 8, 5), (t + 10, 3)):
        cv.paint(RoundRect(l + 2, y, l + 2 + length, y + 1), LINE_GREY)
    cx, cy = ox + 7, oy + 8
    ink = {(i, j) for j, row in enumerate(CHECK_16) for i, ch in enumerate(row) if ch != "."}
    rim = {(i + di, j + dj) for i, j in ink for di, dj in ((-1, 0), (1, 0), (0, -1), (0, 1))} - ink
    for i, j in sorted(rim):
        if 0 <= cx + i < cv.w and 0 <= cy + j < cv.h:
            cv.paint(RoundRect(cx + i, cy + j, cx + i + 1, cy + j + 1), WHITE)
    for j, row in enumerate(CHECK_16):
        for i, ch in enumerate(row):
            if ch != ".":
                cv.paint(RoundRect(cx + i, cy + j, cx + i + 1, cy + j + 1), WHITE)
                cv.paint(RoundRect(cx + i, cy + j, cx + i + 1, cy + j + 1), BG_GREEN, 1.0 if ch == "#" else 0.5)


def draw_icon(cv, ox, oy, size):
    if size >= 40:
        draw_icon_large(cv, ox, oy, size)
    elif size >= 24:
        draw_icon_32(cv, ox + (size - 32) // 2, oy + (size - 32) // 2)
    else:
        draw_icon_16(cv, ox + (size - 16) // 2, oy + (size - 16) // 2)


def icon_canvas(size):
    cv = Canvas(size, size)
    draw_icon(cv, 0, 0, size)
    return cv


# ---------------------------------------------------------------------------
# Wizard pictures


def logo_canvas():
    """120x260, the wizard's left panel: a deep green band with the page and
    badge, the letters АБВ with a red wave under them, and a tricolour edge."""
    w, h = 120, 260
    cv = Canvas(w, h)
    cv.fill(vgrad(0, (12, 140, 104), h, (4, 66, 50)))
    # a soft light behind the page
    cv.paint(Circle(60, 88, 34), WHITE, 0.16, soft=30)
    draw_icon_large(cv, 14, 38, 96)
    cap, pen = 26, 5
    ww = word_width("АБВ", cap, pen)
    x = (w - ww) / 2
    cv.paint(word_stroke("АБВ", x + 0.5, 178 + 1.5, cap, pen), (0, 0, 0), 0.25, soft=1.5)
    cv.paint(word_stroke("АБВ", x, 178, cap, pen), WHITE)
    cv.paint(Stroke([("line", zigzag(x + 2, x + ww - 2, 216, 2.2, 5.0))], 2.4), BG_RED)
    # the flag's three colours as a thin band along the foot of the picture
    for k, c in enumerate((WHITE, BG_GREEN, BG_RED)):
        cv.paint(RoundRect(0, h - 9 + 3 * k, w, h - 6 + 3 * k), c)
    return cv


def logo_small_canvas():
    """34x34 for the white banner: the small icon on white."""
    cv = Canvas(34, 34)
    cv.fill(WHITE)
    draw_icon(cv, 0, 0, 34)
    return cv


# ---------------------------------------------------------------------------
# 16-colour pictures of the drive selector and the folder list. Letters stand
# for palette entries; '.' is the colour drawn as transparent, which must be
# the bottom-left pixel and appears nowhere else.

VGA = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 maroon
    (0x00, 0x80, 0x00),  # 2 green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0x80, 0x80, 0x80),  # 7 grey
    (0xC0, 0xC0, 0xC0),  # 8 silver
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 lime
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta: transparent
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]

KEY = {
    "K": 0,
    "O": 3,
    "N": 4,
    "G": 7,
    "S": 8,
    "L": 10,
    "Y": 11,
    "B": 12,
    ".": 13,
    "W": 15,
}

CLOSED_FOLDER = [
    "................",
    "................",
    "................",
    ".KKKKK..........",
    "KWYYYYK.........",
    "KYYYYYYKKKKKKKK.",
    "KWWWWWWWWWWWWWYK",
    "KWYYYYYYYYYYYYOK",
    "KWYYYYYYYYYYYYOK",
    "KWYYYYYYYYYYYYOK",
    "KWYYYYYYYYYYYYOK",
    "KWYYYYYYYYYYYYOK",
    "KWYYYYYYYYYYYYOK",
    "KOOOOOOOOOOOOOOK",
    ".KKKKKKKKKKKKKK.",
    "................",
]

OPEN_FOLDER = [
    "................",
    "................",
    "................",
    ".KKKKK..........",
    "KWYYYYK.........",
    "KYOOOOOKKKKKKK..",
    "KYOOOOOOOOOOOOK.",
    "KYOKKKKKKKKKKKKK",
    "KYKWWWWWWWWWWWYK",
    "KYKWYYYYYYYYYYOK",
    "KKWYYYYYYYYYYOK.",
    "KKWYYYYYYYYYYOK.",
    "KWYYYYYYYYYYOK..",
    "KWOOOOOOOOOOOK..",
    ".KKKKKKKKKKKKK..",
    "................",
]

FIXED_DRIVE = [
    "................",
    "..KKKKKKKKKKKK..",
    ".KWWWWWWWWWWWSK.",
    "KWWWWWWWWWWWWSGK",
    "KKKKKKKKKKKKKKKK",
    "KWSSSSSSSSSSSSGK",
    "KWLLSSSSSSGGGSGK",
    "KWSSSSSSSSSSSSGK",
    "KGGGGGGGGGGGGGGK",
    ".KKKKKKKKKKKKKK.",
    "................",
]

REMOVABLE_DRIVE = [
    "................",
    ".KKKKKKKKKK.....",
    "KBWWBBBBBBNKKKKK",
    "KBWBBBBBBBNKSSSK",
    "KBBBBBBBBBNKKSKK",
    "KBBBBBBBBBNKKSKK",
    "KBBBBBBBBBNKSSSK",
    "KNNNNNNNNNNKKKKK",
    ".KKKKKKKKKK.....",
    "................",
]


def bmp4(rows):
    """Uncompressed 4 bpp bottom-up BMP with the 16-colour palette."""
    h, w = len(rows), len(rows[0])
    stride = ((w * 4 + 31) // 32) * 4
    body = bytearray()
    for row in reversed(rows):
        assert len(row) == w, row
        idx = [KEY[c] for c in row] + [0] * (stride * 2 - w)
        for k in range(0, stride * 2, 2):
            body.append((idx[k] << 4) | idx[k + 1])
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    return bmp_file(w, h, 4, palette, bytes(body))


def bmp24(cv):
    """Uncompressed 24 bpp bottom-up BMP of an opaque canvas."""
    stride = ((cv.w * 3 + 3) // 4) * 4
    body = bytearray()
    for row in reversed(cv.rgba_rows()):
        line = bytearray()
        for r, g, b, _a in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        body += line
    return bmp_file(cv.w, cv.h, 24, b"", bytes(body))


def bmp_file(w, h, bpp, palette, body):
    colours = len(palette) // 4
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, len(body), 2835, 2835, colours, 0)
    offset = 14 + len(info) + len(palette)
    head = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    return head + info + palette + body


# ---------------------------------------------------------------------------
# Icon file


def png(rows):
    w, h = len(rows[0]), len(rows)
    raw = bytearray()
    prev = bytes(w * 4)
    for row in rows:
        cur = bytes(v for px in row for v in px)
        # pick the filter with the smallest sum of absolute differences
        best = None
        for ftype in range(5):
            line = png_filter(ftype, cur, prev)
            score = sum(v if v < 128 else 256 - v for v in line)
            if best is None or score < best[0]:
                best = (score, ftype, line)
        raw.append(best[1])
        raw += best[2]
        prev = cur

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))

    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")


def png_filter(ftype, cur, prev):
    n = len(cur)
    out = bytearray(n)
    for i in range(n):
        a = cur[i - 4] if i >= 4 else 0
        b = prev[i]
        c = prev[i - 4] if i >= 4 else 0
        if ftype == 0:
            p = 0
        elif ftype == 1:
            p = a
        elif ftype == 2:
            p = b
        elif ftype == 3:
            p = (a + b) >> 1
        else:
            pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
            p = a if pa <= pb and pa <= pc else b if pb <= pc else c
        out[i] = (cur[i] - p) & 0xFF
    return out


def png_unfilter(data, w, h):
    """Decoded RGBA bytes of an 8-bit RGBA PNG image stream (for --check)."""
    out = bytearray()
    stride = w * 4
    prev = bytes(stride)
    pos = 0
    for _ in range(h):
        ftype = data[pos]
        line = bytearray(data[pos + 1 : pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if ftype == 1:
                line[i] = (line[i] + a) & 0xFF
            elif ftype == 2:
                line[i] = (line[i] + b) & 0xFF
            elif ftype == 3:
                line[i] = (line[i] + ((a + b) >> 1)) & 0xFF
            elif ftype == 4:
                pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        out += line
        prev = bytes(line)
    return bytes(out)


def icon_dib(rows):
    """32 bpp DIB of an icon image: BGRA bottom-up, then the AND mask (set
    where the pixel is fully transparent)."""
    h, w = len(rows), len(rows[0])
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mstride = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mstride)
        for i, px in enumerate(row):
            if px[3] == 0:
                line[i >> 3] |= 0x80 >> (i & 7)
        mask += line
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def ico(images):
    """images: list of (size, bytes); sizes of 256 are written as 0."""
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        blobs += data
    return head + entries + blobs


def setup_icon():
    images = []
    for size in (256, 48, 32, 16):
        rows = icon_canvas(size).rgba_rows()
        images.append((size, png(rows) if size == 256 else icon_dib(rows)))
    return ico(images)


# ---------------------------------------------------------------------------
# Driver

OUTPUTS = {
    "resources/icon/setup.ico": setup_icon,
    "resources/bitmaps/OPENFOLDER.bmp": lambda: bmp4(OPEN_FOLDER),
    "resources/bitmaps/CLOSEDFOLDER.bmp": lambda: bmp4(CLOSED_FOLDER),
    "resources/bitmaps/FIXEDDRIVE.bmp": lambda: bmp4(FIXED_DRIVE),
    "resources/bitmaps/REMOVABLEDRIVE.bmp": lambda: bmp4(REMOVABLE_DRIVE),
    "resources/payload/Logo.bmp": lambda: bmp24(logo_canvas()),
    "resources/payload/LogoSmall.bmp": lambda: bmp24(logo_small_canvas()),
}


def write_all(root):
    for rel, make in OUTPUTS.items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(make())


def ico_images(data):
    """The images of an icon file as comparable values: PNG images by their
    decoded pixels, others by their bytes."""
    _, _, count = struct.unpack_from("<HHH", data, 0)
    out = []
    for k in range(count):
        w, h, _, _, _, bpp, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * k)
        blob = data[offset : offset + size]
        if blob.startswith(b"\x89PNG"):
            pw, ph = struct.unpack_from(">II", blob, 16)
            idat, pos = b"", 8
            while pos < len(blob):
                (ln,) = struct.unpack_from(">I", blob, pos)
                if blob[pos + 4 : pos + 8] == b"IDAT":
                    idat += blob[pos + 8 : pos + 8 + ln]
                pos += 12 + ln
            blob = ("png", pw, ph, png_unfilter(zlib.decompress(idat), pw, ph))
        out.append((w, h, bpp, blob))
    return out


def same_output(rel, fresh, stored):
    if fresh == stored:
        return True
    if rel.endswith(".ico"):
        try:
            return ico_images(fresh) == ico_images(stored)
        except (struct.error, zlib.error, IndexError):
            return False
    return False


def check(root):
    bad = []
    with tempfile.TemporaryDirectory() as tmp:
        write_all(tmp)
        for rel in OUTPUTS:
            with open(os.path.join(tmp, rel), "rb") as f:
                fresh = f.read()
            try:
                with open(os.path.join(root, rel), "rb") as f:
                    stored = f.read()
            except OSError:
                bad.append(rel + " (missing)")
                continue
            if not same_output(rel, fresh, stored):
                bad.append(rel)
    for rel in bad:
        print("differs from the generator's output: " + rel, file=sys.stderr)
    return 1 if bad else 0


def main(argv):
    repo = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    if len(argv) == 2 and argv[0] == "--check":
        return check(argv[1])
    if len(argv) == 2 and argv[0] == "--out":
        write_all(argv[1])
        return 0
    if not argv:
        write_all(repo)
        return 0
    print("usage: make_art.py [--out ROOT] | --check ROOT", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
