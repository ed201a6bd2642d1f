#!/usr/bin/env python3
"""Draws the wizard's seven images (PNG, 8-bit RGB or RGBA).

Run from this directory: python3 make_images.py
Only the standard library is used, so the images can be remade anywhere.

The program puts every image on opaque white before drawing it, so what is
transparent here shows white in the window and shadows show as light grey.
The title band, the title lettering, the logo and the two panels share one
ground colour, RGB 236, 236, 235 (the top-left pixel of the title, which the
window also gives to the information panel and the page control), so that
the pieces join without a seam.

Sizes and forms (fixed by the program's drawing rules):
  background.png  128 x 128 RGB    paper tile, repeats without a seam
  main.png        958 x 472 RGBA   two rounded panels with a soft shadow
  logo.png         72 x  70 RGBA   opaque
  title.png       500 x  66 RGBA   opaque, top-left pixel 236, 236, 235
  title_pnl_l.png  22 x 100 RGBA   rounded left end of the title band
  title_pnl_m.png   1 x 100 RGBA   middle slice of the title band
  title_pnl_r.png  22 x 100 RGBA   rounded right end of the title band
"""
import math
import random
import struct
import zlib

GROUND = (236, 236, 235)  # the title's top-left pixel and the panels' face
NAVY = (0, 60, 116)  # the buttons' frame colour
RIM = (196, 204, 214)  # thin edge of the band and the panels
SHADOW = (58, 68, 84)
TRACE_RED = (192, 44, 56)


def write_png(path, width, height, pixels, alpha):
    """pixels: list of rows, each a list of (r, g, b, a) tuples."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a)) if alpha else bytes((r, g, b))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
                + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    """Colour a blended towards b by t (0..1)."""
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def coverage(distance):
    """Share of a pixel covered by a shape at this signed distance (negative inside)."""
    return max(0.0, min(1.0, 0.5 - distance))


def rounded_box_distance(x, y, x0, y0, x1, y1, radius):
    """Signed distance from (x, y) to a rounded rectangle (negative inside)."""
    cx = min(max(x, x0 + radius), x1 - radius)
    cy = min(max(y, y0 + radius), y1 - radius)
    inside_x = x0 + radius <= x <= x1 - radius
    inside_y = y0 + radius <= y <= y1 - radius
    if inside_x and inside_y:
        return -min(x - x0, x1 - x, y - y0, y1 - y)
    return math.hypot(x - cx, y - cy) - radius


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def polyline_distance(px, py, points):
    return min(segment_distance(px, py, *points[i], *points[i + 1])
               for i in range(len(points) - 1))


def arc(cx, cy, rx, ry, start_deg, end_deg, steps=24):
    """Points along an elliptical arc; angles counter-clockwise from +x, y down."""
    return [(cx + rx * math.cos(math.radians(a)), cy - ry * math.sin(math.radians(a)))
            for a in (start_deg + (end_deg - start_deg) * i / steps for i in range(steps + 1))]


# --- paper tile ------------------------------------------------------------

def periodic_noise(rnd, period, cells):
    """Smooth value noise that repeats every `period` pixels in x and y."""
    lattice = [[rnd.uniform(-1.0, 1.0) for _ in range(cells)] for _ in range(cells)]
    step = period / cells

    def smooth(t):
        return t * t * (3 - 2 * t)

    def value(x, y):
        gx, gy = x / step, y / step
        ix, iy = int(gx), int(gy)
        fx, fy = smooth(gx - ix), smooth(gy - iy)
        v00 = lattice[iy % cells][ix % cells]
        v10 = lattice[iy % cells][(ix + 1) % cells]
        v01 = lattice[(iy + 1) % cells][ix % cells]
        v11 = lattice[(iy + 1) % cells][(ix + 1) % cells]
        top = v00 + (v10 - v00) * fx
        bottom = v01 + (v11 - v01) * fx
        return top + (bottom - top) * fy

    return value


def background():
    size = 128
    rnd = random.Random(11)
    clouds = periodic_noise(rnd, size, 4)
    fibres = periodic_noise(rnd, size, 32)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            # Soft clouds, fine fibres stretched along the sheet, a little grain.
            v = 0.7 * clouds(x, y) + 0.9 * fibres(x, (y * 4) % size) + rnd.uniform(-0.9, 0.9)
            base = 250.5 + v
            row.append((clamp(base), clamp(base), clamp(base - 2.5), 255))
        rows.append(row)
    return size, size, rows


# --- panels and title band ---------------------------------------------------

def framed_pixel(distance, shadow_distance, shadow_reach, shadow_strength, rim_width=1.2):
    """A flat face with a thin rim, or its soft shadow outside (RGBA)."""
    face = coverage(distance)
    if face > 0.0:
        rim = coverage(distance + rim_width)  # 0 on the rim, 1 further inside
        colour = mix(GROUND, RIM, 1.0 - rim)
        if face >= 1.0:
            return tuple(clamp(c) for c in colour) + (255,)
    shade = max(0.0, 1.0 - max(0.0, shadow_distance) / shadow_reach) ** 2.2
    shadow_alpha = shadow_strength * shade
    if face <= 0.0:
        return tuple(SHADOW) + (clamp(shadow_alpha),)
    # Edge pixel: the rim over the shadow.
    alpha = face + (1.0 - face) * shadow_alpha / 255.0
    colour = mix(SHADOW, RIM, face / alpha)
    return tuple(clamp(c) for c in colour) + (clamp(255 * alpha),)


def panels():
    width, height = 958, 472
    boxes = [(14, 10, 302, 460), (318, 10, 944, 460)]
    rows = []
    for y in range(height):
        py = y + 0.5
        row = []
        for x in range(width):
            px = x + 0.5
            d = min(rounded_box_distance(px, py, *b, 12) for b in boxes)
            ds = min(rounded_box_distance(px, py - 3, *b, 12) for b in boxes)
            row.append(framed_pixel(d, ds + 2, 11.0, 90.0))
        rows.append(row)
    return width, height, rows


BAND_TOP, BAND_BOTTOM, BAND_RADIUS = 8, 90, 16


def title_band_piece(width, left_end, right_end):
    """One piece of the title band: the band's left end starts at x = 8, its right
    end stops 8 pixels before the piece's right edge; the middle is straight."""
    height = 100
    x0 = 8 if left_end else -1000
    x1 = width - 8 if right_end else width + 1000
    rows = []
    for y in range(height):
        py = y + 0.5
        row = []
        for x in range(width):
            px = x + 0.5
            d = rounded_box_distance(px, py, x0, BAND_TOP, x1, BAND_BOTTOM, BAND_RADIUS)
            ds = rounded_box_distance(px, py - 3, x0, BAND_TOP, x1, BAND_BOTTOM, BAND_RADIUS)
            row.append(framed_pixel(d, ds + 1.5, 8.0, 80.0))
        rows.append(row)
    return width, height, rows


# --- logo ----------------------------------------------------------------------

def logo():
    width, height = 72, 70
    cx, cy = 36.0, 35.0
    trace = [(12, 36), (24, 36), (28, 31), (32, 36), (35, 36), (38, 19), (42, 50),
             (45, 36), (49, 36), (53, 32), (57, 36), (60, 36)]
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            px, py = x + 0.5, y + 0.5
            r = math.hypot(px - cx, py - cy)
            colour = GROUND
            # A light disc in a navy ring.
            disc = coverage(r - 31.0)
            face = mix((250, 251, 252), (232, 240, 248), max(0.0, min(1.0, (py - 6) / 58)))
            colour = mix(colour, NAVY, disc)
            colour = mix(colour, face, coverage(r - 27.5))
            # A heartbeat trace across the disc, faded out towards the ring.
            d = polyline_distance(px, py, trace) - 1.5
            fade = max(0.0, min(1.0, (25.5 - r) / 3.0))
            colour = mix(colour, TRACE_RED, coverage(d) * fade)
            row.append(tuple(clamp(c) for c in colour) + (255,))
        rows.append(row)
    return width, height, rows


# --- title lettering ----------------------------------------------------------

CAP, STROKE = 38.0, 6.4  # cap height and stroke width of the lettering


def glyph_strokes(letter, w):
    """Centre lines of a letter's strokes in a box w x CAP (y down)."""
    s = STROKE / 2
    top, bottom, mid = s, CAP - s, CAP * 0.48
    left, right = s, w - s
    if letter == "В":
        r1 = (mid - top) / 2
        r2 = (bottom - mid) / 2
        upper = [(left, top), (right - 2 - r1, top)] + arc(right - 2 - r1, top + r1, r1, r1, 90, -90) + [(left, mid)]
        lower = [(left, mid), (right - r2, mid)] + arc(right - r2, mid + r2, r2, r2, 90, -90) + [(left, bottom)]
        return [[(left, top), (left, bottom)], upper, lower]
    if letter == "Е":
        return [[(right, top), (left, top), (left, bottom), (right, bottom)],
                [(left, mid), (right - 4, mid)]]
    if letter == "С":
        return [arc(w / 2, CAP / 2, w / 2 - s, CAP / 2 - s, 42, 318, 40)]
    if letter == "Т":
        return [[(0.5, top), (w - 0.5, top)], [(w / 2, top), (w / 2, bottom)]]
    if letter == "А":
        apex = (w / 2, top)
        bar = CAP * 0.66
        t = (bar - top) / (bottom - top)
        return [[(left, bottom), apex, (right, bottom)],
                [(w / 2 + (left - w / 2) * t, bar), (w / 2 + (right - w / 2) * t, bar)]]
    if letter == "Р":
        r = (mid + 2 - top) / 2
        return [[(left, bottom), (left, top), (right - r, top)] + arc(right - r, top + r, r, r, 90, -90)
                + [(left, top + 2 * r)]]
    raise ValueError(letter)


WORD = [("В", 29), ("Е", 25), ("С", 31), ("Т", 29), ("А", 33), ("Р", 28)]
TRACKING = 15


def title():
    width, height = 500, 66
    text_w = sum(w for _, w in WORD) + TRACKING * (len(WORD) - 1)
    left = (width - text_w) / 2
    top = (height - CAP) / 2
    placed = []
    x = left
    for letter, w in WORD:
        strokes = [[(x + px, top + py) for px, py in line] for line in glyph_strokes(letter, w)]
        placed.append((x - 2, x + w + 2, strokes))
        x += w + TRACKING
    rows = []
    for y in range(height):
        py = y + 0.5
        row = []
        for xx in range(width):
            px = xx + 0.5
            colour = GROUND
            if top - 2 <= py <= top + CAP + 2:
                for x0, x1, strokes in placed:
                    if x0 <= px <= x1:
                        d = min(polyline_distance(px, py, line) for line in strokes) - STROKE / 2
                        colour = mix(GROUND, NAVY, coverage(d))
            row.append(tuple(clamp(c) for c in colour) + (255,))
        rows.append(row)
    assert rows[0][0] == GROUND + (255,)
    return width, height, rows


def main():
    images = {
        "background.png": (background(), False),
        "main.png": (panels(), True),
        "logo.png": (logo(), True),
        "title.png": (title(), True),
        "title_pnl_l.png": (title_band_piece(22, True, False), True),
        "title_pnl_m.png": (title_band_piece(1, False, False), True),
        "title_pnl_r.png": (title_band_piece(22, False, True), True),
    }
    for name, ((w, h, rows), alpha) in images.items():
        write_png(name, w, h, rows, alpha)


if __name__ == "__main__":
    main()
