#!/usr/bin/env python3
"""Draws the window icon and the button pictures into resources/ as RGBA PNG files.

Only the standard library: shapes are coverage functions sampled 8 x 8 times per pixel and
blended over a transparent canvas, so edges come out anti-aliased.
Each picture is written at its own size and at twice that size ("name@2x.png"), which Qt picks
on high-resolution screens.
The program's icon is also drawn at the desktop's sizes, 48 and 256 pixels ("icons/kelvora-48.png").
Usage: scripts/draw_icons.py [output folder]   (default: resources/ next to this script)
"""

import math
import os
import struct
import sys
import zlib

SAMPLES = 8


class Canvas:
    """size: the picture's size in drawing units; scale: pixels per unit (2 for the @2x file)."""

    scale = 1

    def __init__(self, size):
        self.size = int(round(size * Canvas.scale))
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * self.size for _ in range(self.size)]

    def fill(self, inside, colour, alpha=1.0):
        """Blends colour (r, g, b) over every pixel in proportion to the part that is inside."""
        step = 1.0 / SAMPLES
        offsets = [(k + 0.5) * step for k in range(SAMPLES)]
        unit = 1.0 / Canvas.scale
        for y in range(self.size):
            for x in range(self.size):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if inside((x + ox) * unit, (y + oy) * unit):
                            hits += 1
                if hits:
                    self._blend(x, y, colour, alpha * hits / (SAMPLES * SAMPLES))

    def _blend(self, x, y, colour, a):
        r0, g0, b0, a0 = self.pixels[y][x]
        out = a + a0 * (1.0 - a)
        if out <= 0.0:
            return
        mix = [(c * a + c0 * a0 * (1.0 - a)) / out for c, c0 in zip(colour, (r0, g0, b0))]
        self.pixels[y][x] = (mix[0], mix[1], mix[2], out)

    def png(self):
        raw = bytearray()
        for row in self.pixels:
            raw.append(0)  # filter: none
            for r, g, b, a in row:
                raw += bytes(max(0, min(255, int(round(v)))) for v in (r, g, b, a * 255.0))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", self.size, self.size, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


# ---- shapes: each returns a function (x, y) -> inside ----

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def circle(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def segment(x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2.0) ** 2
    return inside


def polyline(points, width):
    parts = [segment(*points[k], *points[k + 1], width) for k in range(len(points) - 1)]
    return lambda x, y: any(part(x, y) for part in parts)


def arc(cx, cy, radius, width, start_deg, end_deg):
    """Ring piece; angles in degrees, counter-clockwise from 3 o'clock (y grows downwards)."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - radius) > width / 2.0:
            return False
        angle = math.degrees(math.atan2(cy - y, x - cx)) % 360.0
        span = (end_deg - start_deg) % 360.0
        return (angle - start_deg) % 360.0 <= span
    return inside


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def outlined(canvas, shape_outer, shape_inner, edge, body):
    canvas.fill(shape_outer, edge)
    canvas.fill(shape_inner, body)


# ---- colours ----
INK = (40, 44, 52)
WHITE = (255, 255, 255)
BLUE = (37, 99, 200)
BLUE_DARK = (22, 62, 140)
BLUE_LIGHT = (120, 170, 240)
GREEN = (46, 160, 67)
GREEN_DARK = (24, 110, 42)
ORANGE = (245, 150, 30)
ORANGE_DARK = (170, 90, 10)
GREY = (150, 156, 166)
GREY_LIGHT = (222, 226, 232)
GREY_DARK = (90, 96, 106)
LCD = (196, 226, 170)
LCD_INK = (30, 60, 30)
BROWN = (140, 90, 50)
BROWN_DARK = (92, 56, 28)
PINK = (240, 130, 150)
RED = (210, 50, 50)


def draw_meter():
    """The window icon: a handheld earth tester with its display and an earth spike."""
    c = Canvas(32)
    # Meter body.
    outlined(c, rounded_rect(3, 1.5, 23, 30.5, 3.5), rounded_rect(4.2, 2.7, 21.8, 29.3, 2.5),
             ORANGE_DARK, ORANGE)
    # Display with an ohm sign.
    outlined(c, rounded_rect(6, 4.5, 20, 14.5, 1.2), rect(7, 5.5, 19, 13.5), INK, LCD)
    c.fill(arc(13, 9.3, 3.0, 1.4, 300, 240), LCD_INK)
    c.fill(segment(9.6, 12.4, 11.6, 12.4, 1.3), LCD_INK)
    c.fill(segment(14.4, 12.4, 16.4, 12.4, 1.3), LCD_INK)
    # Range knob with its pointer.
    c.fill(circle(13, 21.5, 4.6), GREY_DARK)
    c.fill(circle(13, 21.5, 3.6), GREY_LIGHT)
    c.fill(segment(13, 21.5, 15.6, 18.9, 1.4), INK)
    # Test lead from the meter to the spike.
    c.fill(polyline([(22.5, 8), (26, 8), (27.5, 10.5)], 1.3), RED)
    # Earth spike driven into the ground.
    c.fill(polygon([(26.3, 10.5), (28.7, 10.5), (28.7, 24), (27.5, 27), (26.3, 24)]), GREY_DARK)
    c.fill(rect(26.9, 11, 27.5, 23.5), GREY_LIGHT)
    # Ground lines.
    c.fill(segment(23.5, 27.5, 31.5, 27.5, 1.3), GREEN_DARK)
    c.fill(segment(25, 29.5, 30, 29.5, 1.3), GREEN_DARK)
    c.fill(segment(26.5, 31.2, 28.5, 31.2, 1.2), GREEN_DARK)
    return c


def draw_read():
    """Read: records come down from the meter into the computer."""
    c = Canvas(32)
    # Tray.
    outlined(c, polygon([(3, 19), (29, 19), (29, 29.5), (3, 29.5)]),
             polygon([(4.2, 20.2), (27.8, 20.2), (27.8, 28.3), (4.2, 28.3)]), GREY_DARK, GREY_LIGHT)
    c.fill(rect(4.2, 20.2, 27.8, 23), WHITE)
    c.fill(rect(11, 19, 21, 23.5), GREY_LIGHT)
    # Arrow down into the tray.
    arrow = [(12.5, 2), (19.5, 2), (19.5, 11), (25, 11), (16, 21.5), (7, 11), (12.5, 11)]
    c.fill(polyline(arrow + [arrow[0]], 2.2), BLUE_DARK)
    c.fill(polygon(arrow), BLUE)
    c.fill(polygon([(13.8, 3.3), (15.4, 3.3), (15.4, 12.3), (13.8, 12.3)]), BLUE_LIGHT)
    return c


def draw_save():
    """Save: a floppy disk."""
    c = Canvas(32)
    body = [(3, 3), (25, 3), (29, 7), (29, 29), (3, 29)]
    c.fill(polygon(body), BLUE_DARK)
    c.fill(polygon([(4.3, 4.3), (24.4, 4.3), (27.7, 7.6), (27.7, 27.7), (4.3, 27.7)]), BLUE)
    # Metal shutter with its slot.
    outlined(c, rect(8.5, 3, 22.5, 11.5), rect(9.5, 4, 21.5, 10.5), GREY_DARK, GREY_LIGHT)
    c.fill(rect(17, 5, 20, 9.5), GREY_DARK)
    # Paper label with lines.
    outlined(c, rounded_rect(7, 15.5, 25, 29, 1.2), rect(8, 16.5, 24, 29), GREY, WHITE)
    for y in (19.5, 22.5, 25.5):
        c.fill(segment(10, y, 22, y, 1.0), BLUE_LIGHT)
    return c


def draw_clear():
    """Clear: an eraser wiping a line away."""
    c = Canvas(32)
    # Wiped line behind the eraser.
    c.fill(segment(2.5, 28.5, 16, 28.5, 1.6), GREY)
    # Eraser block, tilted: the pink sleeve and the white rubber end.
    angle = math.radians(-40)

    def rotated(points, cx=17, cy=16):
        ca, sa = math.cos(angle), math.sin(angle)
        return [(cx + (x - cx) * ca - (y - cy) * sa, cy + (x - cx) * sa + (y - cy) * ca)
                for x, y in points]

    outline = rotated([(4, 11), (30, 11), (30, 21), (4, 21)])
    c.fill(polyline(outline + [outline[0]], 2.0), INK)
    c.fill(polygon(rotated([(4, 11), (16, 11), (16, 21), (4, 21)])), GREY_LIGHT)
    c.fill(polygon(rotated([(16, 11), (30, 11), (30, 21), (16, 21)])), PINK)
    c.fill(polygon(rotated([(16, 11), (30, 11), (30, 14), (16, 14)])), (250, 180, 195))
    c.fill(segment(*rotated([(16, 11)])[0], *rotated([(16, 21)])[0], 1.4), INK)
    # Crumbs.
    for x, y in ((20, 27), (23.5, 28.5), (26.5, 26.5)):
        c.fill(circle(x, y, 0.9), GREY_DARK)
    return c


def draw_print():
    """Print: a printer with a sheet coming out."""
    c = Canvas(32)
    # Paper feeding in at the top.
    outlined(c, rect(8.5, 2, 23.5, 12), rect(9.5, 3, 22.5, 12), GREY_DARK, WHITE)
    # Printer body.
    outlined(c, rounded_rect(2.5, 10.5, 29.5, 23.5, 2.5), rounded_rect(3.7, 11.7, 28.3, 22.3, 1.6),
             GREY_DARK, GREY)
    c.fill(rect(3.7, 11.7, 28.3, 14), GREY_LIGHT)
    c.fill(circle(25, 16.5, 1.3), GREEN)
    c.fill(rect(6, 19, 26, 20.5), GREY_DARK)
    # Printed sheet with its lines.
    outlined(c, rect(7.5, 19.5, 24.5, 30.5), rect(8.5, 20.5, 23.5, 29.5), GREY_DARK, WHITE)
    for y in (23, 25.5, 28):
        c.fill(segment(10.5, y, 21.5, y, 1.0), BLUE)
    return c


def draw_close():
    """Close: an open door with an arrow pointing out."""
    c = Canvas(32)
    # Door frame and the dark opening.
    outlined(c, rect(5, 3, 21, 30), rect(6.5, 4.5, 19.5, 30), BROWN_DARK, (60, 50, 44))
    # The door swung open towards the viewer.
    door = [(6.5, 4.5), (15, 7.5), (15, 31), (6.5, 30)]
    c.fill(polyline(door + [door[0]], 1.6), BROWN_DARK)
    c.fill(polygon(door), BROWN)
    c.fill(circle(13, 18.5, 1.0), (240, 200, 80))
    # Arrow out.
    arrow = [(17, 14.5), (23, 14.5), (23, 10.5), (30.5, 17.5), (23, 24.5), (23, 20.5), (17, 20.5)]
    c.fill(polyline(arrow + [arrow[0]], 1.8), GREEN_DARK)
    c.fill(polygon(arrow), GREEN)
    return c


def draw_help():
    """Help: a question mark on a blue disc, 24 x 24."""
    c = Canvas(24)
    c.fill(circle(12, 12, 11.2), BLUE_DARK)
    c.fill(circle(12, 12, 10.0), BLUE)
    c.fill(circle(11, 10.5, 8.2), (70, 130, 220), 0.6)
    c.fill(arc(12, 9.2, 3.4, 2.4, 300, 180), WHITE)
    c.fill(segment(13.7, 12.2, 12, 13.6, 2.4), WHITE)
    c.fill(segment(12, 13.4, 12, 15.2, 2.4), WHITE)
    c.fill(circle(12, 18.4, 1.45), WHITE)
    return c


PICTURES = {
    "kelvora.png": draw_meter,
    "read.png": draw_read,
    "save.png": draw_save,
    "clear.png": draw_clear,
    "print.png": draw_print,
    "close.png": draw_close,
    "help.png": draw_help,
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    os.makedirs(folder, exist_ok=True)
    for name, draw in PICTURES.items():
        stem, ext = os.path.splitext(name)
        for scale, suffix in ((1, ""), (2, "@2x")):
            Canvas.scale = scale
            with open(os.path.join(folder, stem + suffix + ext), "wb") as out:
                out.write(draw().png())
    os.makedirs(os.path.join(folder, "icons"), exist_ok=True)
    for pixels in (48, 256):
        Canvas.scale = pixels / 32
        with open(os.path.join(folder, "icons", "kelvora-%d.png" % pixels), "wb") as out:
            out.write(draw_meter().png())
    Canvas.scale = 1


if __name__ == "__main__":
    main()
