#!/usr/bin/python3
"""Draws the program's own pictures into resources/: the placeholder picture, the hatch pattern
tiles, the samples that new signature, fingerprint and barcode objects show, the frame pictures,
the image library's pictures by category, the wizard's banner and backdrop; and writes the lists of
ready-made titles and messages and the spreadsheet templates that the workbook writers fill
("Template.xlsx", "Template.ods"; only those: `make-resources.py templates`).

Only the standard library is used, so the pictures can be remade anywhere:
    /usr/bin/python3 scripts/make-resources.py
"""

import math
import os
import struct
import sys
import zipfile
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


def premultiplied(colour):
    """A straight 8-bit (r, g, b, a) as a premultiplied [r, g, b, a] in 0..1."""
    r, g, b, a = (c / 255.0 for c in colour)
    return [r * a, g * a, b * a, a]


def paint_over(pixel, colour, coverage=1.0):
    """Paints a straight 8-bit colour at `coverage` source-over onto a premultiplied pixel."""
    k = coverage * colour[3] / 255.0
    if k <= 0:
        return
    for i in range(3):
        pixel[i] = colour[i] / 255.0 * k + pixel[i] * (1 - k)
    pixel[3] = k + pixel[3] * (1 - k)


def straight(r, g, b, a):
    """A premultiplied pixel as straight 8-bit (r, g, b, a)."""
    if a <= 0:
        return (0, 0, 0, 0)
    return tuple(round(min(1.0, c / a) * 255) for c in (r, g, b)) + (round(a * 255),)


def supersampled(px, py, n, sample):
    """The pixel at (px, py) as the mean of n × n samples, straight 8-bit;
    sample(x, y) -> premultiplied [r, g, b, a], or None where the point is clear."""
    acc = [0.0, 0.0, 0.0, 0.0]
    for sy in range(n):
        for sx in range(n):
            pixel = sample(px + (sx + 0.5) / n, py + (sy + 0.5) / n)
            if pixel is not None:
                for i in range(4):
                    acc[i] += pixel[i]
    samples = n * n
    return straight(*(c / samples for c in acc))


def render(width, height, layers, background=(0, 0, 0, 0)):
    """layers: (inside(x, y) -> bool, (r, g, b, a)) painted in order, source-over, supersampled."""

    def sample(x, y):
        pixel = premultiplied(background)
        for inside, colour in layers:
            if inside(x, y):
                paint_over(pixel, colour)
        return pixel

    rows = []
    n = SUBSAMPLES
    for py in range(height):
        row = []
        for px in range(width):
            row.append(supersampled(px, py, n, sample))
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
            pixel = premultiplied(background)
            for coverage, colour in layers:
                paint_over(pixel, colour, coverage[py][px])
            row.append(straight(*pixel))
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


# --- Frames: a decorated band around a clear window, drawn for a 120 x 150 mm card at twice its
# size in points. The window shows the card and what lies on it.
FRAME_W, FRAME_H = 680, 850
FRAME_SUBSAMPLES = 2


def inside_rounded(x, y, x0, y0, x1, y1, radius):
    if not (x0 <= x < x1 and y0 <= y < y1):
        return False
    cx = min(max(x, x0 + radius), x1 - radius)
    cy = min(max(y, y0 + radius), y1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def render_frame(band, paint, window_radius=18):
    """paint(x, y) -> list of (r, g, b, a) layers, bottom first, for a point of the band.
    Points inside the window (inset `band`) are clear; no layer is asked for them."""

    def sample(x, y):
        if inside_rounded(x, y, band, band, FRAME_W - band, FRAME_H - band, window_radius):
            return None
        pixel = [0.0, 0.0, 0.0, 0.0]
        for colour in paint(x, y):
            paint_over(pixel, colour)
        return pixel

    n = FRAME_SUBSAMPLES
    rows = []
    for py in range(FRAME_H):
        row = []
        for px in range(FRAME_W):
            # Well inside the window: clear at once.
            if band + 2 < px < FRAME_W - band - 2 and band + 2 < py < FRAME_H - band - 2 and (
                    inside_rounded(px, py, band + 2, band + 2, FRAME_W - band - 2, FRAME_H - band - 2, window_radius)
                    and inside_rounded(px + 1, py + 1, band + 2, band + 2, FRAME_W - band - 2, FRAME_H - band - 2,
                                       window_radius)):
                row.append((0, 0, 0, 0))
                continue
            row.append(supersampled(px, py, n, sample))
        rows.append(row)
    return rows


def edge_distance(x, y):
    return min(x, y, FRAME_W - x, FRAME_H - y)


def star(cx, cy, outer, inner, points=5, turn=-math.pi / 2):
    corners = []
    for i in range(points * 2):
        radius = outer if i % 2 == 0 else inner
        angle = turn + i * math.pi / points
        corners.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))

    def inside(x, y):
        if abs(x - cx) > outer or abs(y - cy) > outer:
            return False
        hit = False
        j = len(corners) - 1
        for i, (xi, yi) in enumerate(corners):
            xj, yj = corners[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def gold_frame():
    """Cream band between two gold rules, diamonds at the corners and the middles of the sides."""
    band = 46
    cream, gold, light_gold = (251, 247, 236, 255), (190, 150, 62, 255), (222, 194, 120, 255)
    diamonds = [(x, y) for x in (23, FRAME_W / 2, FRAME_W - 23) for y in (23, FRAME_H / 2, FRAME_H - 23)
                if not (x == FRAME_W / 2 and y == FRAME_H / 2)]

    def paint(x, y):
        layers = [cream]
        d = edge_distance(x, y)
        if 6 <= d < 9 or band - 9 <= d < band - 6:
            layers.append(gold)
        if 13 <= d < 14.5 or band - 14.5 <= d < band - 13:
            layers.append(light_gold)
        for cx, cy in diamonds:
            if abs(x - cx) + abs(y - cy) <= 15:
                layers.append(gold if abs(x - cx) + abs(y - cy) > 6 else cream)
        return layers
    return render_frame(band, paint, window_radius=6)


def floral_frame():
    """Blush band with five-petal flowers and leaves at the corners and along the sides."""
    band = 44
    blush, rose, deep, centre, leaf = (248, 229, 233, 255), (236, 160, 178, 255), (214, 112, 140, 255), \
        (250, 214, 120, 255), (128, 168, 120, 255)
    flowers = [(30, 30, 26), (FRAME_W - 30, 30, 26), (30, FRAME_H - 30, 26), (FRAME_W - 30, FRAME_H - 30, 26)]
    for i in range(1, 4):
        flowers += [(FRAME_W * i / 4, 22, 14), (FRAME_W * i / 4, FRAME_H - 22, 14)]
    for i in range(1, 5):
        flowers += [(22, FRAME_H * i / 5, 14), (FRAME_W - 22, FRAME_H * i / 5, 14)]

    def paint(x, y):
        layers = [blush]
        d = edge_distance(x, y)
        if band - 4 <= d < band - 2:
            layers.append(rose)
        for cx, cy, size in flowers:
            dx, dy = x - cx, y - cy
            if abs(dx) > size * 1.9 or abs(dy) > size * 1.9:
                continue
            # Two leaves under the flower, then five petals and a centre.
            for angle in (math.pi / 4, math.pi * 5 / 4):
                lx, ly = cx + math.cos(angle) * size * 1.15, cy + math.sin(angle) * size * 1.15
                u = (x - lx) * math.cos(angle) + (y - ly) * math.sin(angle)
                v = -(x - lx) * math.sin(angle) + (y - ly) * math.cos(angle)
                if (u / (size * 0.75)) ** 2 + (v / (size * 0.32)) ** 2 <= 1:
                    layers.append(leaf)
            for k in range(5):
                angle = -math.pi / 2 + k * 2 * math.pi / 5
                px, py = cx + math.cos(angle) * size * 0.5, cy + math.sin(angle) * size * 0.5
                if (x - px) ** 2 + (y - py) ** 2 <= (size * 0.42) ** 2:
                    layers.append(rose if (x - px) ** 2 + (y - py) ** 2 > (size * 0.22) ** 2 else deep)
            if dx * dx + dy * dy <= (size * 0.22) ** 2:
                layers.append(centre)
        return layers
    return render_frame(band, paint, window_radius=22)


def confetti_frame():
    """Bright confetti scattered over a white band, thinning towards the window."""
    import random
    band = 48
    rng = random.Random(7)
    colours = [(239, 83, 80, 255), (255, 183, 77, 255), (102, 187, 106, 255), (66, 165, 245, 255),
               (171, 71, 188, 255), (255, 238, 88, 255)]
    pieces = []
    while len(pieces) < 260:
        x, y = rng.uniform(0, FRAME_W), rng.uniform(0, FRAME_H)
        d = edge_distance(x, y)
        if d > band - 4 or rng.random() < d / band * 0.6:
            continue
        kind = rng.random()
        pieces.append((x, y, rng.uniform(3.5, 7.5), rng.uniform(0, math.pi), kind, rng.choice(colours)))

    def paint(x, y):
        layers = [(255, 255, 255, 255)]
        if band - 5 <= edge_distance(x, y) < band - 3:
            layers.append((66, 165, 245, 255))
        for cx, cy, size, angle, kind, colour in pieces:
            dx, dy = x - cx, y - cy
            if abs(dx) > size * 2.2 or abs(dy) > size * 2.2:
                continue
            if kind < 0.45:
                if dx * dx + dy * dy <= size * size:
                    layers.append(colour)
            else:
                u = dx * math.cos(angle) + dy * math.sin(angle)
                v = -dx * math.sin(angle) + dy * math.cos(angle)
                if abs(u) <= size * 1.8 and abs(v) <= size * 0.55:
                    layers.append(colour)
        return layers
    return render_frame(band, paint, window_radius=14)


def starry_frame():
    """A night-blue band with gold stars and a fine gold rule around the window."""
    import random
    band = 50
    rng = random.Random(11)
    navy, gold, pale = (28, 38, 84, 255), (236, 196, 92, 255), (246, 226, 160, 255)
    stars = []
    while len(stars) < 70:
        x, y = rng.uniform(0, FRAME_W), rng.uniform(0, FRAME_H)
        if edge_distance(x, y) > band - 14:
            continue
        size = rng.uniform(4, 11)
        stars.append((star(x, y, size, size * 0.42, turn=rng.uniform(0, math.pi)), pale if size < 6 else gold))

    def paint(x, y):
        layers = [navy]
        # A rule that follows the window's rounded corners.
        if inside_rounded(x, y, band - 7, band - 7, FRAME_W - band + 7, FRAME_H - band + 7, 31) and not inside_rounded(
                x, y, band - 4, band - 4, FRAME_W - band + 4, FRAME_H - band + 4, 28):
            layers.append(gold)
        for inside, colour in stars:
            if inside(x, y):
                layers.append(colour)
        return layers
    return render_frame(band, paint, window_radius=24)


def botanical_frame():
    """Sage band with a climbing vine of leaves on every side."""
    band = 42
    sage, vine, leaf, leaf_light = (226, 236, 222, 255), (96, 128, 88, 255), (104, 150, 96, 255), (150, 190, 132, 255)
    leaves = []
    centre_line = band / 2
    for side in range(4):
        length = FRAME_W if side in (0, 2) else FRAME_H
        for k in range(int(length / 34)):
            t = 17 + k * 34
            flip = 1 if k % 2 == 0 else -1
            if side == 0:
                leaves.append((t, centre_line, 0.0, flip))
            elif side == 2:
                leaves.append((t, FRAME_H - centre_line, 0.0, flip))
            elif side == 1:
                leaves.append((FRAME_W - centre_line, t, math.pi / 2, flip))
            else:
                leaves.append((centre_line, t, math.pi / 2, flip))

    def paint(x, y):
        layers = [sage]
        d = edge_distance(x, y)
        if centre_line - 1 <= d < centre_line + 1:
            layers.append(vine)
        for cx, cy, along, flip in leaves:
            if abs(x - cx) > 22 or abs(y - cy) > 22:
                continue
            angle = along + flip * math.pi / 4
            lx, ly = cx + math.cos(angle) * 9 * flip, cy + math.sin(angle) * 9 * flip
            u = (x - lx) * math.cos(angle) + (y - ly) * math.sin(angle)
            v = -(x - lx) * math.sin(angle) + (y - ly) * math.cos(angle)
            if (u / 10) ** 2 + (v / 4.2) ** 2 <= 1:
                layers.append(leaf_light if v > 0 else leaf)
        return layers
    return render_frame(band, paint, window_radius=10)


# --- Image library: small clip-art pictures by category. Some category folders are named in lower
# case, as users name them; the program shows every category capitalised.
LIB = 128


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ellipse(cx, cy, rx, ry, turn=0.0):
    c, s = math.cos(turn), math.sin(turn)

    def inside(x, y):
        dx, dy = x - cx, y - cy
        u, v = dx * c + dy * s, -dx * s + dy * c
        return (u / rx) ** 2 + (v / ry) ** 2 <= 1.0
    return inside


def polygon(corners):
    def inside(x, y):
        hit = False
        j = len(corners) - 1
        for i, (xi, yi) in enumerate(corners):
            xj, yj = corners[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    return inside


def segment(x0, y0, x1, y1, half):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = min(1.0, max(0.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        ex, ey = x - (x0 + t * dx), y - (y0 + t * dy)
        return ex * ex + ey * ey <= half * half
    return inside


def both(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def any_of(*parts):
    return lambda x, y: any(part(x, y) for part in parts)


def cat_picture():
    fur, dark, pink = (236, 150, 64, 255), (60, 44, 38, 255), (238, 140, 150, 255)
    return [
        (polygon([(26, 58), (34, 14), (58, 40)]), fur),
        (polygon([(102, 58), (94, 14), (70, 40)]), fur),
        (polygon([(32, 48), (36, 24), (50, 40)]), pink),
        (polygon([(96, 48), (92, 24), (78, 40)]), pink),
        (ellipse(64, 72, 44, 38), fur),
        (ellipse(48, 66, 6, 8), dark),
        (ellipse(80, 66, 6, 8), dark),
        (polygon([(58, 80), (70, 80), (64, 87)]), pink),
        (segment(64, 87, 56, 94, 1.4), dark),
        (segment(64, 87, 72, 94, 1.4), dark),
        (segment(20, 78, 44, 82, 1.0), dark),
        (segment(108, 78, 84, 82, 1.0), dark),
    ]


def fish_picture():
    body, tail, dark, stripe = (66, 148, 222, 255), (40, 110, 190, 255), (30, 40, 60, 255), (250, 210, 80, 255)
    return [
        (polygon([(86, 64), (118, 38), (118, 90)]), tail),
        (ellipse(58, 64, 46, 30), body),
        (both(ellipse(58, 64, 46, 30), lambda x, y: 50 <= x <= 58), stripe),
        (both(ellipse(58, 64, 46, 30), lambda x, y: 70 <= x <= 76), stripe),
        (circle(30, 58, 6), (255, 255, 255, 255)),
        (circle(31, 58, 3), dark),
    ]


def bird_picture():
    red, wing, beak, dark = (214, 56, 52, 255), (170, 36, 40, 255), (246, 176, 40, 255), (40, 30, 30, 255)
    return [
        (polygon([(18, 96), (40, 76), (46, 92)]), wing),
        (ellipse(66, 78, 38, 28), red),
        (circle(90, 48, 20), red),
        (polygon([(106, 44), (124, 52), (106, 58)]), beak),
        (ellipse(60, 78, 22, 12, 0.35), wing),
        (circle(94, 44, 4), dark),
        (segment(58, 104, 54, 118, 2), beak),
        (segment(74, 104, 76, 118, 2), beak),
    ]


def balloons_picture():
    string = (120, 120, 130, 255)
    return [
        (segment(40, 70, 62, 122, 1), string),
        (segment(64, 60, 62, 122, 1), string),
        (segment(90, 72, 62, 122, 1), string),
        (ellipse(40, 46, 22, 27), (232, 70, 90, 255)),
        (ellipse(90, 48, 22, 27), (70, 150, 230, 255)),
        (ellipse(64, 34, 22, 27), (250, 196, 50, 255)),
        (ellipse(33, 36, 5, 9, -0.5), (255, 255, 255, 150)),
        (ellipse(57, 24, 5, 9, -0.5), (255, 255, 255, 150)),
        (ellipse(83, 38, 5, 9, -0.5), (255, 255, 255, 150)),
    ]


def gift_picture():
    box, lid, ribbon = (120, 84, 200, 255), (140, 104, 220, 255), (250, 206, 70, 255)
    return [
        (rounded_rect(20, 56, 108, 118, 4), box),
        (rounded_rect(14, 42, 114, 60, 4), lid),
        (lambda x, y: 56 <= x <= 72 and 42 <= y <= 118, ribbon),
        (ellipse(50, 32, 16, 9, 0.5), ribbon),
        (ellipse(78, 32, 16, 9, -0.5), ribbon),
        (circle(64, 40, 7), ribbon),
    ]


def cake_picture():
    sponge, icing, candle, flame = (214, 160, 110, 255), (252, 236, 240, 255), (110, 170, 230, 255), (250, 180, 40, 255)
    return [
        (rounded_rect(18, 76, 110, 116, 6), sponge),
        (rounded_rect(32, 48, 96, 80, 6), sponge),
        (rounded_rect(16, 72, 112, 82, 5), icing),
        (rounded_rect(30, 44, 98, 54, 5), icing),
        (lambda x, y: 60 <= x <= 68 and 20 <= y <= 46, candle),
        (ellipse(64, 14, 5, 9), flame),
        (any_of(circle(34, 96, 4), circle(54, 100, 4), circle(74, 96, 4), circle(94, 100, 4)), (232, 70, 90, 255)),
    ]


def daisy_picture():
    petal, centre, stem = (255, 255, 255, 255), (250, 196, 40, 255), (80, 160, 80, 255)
    layers = [
        (segment(64, 60, 64, 124, 3), stem),
        (ellipse(84, 106, 14, 6, -0.6), stem),
    ]
    for i in range(12):
        turn = i * math.pi / 6
        layers.append((ellipse(64 + 24 * math.cos(turn), 48 + 24 * math.sin(turn), 14, 7, turn), (214, 218, 226, 255)))
        layers.append((ellipse(64 + 24 * math.cos(turn), 48 + 24 * math.sin(turn), 12.5, 5.5, turn), petal))
    layers.append((circle(64, 48, 14), centre))
    return layers


def tulip_picture():
    bloom, shade, stem = (230, 60, 110, 255), (196, 40, 90, 255), (80, 160, 80, 255)
    cup = both(ellipse(64, 46, 26, 30), lambda x, y: y >= 40)
    return [
        (segment(64, 70, 64, 124, 3), stem),
        (ellipse(46, 100, 8, 24, -0.4), stem),
        (ellipse(82, 104, 8, 20, 0.45), stem),
        (polygon([(38, 48), (40, 14), (62, 42)]), bloom),
        (polygon([(90, 48), (88, 14), (66, 42)]), bloom),
        (cup, bloom),
        (polygon([(50, 50), (64, 10), (78, 50)]), shade),
        (both(ellipse(64, 46, 14, 30), lambda x, y: y >= 46), shade),
    ]


def sunset_picture():
    top, bottom = (250, 160, 90), (255, 222, 150)
    layers = []
    for band in range(8):
        t = band / 7
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,)
        layers.append((lambda x, y, band=band: y >= band * 10, colour))
    layers += [
        (circle(64, 84, 26), (252, 110, 60, 255)),
        (lambda x, y: y >= 84 - (12 - abs(x - 30) * 0.35), (120, 90, 140, 255)),
        (lambda x, y: y >= 96 - (10 - abs(x - 96) * 0.3), (80, 62, 110, 255)),
        (lambda x, y: y >= 108, (56, 44, 84, 255)),
    ]
    return layers


def night_sky_picture():
    layers = [(lambda x, y: True, (24, 36, 86, 255)),
              (minus(circle(86, 40, 20), circle(96, 34, 18)), (250, 238, 180, 255))]
    for cx, cy, size in ((24, 24, 7), (46, 60, 5), (20, 92, 6), (64, 104, 4), (104, 94, 7), (60, 26, 4)):
        layers.append((star(cx, cy, size, size * 0.42), (255, 248, 210, 255)))
    layers.append((lambda x, y: y >= 112 - 6 * math.sin(x / 18.0), (20, 26, 50, 255)))
    return layers


LIBRARY = {
    "animals": {"Cat.png": cat_picture, "Fish.png": fish_picture, "Bird.png": bird_picture},
    "celebration": {"Balloons.png": balloons_picture, "Gift.png": gift_picture, "Cake.png": cake_picture},
    "Flowers": {"Daisy.png": daisy_picture, "Tulip.png": tulip_picture},
    "nature scenes": {"Sunset.png": sunset_picture, "Night Sky.png": night_sky_picture},
}



def banner_tile():
    """The heading band of the wizard windows: deep blue with fine light diagonals, repeating."""
    width, height = 64, 64

    def pixel(x, y):
        t = y / height
        base = tuple(round(a + (b - a) * t) for a, b in zip((70, 112, 196), (46, 80, 160)))
        stripe = (x + y) % 16 < 1.2
        if stripe:
            base = tuple(min(255, c + 14) for c in base)
        return base + (255,)
    return [[pixel(x, y) for x in range(width)] for y in range(height)], width, height


def wizard_pattern():
    """The wizard's backdrop: the dialog colour with faint dots."""
    size = 24
    base = (241, 244, 250, 255)
    layers = [(lambda x, y: True, base)]
    for cx, cy in ((6, 6), (18, 18)):
        layers.append(((lambda cx, cy: lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= 1.3 ** 2)(cx, cy),
                       (228, 233, 244, 255)))
    return render(size, size, layers), size


TITLES = [
    "You're Invited!",
    "Let's Celebrate",
    "Join Us for a Birthday Party",
    "A Little Garden Party",
    "Save the Date",
    "Together with Their Families",
    "Housewarming Get-Together",
    "Summer Barbecue",
    "Baby Shower",
    "Graduation Celebration",
    "A Night Under the Stars",
    "Happy Anniversary",
]

MESSAGES = [
    "We would love you to join us for an afternoon of good food, good friends and plenty of laughter.",
    "Come and celebrate with us! There will be cake, music and games for everyone.",
    "Please join us as we celebrate a very special day. Your company would make it complete.",
    "We have a new home and would love to show it to you. Bring your appetite, we will bring the snacks.",
    "The grill is hot and the lemonade is cold. Drop by for an easy summer evening in the garden.",
    "A little one is on the way! Join us for tea, cake and a few silly games to welcome the baby.",
    "Years of hard work have paid off. Help us raise a glass to the graduate!",
    "Dress warmly and bring a blanket: we will watch the stars, tell stories and share hot chocolate.",
    "Twenty-five years together and still counting. Celebrate with us over dinner and dancing.",
    "Kindly let us know by the end of the month whether you can come. We hope to see you there!",
]


# The spreadsheet templates. The writers replace the sheet and its shared strings (.xlsx) or the
# content (.ods) and keep every other part, in this order.
XLSX_PARTS = [
    ("[Content_Types].xml", """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
  <Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
  <Default Extension="xml" ContentType="application/xml"/>
  <Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
  <Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
  <Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>
  <Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>
</Types>
"""),
    ("_rels/.rels", """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
  <Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>
"""),
    # The sheet carries its id and relationship: without them no reader finds the sheet's part.
    ("xl/workbook.xml", """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xml:space="preserve" xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
  <sheets>
    <sheet name="Sheet1" sheetId="1" r:id="rId1"/>
  </sheets>
</workbook>
"""),
    ("xl/_rels/workbook.xml.rels", """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
  <Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
  <Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>
  <Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>
</Relationships>
"""),
    ("xl/styles.xml", """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
  <fonts count="1"><font><sz val="11"/><name val="Arial"/><family val="2"/></font></fonts>
  <fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>
  <borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>
  <cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>
  <cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs>
  <cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>
</styleSheet>
"""),
    ("xl/worksheets/sheet1.xml", """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
  <dimension ref="A1"/>
  <sheetData/>
</worksheet>
"""),
    ("xl/sharedStrings.xml", """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"/>
"""),
]

ODF_OFFICE = "urn:oasis:names:tc:opendocument:xmlns:office:1.0"
ODS_PARTS = [
    # Readers tell the package's type from this first entry, stored without compression.
    ("mimetype", "application/vnd.oasis.opendocument.spreadsheet"),
    ("META-INF/manifest.xml", """<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">
  <manifest:file-entry manifest:full-path="/" manifest:version="1.2" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>
  <manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>
  <manifest:file-entry manifest:full-path="styles.xml" manifest:media-type="text/xml"/>
  <manifest:file-entry manifest:full-path="meta.xml" manifest:media-type="text/xml"/>
</manifest:manifest>
"""),
    ("content.xml", """<?xml version="1.0" encoding="UTF-8"?>
<office:document-content xmlns:office="%s" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" office:version="1.2">
  <office:body>
    <office:spreadsheet>
      <table:table table:name="Sheet1"/>
    </office:spreadsheet>
  </office:body>
</office:document-content>
""" % ODF_OFFICE),
    # The content's table style names the master page "Default".
    ("styles.xml", """<?xml version="1.0" encoding="UTF-8"?>
<office:document-styles xmlns:office="%s" xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" office:version="1.2">
  <office:styles>
    <style:default-style style:family="table-cell">
      <style:text-properties fo:font-size="10pt"/>
    </style:default-style>
    <style:style style:name="Default" style:family="table-cell"/>
  </office:styles>
  <office:automatic-styles>
    <style:page-layout style:name="pm1">
      <style:page-layout-properties fo:margin-top="2cm" fo:margin-bottom="2cm" fo:margin-left="2cm" fo:margin-right="2cm"/>
    </style:page-layout>
  </office:automatic-styles>
  <office:master-styles>
    <style:master-page style:name="Default" style:page-layout-name="pm1"/>
  </office:master-styles>
</office:document-styles>
""" % ODF_OFFICE),
    ("meta.xml", """<?xml version="1.0" encoding="UTF-8"?>
<office:document-meta xmlns:office="%s" xmlns:meta="urn:oasis:names:tc:opendocument:xmlns:meta:1.0" office:version="1.2">
  <office:meta>
    <meta:generator>Card designer</meta:generator>
  </office:meta>
</office:document-meta>
""" % ODF_OFFICE),
]


def write_zip(path, parts):
    """parts: (name, text) in archive order; "mimetype" is stored, the rest deflated, all dated
    1 January 1980 so that the archive's bytes do not change from one run to the next."""
    tmp = path + ".tmp"
    with zipfile.ZipFile(tmp, "w") as archive:
        for name, text in parts:
            info = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_STORED if name == "mimetype" else zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            archive.writestr(info, text.encode("utf-8"))
    os.replace(tmp, path)


def write_templates():
    write_zip(os.path.join(ROOT, "Template.xlsx"), XLSX_PARTS)
    write_zip(os.path.join(ROOT, "Template.ods"), ODS_PARTS)


def main():
    if sys.argv[1:] == ["templates"]:
        write_templates()
        return
    patterns, tile = hatch_patterns()
    for name, layers in patterns.items():
        write_png(os.path.join(ROOT, "Fill_Style_Image", name + ".png"), tile, tile, render(tile, tile, layers))
    pixels, size = placeholder()
    write_png(os.path.join(ROOT, "no.png"), size, size, pixels)
    for name, make in (("sign_sample.png", signature_sample), ("fingerprints.png", fingerprint_sample),
                       ("barcode_sample.png", barcode_sample)):
        pixels, width, height = make()
        write_png(os.path.join(ROOT, name), width, height, pixels)
    pixels, width, height = banner_tile()
    write_png(os.path.join(ROOT, "banner.png"), width, height, pixels)
    pixels, size = wizard_pattern()
    write_png(os.path.join(ROOT, "Wizard_pattern.png"), size, size, pixels)
    # Some frames keep upper-case extensions: the program lists them all the same.
    for name, make in (("Gold Classic.png", gold_frame), ("Blush Floral.png", floral_frame),
                       ("Confetti.PNG", confetti_frame), ("Starry Night.PNG", starry_frame),
                       ("Botanical.png", botanical_frame)):
        write_png(os.path.join(ROOT, "Frames", name), FRAME_W, FRAME_H, make())
    for category, pictures in LIBRARY.items():
        for name, make in pictures.items():
            write_png(os.path.join(ROOT, "LibraryImage", category, name), LIB, LIB, render(LIB, LIB, make()))
    for name, lines in (("Title.txt", TITLES), ("Message.txt", MESSAGES)):
        with open(os.path.join(ROOT, name), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
    write_templates()


if __name__ == "__main__":
    main()
