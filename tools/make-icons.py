#!/usr/bin/env python3
"""Draws the icons of Zav2 into src/resources/icons/*.ico.

Each glyph is a handful of flat shapes on a 16-unit design grid. The shapes are
rendered with 4 x 4 supersampling at the button size 14 scaled for 96, 120,
144, 192 DPI (14, 18, 21, 28), the small-icon sizes 16, 20, 24, 32 (the app
icon also at 48) and stored as 32-bit BGRA images with straight alpha, one
.ico per icon id.
Standard library only, so any machine with Python 3 can redraw them.

    tools/make-icons.py           write the icons
    tools/make-icons.py --check   exit 1 when a committed icon differs from
                                  what this script draws (run by the tests)
"""

import argparse
import math
import os
import struct
import sys

SIZES = (14, 16, 18, 20, 21, 24, 28, 32)
APP_SIZES = (14, 16, 18, 20, 21, 24, 28, 32, 48)
SUPERSAMPLE = 4  # samples per pixel and axis

# ---------------------------------------------------------------------------
# Shapes. Coordinates are design units (0..16, y down); prepare(scale) turns a
# shape into a pixel bounding box and an inside test on pixel coordinates.


class Poly:
    """Polygon, even-odd rule. Snapped polygons put their vertices on whole
    pixels so that straight edges stay crisp at 14 and 16 pixels."""

    def __init__(self, points, snap=True):
        self.points = [(round(x * 1024) / 1024, round(y * 1024) / 1024) for x, y in points]
        self.snap = snap

    def prepare(self, scale):
        if self.snap:
            pts = [(round(x * scale), round(y * scale)) for x, y in self.points]
        else:
            pts = [(x * scale, y * scale) for x, y in self.points]
        edges = list(zip(pts, pts[1:] + pts[:1]))

        def inside(px, py):
            hit = False
            for (x0, y0), (x1, y1) in edges:
                if (y0 > py) != (y1 > py):
                    if px < x0 + (py - y0) * (x1 - x0) / (y1 - y0):
                        hit = not hit
            return hit

        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        return (min(xs), min(ys), max(xs), max(ys)), inside


class Ellipse:
    def __init__(self, cx, cy, rx, ry=None):
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, rx if ry is None else ry

    def prepare(self, scale):
        cx, cy = self.cx * scale, self.cy * scale
        rx, ry = self.rx * scale, self.ry * scale

        def inside(px, py):
            return ((px - cx) / rx) ** 2 + ((py - cy) / ry) ** 2 <= 1.0

        return (cx - rx, cy - ry, cx + rx, cy + ry), inside


class Union:
    def __init__(self, *shapes):
        self.shapes = shapes

    def prepare(self, scale):
        parts = [s.prepare(scale) for s in self.shapes]

        def inside(px, py):
            return any(test(px, py) for _, test in parts)

        boxes = [box for box, _ in parts]
        return (
            min(b[0] for b in boxes),
            min(b[1] for b in boxes),
            max(b[2] for b in boxes),
            max(b[3] for b in boxes),
        ), inside


class Minus:
    def __init__(self, shape, hole):
        self.shape, self.hole = shape, hole

    def prepare(self, scale):
        box, test = self.shape.prepare(scale)
        _, hole = self.hole.prepare(scale)
        return box, lambda px, py: test(px, py) and not hole(px, py)


class Halo:
    """The shape grown by a fixed number of pixels: an outline that keeps a
    light glyph readable on a light background and a dark one on dark."""

    def __init__(self, shape, pixels=1.0):
        self.shape, self.pixels = shape, pixels

    def prepare(self, scale):
        box, test = self.shape.prepare(scale)
        r = self.pixels
        offsets = [(0, 0)] + [
            (r * math.cos(k * math.pi / 8), r * math.sin(k * math.pi / 8)) for k in range(16)
        ]

        def inside(px, py):
            return any(test(px + dx, py + dy) for dx, dy in offsets)

        return (box[0] - r, box[1] - r, box[2] + r, box[3] + r), inside


def rect(x0, y0, x1, y1):
    return Poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


def frame(x0, y0, x1, y1, width=1):
    return Minus(rect(x0, y0, x1, y1), rect(x0 + width, y0 + width, x1 - width, y1 - width))


def rounded(x0, y0, x1, y1, r):
    return Union(
        rect(x0 + r, y0, x1 - r, y1),
        rect(x0, y0 + r, x1, y1 - r),
        Ellipse(x0 + r, y0 + r, r),
        Ellipse(x1 - r, y0 + r, r),
        Ellipse(x0 + r, y1 - r, r),
        Ellipse(x1 - r, y1 - r, r),
    )


def bar(x0, y0, x1, y1, width):
    """A straight stroke of the given width between two points."""
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    nx, ny = -dy / length * width / 2, dx / length * width / 2
    return Poly([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)],
                snap=False)


def arc_band(cx, cy, r_out, r_in, start_deg, end_deg, steps=24):
    """Part of a ring between two angles (degrees, clockwise on screen)."""
    angles = [math.radians(start_deg + (end_deg - start_deg) * k / steps) for k in range(steps + 1)]
    outer = [(cx + r_out * math.cos(a), cy + r_out * math.sin(a)) for a in angles]
    inner = [(cx + r_in * math.cos(a), cy + r_in * math.sin(a)) for a in reversed(angles)]
    return Poly(outer + inner, snap=False)


def rotated(points, degrees, cx=8.0, cy=8.0):
    a = math.radians(degrees)
    c, s = math.cos(a), math.sin(a)
    return Poly([(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c)
                 for x, y in points], snap=False)


# ---------------------------------------------------------------------------
# Colours (r, g, b, a).

INK = (52, 52, 58, 255)
PLAY = (30, 140, 60, 255)
STOP = (196, 48, 48, 255)
SKIP = (40, 96, 196, 255)
MODE = (112, 64, 168, 255)
PIN_ON = (210, 40, 40, 255)
PIN_OFF = (150, 150, 150, 255)
PAPER = (255, 255, 255, 255)
LIST = (214, 228, 250, 255)
ROW = (40, 96, 196, 255)
FOLDER = (240, 190, 60, 255)
FOLDER_EDGE = (170, 120, 20, 255)
APP = (40, 100, 200, 255)
WHITE = (255, 255, 255, 255)
SHADOW = (0, 0, 0, 150)

# ---------------------------------------------------------------------------
# Glyphs. Each returns the layers of one icon, bottom first.


def play_triangle():
    return Poly([(4, 2), (13, 8), (4, 14)])


def stop_square():
    return rect(3, 3, 13, 13)


def previous_shape():
    return Union(rect(2, 3, 4, 13), Poly([(13, 3), (13, 13), (4, 8)]))


def next_shape():
    return Union(rect(12, 3, 14, 13), Poly([(3, 3), (12, 8), (3, 13)]))


def play_pause_shape():
    return Union(Poly([(1, 3), (8, 8), (1, 13)]), rect(9, 3, 11, 13), rect(13, 3, 15, 13))


def eject_shape():
    return Union(Poly([(8, 2), (14, 9), (2, 9)]), rect(2, 11, 14, 14))


def pin_points():
    head = [(5, 1), (11, 1), (11, 3), (10, 3), (10, 8), (13, 10), (3, 10), (6, 8), (6, 3), (5, 3)]
    needle = [(7.4, 10), (8.6, 10), (8.6, 15), (7.4, 15)]
    return head, needle


def pin(colour, tilt):
    head, needle = pin_points()
    if tilt:
        return [(rotated(head, tilt), colour), (rotated(needle, tilt), INK)]
    return [(Poly(head), colour), (Poly(needle, snap=False), INK)]


def window_with_list(list_x0, list_x1):
    """Frame of the main window with the list pane between two x positions."""
    layers = [(rect(1, 2, 15, 14), PAPER)]
    if list_x1 > list_x0:
        layers.append((rect(list_x0, 3, list_x1, 13), LIST))
        for y in (5, 8, 11):
            layers.append((rect(list_x0 + 1, y, list_x1 - 1, y + 1), ROW))
    layers.append((frame(1, 2, 15, 14), INK))
    return layers


def arrow_head(cx, cy, radius, at_deg, half_width, length):
    """Arrowhead on a circle at an angle, pointing clockwise along it."""
    a = math.radians(at_deg)
    ux, uy = math.cos(a), math.sin(a)  # outwards
    tx, ty = -uy, ux  # clockwise tangent
    bx, by = cx + radius * ux, cy + radius * uy
    return Poly([(bx + half_width * ux, by + half_width * uy),
                 (bx + length * tx, by + length * ty),
                 (bx - half_width * ux, by - half_width * uy)], snap=False)


def loop_arrow():
    # Most of a ring, running clockwise into an arrowhead at the top.
    return Union(arc_band(8, 8, 6.5, 4.5, -30, 215), arrow_head(8, 8, 5.5, 215, 3.2, 4))


def arrow(x0, y0, x1, y1, width, head_length, head_half):
    """A stroke from (x0, y0) ending in an arrowhead whose tip is (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    ux, uy = dx / length, dy / length
    bx, by = x1 - ux * head_length, y1 - uy * head_length
    head = Poly([(bx - uy * head_half, by + ux * head_half), (x1, y1),
                 (bx + uy * head_half, by - ux * head_half)], snap=False)
    return Union(bar(x0, y0, bx + ux * 0.5, by + uy * 0.5, width), head)


def shuffle_shape():
    return Union(arrow(1.5, 12.5, 14.5, 3.5, 1.8, 4, 2.6), arrow(1.5, 3.5, 14.5, 12.5, 1.8, 4, 2.6))


def once_shape():
    return Union(rect(1, 7, 9, 9), Poly([(8, 3), (13, 8), (8, 13)]), rect(13, 3, 15, 13))


def file_layers():
    page = [(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)]
    inner = [(4, 2), (9, 2), (12, 5), (12, 14), (4, 14)]
    return [
        (Poly(page), INK),
        (Poly(inner), PAPER),
        (Poly([(9, 1), (13, 5), (9, 5)]), INK),
        (rect(5, 8, 11, 9), PIN_OFF),
        (rect(5, 10, 11, 11), PIN_OFF),
    ]


def folder_layers():
    outline = Union(Poly([(1, 3), (6, 3), (7, 5), (15, 5), (15, 14), (1, 14)]))
    body = Poly([(2, 4), (5.5, 4), (6.5, 6), (14, 6), (14, 13), (2, 13)], snap=False)
    return [(outline, FOLDER_EDGE), (body, FOLDER), (rect(2, 7, 14, 8), FOLDER_EDGE)]


def app_layers():
    return [
        (rounded(1, 1, 15, 15, 3), APP),
        (Poly([(5.5, 4), (12.5, 8), (5.5, 12)], snap=False), WHITE),
    ]


def on_dark(shape):
    """White glyph with a dark rim, for the taskbar's thumbnail toolbar."""
    return [(Halo(shape, 1.0), SHADOW), (shape, WHITE)]


GLYPHS = {
    # id: (file name, layers, sizes)
    103: ("app", app_layers(), APP_SIZES),
    105: ("app_small", app_layers(), SIZES),
    106: ("play", [(play_triangle(), PLAY)], SIZES),
    107: ("stop", [(stop_square(), STOP)], SIZES),
    108: ("previous", [(previous_shape(), SKIP)], SIZES),
    109: ("next", [(next_shape(), SKIP)], SIZES),
    110: ("open", [(eject_shape(), INK)], SIZES),
    111: ("topmost_on", pin(PIN_ON, 0), SIZES),
    112: ("list_hidden", window_with_list(0, 0), SIZES),
    113: ("list_full", window_with_list(2, 14), SIZES),
    114: ("mode_order", [(loop_arrow(), MODE)], SIZES),
    115: ("mode_random", [(shuffle_shape(), MODE)], SIZES),
    116: ("mode_single", [(loop_arrow(), MODE), (Union(rect(7, 5, 9, 11), rect(6, 5, 7, 6)), INK)],
          SIZES),
    117: ("topmost_off", pin(PIN_OFF, 45), SIZES),
    118: ("file", file_layers(), SIZES),
    119: ("folder", folder_layers(), SIZES),
    126: ("mode_once", [(once_shape(), MODE)], SIZES),
    127: ("list_left", window_with_list(2, 8), SIZES),
    128: ("list_right", window_with_list(8, 14), SIZES),
    5107: ("thumb_stop", on_dark(stop_square()), SIZES),
    5108: ("thumb_previous", on_dark(previous_shape()), SIZES),
    5109: ("thumb_next", on_dark(next_shape()), SIZES),
    5110: ("thumb_play_pause", on_dark(play_pause_shape()), SIZES),
}

# ---------------------------------------------------------------------------
# Rendering and the .ico container.


def render(layers, size):
    """Returns size*size straight-alpha RGBA tuples, top row first."""
    scale = size / 16.0
    n = SUPERSAMPLE
    offsets = [(i + 0.5) / n for i in range(n)]
    # Premultiplied accumulation.
    acc = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]
    for shape, (r, g, b, a) in layers:
        (bx0, by0, bx1, by1), inside = shape.prepare(scale)
        alpha = a / 255.0
        for y in range(max(0, math.floor(by0)), min(size, math.ceil(by1) + 1)):
            for x in range(max(0, math.floor(bx0)), min(size, math.ceil(bx1) + 1)):
                hits = sum(1 for oy in offsets for ox in offsets if inside(x + ox, y + oy))
                if not hits:
                    continue
                cover = alpha * hits / (n * n)
                px = acc[y * size + x]
                px[0] = r * cover + px[0] * (1 - cover)
                px[1] = g * cover + px[1] * (1 - cover)
                px[2] = b * cover + px[2] * (1 - cover)
                px[3] = cover + px[3] * (1 - cover)
    out = []
    for pr, pg, pb, pa in acc:
        if pa <= 0.0:
            out.append((0, 0, 0, 0))
        else:
            out.append((round(pr / pa), round(pg / pa), round(pb / pa), round(pa * 255)))
    return out


def dib(pixels, size):
    """BITMAPINFOHEADER + bottom-up BGRA rows + 1-bit AND mask (set where transparent)."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):
        rows.append(b"".join(struct.pack("BBBB", b, g, r, a)
                             for r, g, b, a in pixels[y * size:(y + 1) * size]))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(mask_stride)
        for x in range(size):
            if pixels[y * size + x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + b"".join(rows) + bytes(mask)


def ico(images):
    """images: list of (size, dib bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def draw(icon_id):
    name, layers, sizes = GLYPHS[icon_id]
    return name, ico([(s, dib(render(layers, s), s)) for s in sizes])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="compare with the committed icons instead of writing them")
    parser.add_argument("--out", default=os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                      "..", "src", "resources", "icons"))
    args = parser.parse_args()
    stale = []
    os.makedirs(args.out, exist_ok=True)
    for icon_id in sorted(GLYPHS):
        name, data = draw(icon_id)
        path = os.path.join(args.out, name + ".ico")
        if args.check:
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        stale.append(path)
            except OSError:
                stale.append(path)
        else:
            with open(path, "wb") as f:
                f.write(data)
    if stale:
        print("icons differ from tools/make-icons.py: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
