#!/usr/bin/env python3
"""Draws the wizard's seven images (PNG, 8-bit RGB or RGBA).

Run from this directory: python3 make_images.py
Only the standard library is used, so the images can be remade anywhere.
"""
import math
import random
import struct
import zlib


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


def rounded_box_distance(x, y, x0, y0, x1, y1, radius):
    """Signed distance from (x, y) to a rounded rectangle (negative inside)."""
    cx = min(max(x, x0 + radius), x1 - radius)
    cy = min(max(y, y0 + radius), y1 - radius)
    return math.hypot(x - cx, y - cy) - radius


def background():
    rnd = random.Random(7)
    rows = []
    for y in range(128):
        row = []
        for x in range(128):
            grain = rnd.uniform(-3.0, 3.0)
            fibre = 2.0 * math.sin((x + 2 * y) * 0.21) * math.sin(y * 0.05 + x * 0.02)
            base = 226 + grain + fibre
            row.append((clamp(base), clamp(base + 1), clamp(base - 2), 255))
        rows.append(row)
    return 128, 128, rows


def panels():
    width, height = 958, 472
    boxes = [(14, 10, 302, 460), (318, 10, 944, 460)]
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            d = min(rounded_box_distance(x, y, *b, 14) for b in boxes)
            if d <= 0:
                edge = 1.0 if d < -1.5 else 0.6
                shade = 246 - 6 * (y / height)
                r, g, b = (shade, shade + 1, shade - 2) if edge == 1.0 else (190, 200, 212)
                row.append((clamp(r), clamp(g), clamp(b), 255))
            else:
                shadow = max(0.0, 1.0 - d / 10.0) ** 2
                dy = rounded_box_distance(x, y - 3, *boxes[0], 14)
                dy = min(dy, rounded_box_distance(x, y - 3, *boxes[1], 14))
                shadow = max(shadow, max(0.0, 1.0 - dy / 8.0) ** 2)
                row.append((70, 80, 95, clamp(110 * shadow)))
        rows.append(row)
    return width, height, rows


def logo():
    size_w, size_h = 72, 70
    rows = []
    for y in range(size_h):
        row = []
        for x in range(size_w):
            r, g, b = 236, 236, 235
            d = math.hypot(x - 36, y - 35)
            if d < 31:
                r, g, b = 0, 60, 116
            if d < 27:
                r, g, b = 250, 250, 248
            # a heartbeat trace across the disc
            trace = 35 + (14 if 30 <= x <= 33 else -12 if 34 <= x <= 37 else 0)
            if d < 27 and abs(y - trace) <= 1.5 and 12 <= x <= 60:
                r, g, b = 200, 30, 40
            row.append((r, g, b, 255))
        rows.append(row)
    return size_w, size_h, rows


# 5 x 7 bitmap capitals for the lettering "ВЕСТАР".
GLYPHS = {
    "В": ["1111 ", "1   1", "1   1", "1111 ", "1   1", "1   1", "1111 "],
    "Е": ["11111", "1    ", "1    ", "1111 ", "1    ", "1    ", "11111"],
    "С": [" 111 ", "1   1", "1    ", "1    ", "1    ", "1   1", " 111 "],
    "Т": ["11111", "  1  ", "  1  ", "  1  ", "  1  ", "  1  ", "  1  "],
    "А": [" 111 ", "1   1", "1   1", "11111", "1   1", "1   1", "1   1"],
    "Р": ["1111 ", "1   1", "1   1", "1111 ", "1    ", "1    ", "1    "],
}


def title():
    width, height = 500, 66
    ground = (236, 236, 235)
    rows = [[ground + (255,) for _ in range(width)] for _ in range(height)]
    cell, gap = 7, 12
    word = "ВЕСТАР"
    text_w = len(word) * 5 * cell + (len(word) - 1) * gap
    left, top = (width - text_w) // 2, (height - 7 * cell) // 2
    for i, ch in enumerate(word):
        gx = left + i * (5 * cell + gap)
        for gy, line in enumerate(GLYPHS[ch]):
            for cx, bit in enumerate(line):
                if bit != "1":
                    continue
                for y in range(top + gy * cell, top + (gy + 1) * cell):
                    for x in range(gx + cx * cell, gx + (cx + 1) * cell):
                        rows[y][x] = (0, 60, 116, 255)
    rows[0][0] = ground + (255,)
    return width, height, rows


def title_band_piece(width, left_round, right_round):
    height = 100
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            inside = 8 <= y <= 90
            d = -1.0
            if left_round:
                d = rounded_box_distance(x, y, 8, 8, 60, 90, 14)
            if right_round:
                d = rounded_box_distance(x, y, -40, 8, width - 9, 90, 14)
            if inside and d <= 0:
                shade = 236 + 6 * (1 - y / height) - (1 if y > 60 else 0)
                row.append((clamp(shade), clamp(shade), clamp(shade - 1), 255))
            else:
                shadow = 0.0
                if y > 90 and (d <= 6 or not (left_round or right_round)):
                    shadow = max(0.0, 1.0 - (y - 90) / 8.0)
                row.append((70, 80, 95, clamp(90 * shadow)))
        rows.append(row)
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
