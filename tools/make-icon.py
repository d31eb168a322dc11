#!/usr/bin/env python3
"""Writes src/win32/resources/quellgate.ico: the shield-and-padlock emblem of src/win32/artwork.cpp
at 16, 32 and 48 px as 32-bit BGRA images with AND masks, standard library only."""
import struct
import sys
from pathlib import Path

SIZES = (16, 32, 48)
SUPERSAMPLE = 4  # per axis; gives soft edges through the alpha channel
OUT = Path(__file__).resolve().parent.parent / "src" / "win32" / "resources" / "quellgate.ico"


def bezier(p0, c0, c1, p1, n):
    """n points along a cubic Bezier, excluding p0."""
    return [tuple((1-t)**3*a + 3*(1-t)**2*t*b + 3*(1-t)*t*t*c + t**3*d for a, b, c, d in zip(p0, c0, c1, p1))
            for t in (i / n for i in range(1, n + 1))]


def shield(cx, top, hw, h):
    """Same outline as the GDI emblem: soft peak, straight flanks, pointed base."""
    sh, fl, tip = top + 0.11*h, top + 0.48*h, top + h
    pts = [(cx - hw, sh)]
    # the shoulders are quadratic curves, written as cubics (controls 2/3 of the way to the quadratic one)
    pts += bezier((cx - hw, sh), (cx - 2*hw/3, sh), (cx - hw/3, top + 2*(sh - top)/3), (cx, top), 12)
    pts += bezier((cx, top), (cx + hw/3, top + 2*(sh - top)/3), (cx + 2*hw/3, sh), (cx + hw, sh), 12)
    pts.append((cx + hw, fl))
    pts += bezier((cx + hw, fl), (cx + hw, top + 0.76*h), (cx + 0.55*hw, top + 0.9*h), (cx, tip), 24)
    pts += bezier((cx, tip), (cx - 0.55*hw, top + 0.9*h), (cx - hw, top + 0.76*h), (cx - hw, fl), 24)
    return pts


def inside_polygon(pts, x, y):
    hit = False
    for (xi, yi), (xj, yj) in zip(pts, pts[-1:] + pts[:-1]):
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
    return hit


def inside_round_rect(l, t, r, b, rad, x, y):
    dx, dy = max(l + rad - x, 0, x - (r - rad)), max(t + rad - y, 0, y - (b - rad))
    return l <= x <= r and t <= y <= b and dx*dx + dy*dy <= rad*rad


def mix(a, b, t):
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


def emblem_layers(size):
    """Paint order, last hit wins: list of (test(x, y), colour(x, y)) in unit coordinates."""
    px = 1.0 / size
    cx, top, hw, h = 0.5, 0.03, 0.43, 0.94
    edge = max(0.03, px)  # dark hairline so the mark reads on light backgrounds
    rim = 0.0 if size < 32 else max(0.045, 1.5 * px)  # at 16 px a white rim would swamp the face
    outline = shield(cx, top, hw, h)
    white = shield(cx, top + edge, hw - edge, h - edge * 2.6)
    face = shield(cx, top + edge + rim, hw - edge - rim, h - (edge + rim) * 2.6)

    def face_colour(x, y):  # lit left half, shaded right half, both darkening downwards
        top_c, bottom_c = ((52, 124, 240), (14, 46, 160)) if x < cx else ((30, 94, 214), (6, 28, 124))
        return mix(top_c, bottom_c, min(max((y - top) / h, 0.0), 1.0))

    bw = hw * (0.98 if size >= 32 else 0.9)
    bt, bh = top + h * 0.44, bw * 0.78
    outer, bar = bw * 0.36, max(bw * 0.14, 1.4 * px)
    arc_y, leg = bt - bw * 0.2, bt + bw * 0.08

    def shackle(x, y):
        radius = ((x - cx)**2 + (y - arc_y)**2)**0.5 if y <= arc_y else (abs(x - cx) if y <= leg else -1)
        return outer - bar <= radius <= outer

    hole_y, hole_r = bt + bh * 0.40, bw * 0.1

    def keyhole(x, y):
        slot = hole_y <= y <= bt + bh*0.76 and abs(x - cx) <= bw * (0.045 + 0.03 * (y - hole_y) / (bh*0.36))
        return slot or (x - cx)**2 + (y - hole_y)**2 <= hole_r**2

    layers = [
        (lambda x, y: inside_polygon(outline, x, y), lambda x, y: (10, 24, 90)),
        (lambda x, y: inside_polygon(white, x, y), lambda x, y: (244, 247, 255)),
        (lambda x, y: inside_polygon(face, x, y), face_colour),
        (shackle, lambda x, y: (206, 214, 232)),
        (lambda x, y: inside_round_rect(cx - bw/2, bt, cx + bw/2, bt + bh, bw * 0.12, x, y),
         lambda x, y: mix((255, 255, 255), (214, 223, 242), (y - bt) / bh)),
    ]
    if size >= 32:  # a keyhole smaller than ~2 px only looks like dirt
        layers.append((keyhole, lambda x, y: (12, 34, 112)))
    return layers


def render(size):
    """Top-down rows of (b, g, r, a), averaging SUPERSAMPLE**2 samples per pixel."""
    layers, n = emblem_layers(size), SUPERSAMPLE
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = []
            for s in range(n * n):
                x, y = (px + (s % n + 0.5) / n) / size, (py + (s // n + 0.5) / n) / size
                colour = None
                for test, paint in layers:
                    colour = paint(x, y) if test(x, y) else colour
                if colour:
                    hits.append(colour)
            r, g, b = (round(sum(c[i] for c in hits) / max(len(hits), 1)) for i in range(3))
            row.append((b, g, r, round(255 * len(hits) / (n * n))))
        rows.append(row)
    return rows


def dib(size):
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes(c for px in row for c in px) for row in reversed(rows))
    stride = ((size + 31) // 32) * 4
    mask = bytearray(stride * size)  # fully transparent pixels are masked out for old renderers
    for y, row in enumerate(reversed(rows)):
        for x, px in enumerate(row):
            mask[y * stride + x // 8] |= (0x80 >> (x % 8)) if px[3] == 0 else 0
    return header + xor + bytes(mask)


def main():
    images = [dib(s) for s in SIZES]
    out, offset = bytearray(struct.pack("<HHH", 0, 1, len(images))), 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    OUT.parent.mkdir(parents=True, exist_ok=True)
    OUT.write_bytes(bytes(out))
    print(f"wrote {OUT} ({len(out)} bytes)", file=sys.stderr)


if __name__ == "__main__":
    main()
