#!/usr/bin/env python3
"""Draws the product logo, resources/logo.png: 200 x 200 pixels, 256 colours,
and resources/logo.h, the same picture as C arrays (palette and one index a
pixel) that the program builds its image from without any image reader.

The window icon's diamond of four coloured squares (red top, green right,
blue bottom, yellow left) on a round shaded badge, with a 5 x 4 grid of small
run buttons at its foot. Run once; both are committed
(`--header` writes logo.h again from the committed PNG). Needs only Python.
"""
import math
import os
import struct
import sys
import zlib

SIZE = 200
SAMPLES = 4  # per axis, for smooth edges
CX, CY = 100.0, 94.0
DIAMOND_Y = 82.0

def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))

def diamond(x, y, cx, cy, half):
    return abs(x - cx) + abs(y - cy) <= half

def rounded_box(x, y, left, top, w, h, r):
    qx = min(max(x, left + r), left + w - r)
    qy = min(max(y, top + r), top + h - r)
    return (x - qx) ** 2 + (y - qy) ** 2 <= r * r

SQUARES = [  # centre offset, base colour
    ((0, -27), (214, 40, 40)),
    ((27, 0), (40, 160, 60)),
    ((0, 27), (40, 80, 200)),
    ((-27, 0), (240, 200, 30)),
]

def colour_at(x, y):
    white = (255.0, 255.0, 255.0)
    d = math.hypot(x - CX, y - CY)
    if d > 90:
        return white
    if d > 84:
        return (30.0, 40.0, 96.0)  # the badge's rim
    c = mix((255, 255, 255), (186, 204, 236), d / 84)
    for (ox, oy), base in SQUARES:
        sx, sy = CX + ox, DIAMOND_Y + oy
        if diamond(x, y, sx, sy, 24):
            if not diamond(x, y, sx, sy, 21):
                return tuple(v * 0.55 for v in base)
            # Light from the top left.
            t = ((x - sx) + (y - sy) + 21) / 42
            return mix(tuple(min(255, v + 70) for v in base), base, t)
    # Twenty run buttons in their 5 x 4 grid, below the diamond.
    for row in range(4):
        for col in range(5):
            left, top = 70 + col * 12, 139 + row * 8
            if rounded_box(x, y, left, top, 9, 5, 1.5):
                return (70.0, 80.0, 110.0) if (row * 5 + col) % 7 else (214.0, 40.0, 40.0)
    return c

def render():
    pixels = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
                    for i in range(3):
                        acc[i] += c[i]
            n = SAMPLES * SAMPLES
            row.append(tuple(int(round(v / n)) for v in acc))
        pixels.append(row)
    return pixels

def median_cut(colours, count):
    """Palette of at most `count` colours: split the widest box in two."""
    boxes = [list(colours)]
    while len(boxes) < count:
        box = max(boxes, key=lambda b: max(max(c[i] for c in b) - min(c[i] for c in b)
                                            for i in range(3)) if len(b) > 1 else -1)
        if len(box) < 2:
            break
        axis = max(range(3), key=lambda i: max(c[i] for c in box) - min(c[i] for c in box))
        box.sort(key=lambda c: c[axis])
        half = len(box) // 2
        boxes.remove(box)
        boxes += [box[:half], box[half:]]
    return [tuple(sum(c[i] for c in b) // len(b) for i in range(3)) for b in boxes]

def nearest(palette, c):
    return min(range(len(palette)),
               key=lambda k: sum((palette[k][i] - c[i]) ** 2 for i in range(3)))

def write_png(path, pixels):
    distinct = sorted({c for row in pixels for c in row})
    palette = distinct if len(distinct) <= 256 else median_cut(distinct, 256)
    index = {c: nearest(palette, c) for c in distinct}
    raw = b"".join(b"\0" + bytes(index[c] for c in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 3, 0, 0, 0))
    png += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)
    write_header(os.path.join(os.path.dirname(path), "logo.h"), palette,
                 [index[c] for row in pixels for c in row])
    return len(palette)

def write_header(path, palette, indices):
    lines = ["// Written by draw_logo.py from the same pixels as logo.png.",
             f"static constexpr int logo_size = {SIZE};",
             "static constexpr unsigned int logo_palette[] = {"]
    for at in range(0, len(palette), 6):
        lines.append("    " + " ".join(f"0xff{r:02x}{g:02x}{b:02x}u,"
                                       for r, g, b in palette[at:at + 6]))
    lines += ["};", "static constexpr unsigned char logo_pixels[] = {"]
    for at in range(0, len(indices), 20):
        lines.append("    " + "".join(f"{i}," for i in indices[at:at + 20]))
    lines.append("};")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")

def read_png(path):
    """The palette and indices of a PNG as write_png writes it."""
    with open(path, "rb") as f:
        data = f.read()[8:]
    chunks = {}
    while data:
        length, kind = struct.unpack(">I4s", data[:8])
        chunks[kind] = chunks.get(kind, b"") + data[8:8 + length]
        data = data[12 + length:]
    plte = chunks[b"PLTE"]
    palette = [tuple(plte[i:i + 3]) for i in range(0, len(plte), 3)]
    raw = zlib.decompress(chunks[b"IDAT"])
    assert all(raw[y * (SIZE + 1)] == 0 for y in range(SIZE)), "unfiltered rows only"
    indices = [raw[y * (SIZE + 1) + 1 + x] for y in range(SIZE) for x in range(SIZE)]
    return palette, indices

if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "logo.png")
    if sys.argv[1:] == ["--header"]:  # logo.h again from the committed PNG
        write_header(os.path.join(os.path.dirname(out), "logo.h"), *read_png(out))
        sys.exit(0)
    colours = write_png(out, render())
    print(f"{out}: {SIZE} x {SIZE}, {colours} colours")
