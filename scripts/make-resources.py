#!/usr/bin/python3
"""Draws the program's own pictures into resources/: the placeholder picture, the hatch pattern
tiles and the samples that new signature, fingerprint and barcode objects show.

Only the standard library is used, so the pictures can be remade anywhere:
    /usr/bin/python3 scripts/make-resources.py
"""

import math
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "resources")
SUBSAMPLES = 4  # per axis; edges get smooth coverage instead of jagged steps
INK = (34, 34, 38, 255)


def write_png(path, width, height, pixels):
    """pixels: rows of (r, g, b, a) tuples."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # filter type: none
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(png)
    os.replace(tmp, path)


def render(width, height, layers, background=(0, 0, 0, 0)):
    """layers: (inside(x, y) -> bool, (r, g, b, a)) painted in order, source-over, supersampled."""
    rows = []
    n = SUBSAMPLES
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(n):
                for sx in range(n):
                    x, y = px + (sx + 0.5) / n, py + (sy + 0.5) / n
                    r, g, b, a = (c / 255.0 for c in background)
                    r, g, b = r * a, g * a, b * a
                    for inside, colour in layers:
                        if inside(x, y):
                            cr, cg, cb, ca = (c / 255.0 for c in colour)
                            r = cr * ca + r * (1 - ca)
                            g = cg * ca + g * (1 - ca)
                            b = cb * ca + b * (1 - ca)
                            a = ca + a * (1 - ca)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            samples = n * n
            a = acc[3] / samples
            if a <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(min(1.0, c / samples / a) * 255) for c in acc[:3]) + (round(a * 255),))
        rows.append(row)
    return rows


def periodic(value, period):
    return value % period


# Hatch tiles: every predicate is periodic in the tile size, so the tiles join without seams.
def hatch_patterns():
    size = 16
    half_width = 0.75

    def diagonal_up(x, y):  # "/" lines
        d = periodic(x + y, 8)
        return min(d, 8 - d) / math.sqrt(2) < half_width

    def diagonal_down(x, y):  # "\" lines
        d = periodic(x - y, 8)
        return min(d, 8 - d) / math.sqrt(2) < half_width

    def horizontal(x, y):
        return 3 <= periodic(y, 8) < 4

    def vertical(x, y):
        return 3 <= periodic(x, 8) < 4

    def dots(x, y):
        # Staggered rows of round dots.
        for cx, cy in ((4, 4), (12, 4), (0, 12), (8, 12), (16, 12)):
            dx = min(abs(x - cx), size - abs(x - cx))
            dy = min(abs(y - cy), size - abs(y - cy))
            if dx * dx + dy * dy <= 2.0 * 2.0:
                return True
        return False

    def bricks(x, y):
        # Courses 8 high, bricks 16 long, every second course offset by half a brick.
        if periodic(y, 8) < 1:
            return True
        joint = 0 if periodic(y, 16) < 8 else 8
        return periodic(x - joint, 16) < 1

    return {
        "Lines": [(diagonal_up, INK)],
        "Cross_Hatch": [(diagonal_up, INK), (diagonal_down, INK)],
        "Dots": [(dots, INK)],
        "Bricks": [(bricks, INK)],
        "Horizontal": [(horizontal, INK)],
        "Vertical": [(vertical, INK)],
    }, size


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    return inside


def placeholder():
    """A light grey card with a framed landscape (hills and a sun): no picture chosen yet."""
    size = 128
    frame_out = rounded_rect(28, 34, 100, 94, 5)
    frame_in = rounded_rect(33, 39, 95, 89, 2)

    def frame(x, y):
        return frame_out(x, y) and not frame_in(x, y)

    def inside_frame(x, y):
        return frame_in(x, y)

    def sun(x, y):
        return inside_frame(x, y) and (x - 80) ** 2 + (y - 52) ** 2 <= 6.5 ** 2

    def far_hill(x, y):  # broad peak on the right
        return inside_frame(x, y) and y >= 89 - (34 - abs(x - 74) * 0.9)

    def near_hill(x, y):  # steeper peak on the left, in front
        return inside_frame(x, y) and y >= 89 - (30 - abs(x - 50) * 1.25)

    layers = [
        (rounded_rect(0, 0, size, size, 12), (214, 217, 222, 255)),
        (rounded_rect(3, 3, size - 3, size - 3, 10), (236, 238, 241, 255)),
        (frame, (168, 172, 180, 255)),
        (inside_frame, (247, 248, 250, 255)),
        (sun, (196, 200, 207, 255)),
        (far_hill, (190, 194, 202, 255)),
        (near_hill, (168, 172, 180, 255)),
    ]
    return render(size, size, layers), size


def catmull_rom(points, steps=12):
    """A smooth curve through `points` ((x, y, half_width) each), as a dense polyline."""
    if len(points) < 2:
        return list(points)
    padded = [points[0]] + list(points) + [points[-1]]
    out = []
    for i in range(1, len(padded) - 2):
        p0, p1, p2, p3 = padded[i - 1], padded[i], padded[i + 1], padded[i + 2]
        for s in range(steps):
            t = s / steps
            t2, t3 = t * t, t * t * t
            out.append(tuple(
                0.5 * (2 * p1[k] + (-p0[k] + p2[k]) * t + (2 * p0[k] - 5 * p1[k] + 4 * p2[k] - p3[k]) * t2
                       + (-p0[k] + 3 * p1[k] - 3 * p2[k] + p3[k]) * t3)
                for k in range(3)))
    out.append(points[-1])
    return out


def stroke_coverage(width, height, strokes):
    """Coverage (0..1) of round-capped strokes; strokes: polylines of (x, y, half_width)."""
    n = SUBSAMPLES
    full = (1 << (n * n)) - 1
    hits = [[0] * width for _ in range(height)]
    for pts in strokes:
        for (x0, y0, r0), (x1, y1, r1) in zip(pts, pts[1:]):
            reach = max(r0, r1) + 1
            dx, dy = x1 - x0, y1 - y0
            length2 = dx * dx + dy * dy
            for py in range(max(0, int(min(y0, y1) - reach)), min(height, int(max(y0, y1) + reach) + 1)):
                row = hits[py]
                for px in range(max(0, int(min(x0, x1) - reach)), min(width, int(max(x0, x1) + reach) + 1)):
                    mask = row[px]
                    if mask == full:
                        continue
                    bit = 1
                    for sy in range(n):
                        y = py + (sy + 0.5) / n
                        for sx in range(n):
                            if not mask & bit:
                                x = px + (sx + 0.5) / n
                                t = 0.0 if length2 == 0 else min(1.0, max(0.0, ((x - x0) * dx + (y - y0) * dy) / length2))
                                r = r0 + (r1 - r0) * t
                                ex, ey = x - (x0 + t * dx), y - (y0 + t * dy)
                                if ex * ex + ey * ey <= r * r:
                                    mask |= bit
                            bit <<= 1
                    row[px] = mask
    samples = n * n
    return [[bin(m).count("1") / samples for m in row] for row in hits]


def compose(width, height, layers, background=(0, 0, 0, 0)):
    """layers: (coverage rows, (r, g, b, a)) painted source-over in order."""
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            r, g, b, a = (c / 255.0 for c in background)
            r, g, b = r * a, g * a, b * a
            for coverage, colour in layers:
                k = coverage[py][px] * colour[3] / 255.0
                if k <= 0:
                    continue
                r = colour[0] / 255.0 * k + r * (1 - k)
                g = colour[1] / 255.0 * k + g * (1 - k)
                b = colour[2] / 255.0 * k + b * (1 - k)
                a = k + a * (1 - k)
            if a <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(min(1.0, c / a) * 255) for c in (r, g, b)) + (round(a * 255),))
        rows.append(row)
    return rows


def signature_sample():
    """A handwritten-looking signature in blue-black ink: a capital, joined loops, an underline."""
    width, height = 240, 96

    def pen(points, light=1.0, heavy=1.9):
        # Pressure rises on down-strokes, as a pen presses harder pulling towards the writer.
        out = []
        for i, (x, y) in enumerate(points):
            nxt = points[min(i + 1, len(points) - 1)]
            prv = points[max(i - 1, 0)]
            down = max(0.0, nxt[1] - prv[1]) / (abs(nxt[0] - prv[0]) + abs(nxt[1] - prv[1]) + 1e-6)
            out.append((x, y, light + (heavy - light) * down))
        return catmull_rom(out)

    capital = pen([(18, 70), (24, 44), (34, 16), (40, 12), (41, 30), (36, 66), (40, 58), (52, 24), (60, 12),
                   (63, 26), (60, 56), (62, 68), (70, 62)])
    body = [(70, 62)]
    x = 74
    for tall in (False, True, True, False, True, False):
        top = 24 if tall else 46
        body += [(x + 4, 54), (x + 9, top + 6), (x + 7, top), (x + 3, top + 3), (x + 4, 52), (x + 8, 64)]
        x += 15
    body += [(x + 6, 56), (x + 14, 44), (x + 20, 50), (x + 18, 62), (x + 26, 60)]
    tail = pen(body)
    underline = catmull_rom([(30, 84, 0.8), (90, 80, 1.5), (160, 78, 1.2), (220, 72, 0.6)])
    dot = catmull_rom([(131, 34, 1.6), (132, 33.5, 1.6)])
    cross = catmull_rom([(52, 40, 0.9), (66, 38, 1.1), (78, 37, 0.7)])
    coverage = stroke_coverage(width, height, [capital, tail, underline, dot, cross])
    return compose(width, height, [(coverage, (24, 36, 96, 255))]), width, height


def fingerprint_sample():
    """Ridges of a whorl pattern inside an oval, with the breaks and ridge endings of a real print."""
    width, height = 120, 150
    cx, cy = 60.0, 72.0
    period = 4.6

    def ridge(x, y):
        ex, ey = (x - 60) / 52.0, (y - 76) / 69.0
        edge = ex * ex + ey * ey
        if edge > 1.0:
            return False
        dx, dy = x - cx, (y - cy) / 1.28
        angle = math.atan2(dy, dx)
        d = math.hypot(dx, dy)
        # A whorl drifts into arches towards the base of the finger.
        lower = max(0.0, (y - cy - 18) / 60.0)
        d = d * (1 - lower) + (y - cy + 0.35 * abs(x - cx)) * lower * 1.1
        d += 1.8 * math.sin(angle * 2 + 0.6) + 0.9 * math.sin(angle * 5 + d * 0.08)
        phase = (d / period) % 1.0
        if phase > 0.46:
            return False
        # Ridge endings and islands.
        if math.sin(angle * 9 + d * 0.37) * math.sin(d * 0.21 + 1.3) > 0.82:
            return False
        # Ink thins out towards the rim.
        return edge < 0.86 or math.sin(x * 0.9) * math.sin(y * 0.7) < 0.4 - (edge - 0.86) * 4

    return render(width, height, [(ridge, (44, 42, 50, 240))]), width, height


def barcode_sample():
    """A readable Interleaved 2 of 5 symbol of "0123" with its caption, on white."""
    width, height = 120, 60
    patterns = {"0": "nnwwn", "1": "wnnnw", "2": "nwnnw", "3": "wwnnn", "4": "nnwnw",
                "5": "wnwnn", "6": "nwwnn", "7": "nnnww", "8": "wnnwn", "9": "nwnwn"}
    narrow, wide = 2, 5
    elements = [(True, "n"), (False, "n"), (True, "n"), (False, "n")]  # start
    text = "0123"
    for i in range(0, len(text), 2):
        bars, spaces = patterns[text[i]], patterns[text[i + 1]]
        for b, s in zip(bars, spaces):
            elements += [(True, b), (False, s)]
    elements += [(True, "w"), (False, "n"), (True, "n")]  # stop
    total = sum(wide if e == "w" else narrow for _, e in elements)
    x = (width - total) // 2
    bars = []
    for is_bar, e in elements:
        w = wide if e == "w" else narrow
        if is_bar:
            bars.append((x, x + w))
        x += w
    bar_cover = [[1.0 if 5 <= py < 41 and any(a <= px < b for a, b in bars) else 0.0 for px in range(width)]
                 for py in range(height)]

    glyphs = {
        "0": [[(3.5 + 3.0 * math.sin(t * math.pi / 12), 5.5 - 5.0 * math.cos(t * math.pi / 12)) for t in range(25)]],
        "1": [[(1.5, 2.5), (4.0, 0.5), (4.0, 10.5)]],
        "2": [[(0.6, 2.8), (1.6, 1.0), (3.5, 0.5), (5.5, 1.1), (6.3, 3.0), (5.6, 5.2), (0.6, 10.5), (6.6, 10.5)]],
        "3": [[(0.6, 1.2), (6.2, 0.5), (3.0, 4.6), (5.4, 5.3), (6.5, 7.4), (5.6, 9.8), (3.4, 10.6), (1.2, 10.1), (0.4, 9.0)]],
    }
    strokes = []
    left = (width - (len(text) * 7 + (len(text) - 1) * 3)) / 2
    for i, ch in enumerate(text):
        ox, oy = left + i * 10, 44.5
        for line in glyphs[ch]:
            strokes.append([(ox + gx, oy + gy, 0.75) for gx, gy in line])
    caption = stroke_coverage(width, height, strokes)
    white = [[1.0] * width for _ in range(height)]
    ink = (0, 0, 0, 255)
    return compose(width, height, [(white, (255, 255, 255, 255)), (bar_cover, ink), (caption, ink)]), width, height


def main():
    patterns, tile = hatch_patterns()
    for name, layers in patterns.items():
        write_png(os.path.join(ROOT, "Fill_Style_Image", name + ".png"), tile, tile, render(tile, tile, layers))
    pixels, size = placeholder()
    write_png(os.path.join(ROOT, "no.png"), size, size, pixels)
    for name, make in (("sign_sample.png", signature_sample), ("fingerprints.png", fingerprint_sample),
                       ("barcode_sample.png", barcode_sample)):
        pixels, width, height = make()
        write_png(os.path.join(ROOT, name), width, height, pixels)


if __name__ == "__main__":
    main()
