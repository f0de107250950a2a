#!/usr/bin/env python3
"""Draws the palette editor's 16 x 16 tool icons into resources/images/pal-*.ico.

Each icon is one 32-bit image with alpha (plus the AND mask Windows expects). Run it again
after changing a glyph and commit the output; the build only reads the .ico files.
"""
import os
import struct
import sys

SIZE = 16
CLEAR = (0, 0, 0, 0)

INK = (40, 44, 52, 255)
WHITE = (255, 255, 255, 255)
EDGE = (96, 104, 118, 255)
RED = (210, 48, 48, 255)
GREEN = (40, 160, 70, 255)
BLUE = (38, 110, 204, 255)
YELLOW = (240, 196, 40, 255)
FOLDER = (238, 186, 64, 255)
FOLDER_DARK = (176, 124, 28, 255)
GREY = (170, 176, 186, 255)


class Canvas:
    def __init__(self):
        self.pixels = [[CLEAR] * SIZE for _ in range(SIZE)]

    def put(self, x, y, color):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.pixels[y][x] = color

    def rect(self, x0, y0, x1, y1, color):
        """Fills x0..x1-1, y0..y1-1."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, color)

    def frame(self, x0, y0, x1, y1, color):
        self.rect(x0, y0, x1, y0 + 1, color)
        self.rect(x0, y1 - 1, x1, y1, color)
        self.rect(x0, y0, x0 + 1, y1, color)
        self.rect(x1 - 1, y0, x1, y1, color)

    def swatch(self, x0, y0, x1, y1, color):
        self.rect(x0, y0, x1, y1, color)
        self.frame(x0, y0, x1, y1, INK)

    def line(self, x0, y0, x1, y1, color, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            self.rect(x, y, x + width, y + width, color)


def plus(c, cx, cy, color):
    c.rect(cx - 3, cy - 1, cx + 4, cy + 2, WHITE)
    c.rect(cx - 1, cy - 3, cx + 2, cy + 4, WHITE)
    c.rect(cx - 2, cy, cx + 3, cy + 1, color)
    c.rect(cx, cy - 2, cx + 1, cy + 3, color)


def minus(c, cx, cy, color):
    c.rect(cx - 3, cy - 1, cx + 4, cy + 2, WHITE)
    c.rect(cx - 2, cy, cx + 3, cy + 1, color)


def cross(c, x0, y0, x1, y1, color):
    c.line(x0, y0, x1, y1, color, 2)
    c.line(x0, y1, x1, y0, color, 2)


def arrow(c, left):
    tip = 2 if left else 13
    step = 1 if left else -1
    for i in range(6):
        x = tip + step * i
        c.rect(x, 8 - i, x + 1, 8 + i + 1, BLUE)
    # The shaft overlaps the head's last column so the two read as one shape.
    x0, x1 = (7, 14) if left else (2, 9)
    c.rect(x0, 6, x1, 11, BLUE)


def draw_gradient(c):
    for x in range(1, 15):
        t = (x - 1) / 13
        color = (round(210 * (1 - t) + 38 * t), round(48 * (1 - t) + 110 * t), round(48 * (1 - t) + 204 * t), 255)
        c.rect(x, 3, x + 1, 13, color)
    c.frame(0, 2, 16, 14, INK)


def draw_delete_duplicates(c):
    c.swatch(0, 1, 8, 9, GREEN)
    c.swatch(5, 6, 13, 14, GREEN)
    minus(c, 12, 3, RED)


def draw_add(c):
    c.swatch(1, 3, 11, 13, BLUE)
    plus(c, 12, 4, GREEN)


def draw_remove(c):
    c.swatch(1, 3, 11, 13, BLUE)
    minus(c, 12, 4, RED)


def draw_replace(c):
    c.swatch(0, 0, 9, 9, YELLOW)
    c.swatch(6, 6, 15, 15, BLUE)
    c.line(10, 2, 13, 2, INK)
    c.line(13, 2, 13, 4, INK)
    c.line(2, 11, 2, 13, INK)
    c.line(2, 13, 4, 13, INK)


def draw_move_left(c):
    arrow(c, True)


def draw_move_right(c):
    arrow(c, False)


def draw_sort(c):
    for i, height in enumerate((3, 6, 9, 12)):
        x = 1 + 4 * i
        c.swatch(x, 15 - height, x + 3, 15, (GREY, YELLOW, GREEN, BLUE)[i])


def draw_delete_unused(c):
    c.swatch(1, 1, 15, 15, GREY)
    cross(c, 3, 3, 11, 11, RED)


def draw_read(c):
    c.rect(1, 5, 14, 14, FOLDER)
    c.rect(1, 3, 6, 5, FOLDER)
    c.frame(1, 3, 6, 6, FOLDER_DARK)
    c.frame(1, 5, 14, 14, FOLDER_DARK)
    for i, color in enumerate((RED, GREEN, BLUE)):
        c.rect(4 + 3 * i, 8, 6 + 3 * i, 11, color)


def draw_write(c):
    c.rect(1, 1, 15, 15, BLUE)
    c.frame(1, 1, 15, 15, INK)
    c.rect(4, 2, 12, 7, WHITE)
    c.rect(4, 10, 12, 15, GREY)
    for i, color in enumerate((RED, GREEN, YELLOW)):
        c.rect(5 + 2 * i, 3, 7 + 2 * i, 6, color)


ICONS = [
    ("pal-gradient.ico", draw_gradient),
    ("pal-delete-duplicates.ico", draw_delete_duplicates),
    ("pal-add.ico", draw_add),
    ("pal-remove.ico", draw_remove),
    ("pal-replace.ico", draw_replace),
    ("pal-move-left.ico", draw_move_left),
    ("pal-move-right.ico", draw_move_right),
    ("pal-sort.ico", draw_sort),
    ("pal-delete-unused.ico", draw_delete_unused),
    ("pal-read.ico", draw_read),
    ("pal-write.ico", draw_write),
]


def icon_bytes(canvas):
    """An ICO file with one 32-bit image: header, directory entry, DIB with doubled height."""
    rows = b""
    for y in reversed(range(SIZE)):
        for (r, g, b, a) in canvas.pixels[y]:
            rows += bytes((b, g, r, a))
    mask = b""
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            if canvas.pixels[y][x][3] == 0:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)  # rows padded to 32 bits
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    image = header + rows + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22)
    return directory + image


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = os.path.join(root, "resources", "images")
    os.makedirs(out, exist_ok=True)
    for name, draw in ICONS:
        canvas = Canvas()
        draw(canvas)
        with open(os.path.join(out, name), "wb") as f:
            f.write(icon_bytes(canvas))
    return 0


if __name__ == "__main__":
    sys.exit(main())
