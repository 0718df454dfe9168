#!/usr/bin/python3
"""Draws the program's own placeholder picture and hatch pattern tiles into resources/.

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


def main():
    patterns, tile = hatch_patterns()
    for name, layers in patterns.items():
        write_png(os.path.join(ROOT, "Fill_Style_Image", name + ".png"), tile, tile, render(tile, tile, layers))
    pixels, size = placeholder()
    write_png(os.path.join(ROOT, "no.png"), size, size, pixels)


if __name__ == "__main__":
    main()
