#!/usr/bin/env python3
"""Draws Velmora's toolbar pictures and icons and writes them into resources/images/.

Toolbar pictures: 28 x 28 pixels, 24-bit BMP, magenta (255, 0, 255) wherever the toolbar's
background should show. Icons: 32-bit ICO with alpha. Run it again after changing a glyph and
commit its output; the build only reads the files.

Shapes are drawn without anti-aliasing on their outer edge: a blended edge pixel would mix
with magenta and show as a pink fringe once the mask removes the magenta.
"""
import math
import os
import struct
import sys

MAGENTA = (255, 0, 255)
SIZE = 28

# A small palette so the glyphs look like one family.
INK = (40, 44, 52)
PAPER = (255, 255, 255)
PAGE_EDGE = (96, 104, 118)
FOLDER = (238, 186, 64)
FOLDER_DARK = (176, 124, 28)
BLUE = (38, 110, 204)
BLUE_DARK = (22, 70, 140)
BLUE_LIGHT = (150, 196, 240)
GREEN = (40, 160, 70)
GREEN_DARK = (24, 110, 44)
RED = (210, 48, 48)
RED_DARK = (150, 26, 26)
SKY = (140, 200, 245)
HILL = (70, 150, 80)
SUN = (250, 205, 50)
GREY = (150, 156, 166)
LIGHT = (222, 226, 232)
FILM = (58, 62, 72)


class Canvas:
    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.pixels = [[background] * width for _ in range(height)]

    def put(self, x, y, color):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = color

    def rect(self, x0, y0, x1, y1, color):
        """Fills the pixels x0..x1-1, y0..y1-1."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, color)

    def frame(self, x0, y0, x1, y1, color):
        self.rect(x0, y0, x1, y0 + 1, color)
        self.rect(x0, y1 - 1, x1, y1, color)
        self.rect(x0, y0, x0 + 1, y1, color)
        self.rect(x1 - 1, y0, x1, y1, color)

    def polygon(self, points, color):
        """Fills every pixel whose centre lies inside the polygon (even-odd rule)."""
        for y in range(self.height):
            cy = y + 0.5
            for x in range(self.width):
                cx = x + 0.5
                inside = False
                j = len(points) - 1
                for i in range(len(points)):
                    xi, yi = points[i]
                    xj, yj = points[j]
                    if (yi > cy) != (yj > cy):
                        if cx < (xj - xi) * (cy - yi) / (yj - yi) + xi:
                            inside = not inside
                    j = i
                if inside:
                    self.put(x, y, color)

    def disc(self, cx, cy, radius, color):
        for y in range(self.height):
            for x in range(self.width):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius * radius:
                    self.put(x, y, color)

    def ring(self, cx, cy, outer, inner, color, start=0.0, end=360.0):
        """Fills the annulus between the radii, between two angles (degrees, clockwise from +x)."""
        for y in range(self.height):
            for x in range(self.width):
                dx, dy = x + 0.5 - cx, y + 0.5 - cy
                d2 = dx * dx + dy * dy
                if inner * inner <= d2 <= outer * outer:
                    angle = math.degrees(math.atan2(dy, dx)) % 360
                    if start <= end:
                        ok = start <= angle <= end
                    else:
                        ok = angle >= start or angle <= end
                    if ok:
                        self.put(x, y, color)

    def line(self, x0, y0, x1, y1, width, color):
        """A thick segment: pixels whose centre is within width/2 of it."""
        half = width / 2.0
        for y in range(self.height):
            for x in range(self.width):
                px, py = x + 0.5, y + 0.5
                vx, vy = x1 - x0, y1 - y0
                length2 = vx * vx + vy * vy
                t = 0 if length2 == 0 else max(0.0, min(1.0, ((px - x0) * vx + (py - y0) * vy) / length2))
                qx, qy = x0 + t * vx, y0 + t * vy
                if (px - qx) ** 2 + (py - qy) ** 2 <= half * half:
                    self.put(x, y, color)

    def glyph(self, rows, x0, y0, color):
        """Draws a bitmap font glyph given as strings of '#' and '.'."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch == "#":
                    self.put(x0 + dx, y0 + dy, color)


# ---- Shared parts -------------------------------------------------------------------------

def page(c, x0=6, y0=3, x1=22, y1=25, fold=6):
    outline = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]
    c.polygon(outline, PAGE_EDGE)
    inner = [(x0 + 1, y0 + 1), (x1 - fold - 0.5, y0 + 1), (x1 - 1, y0 + fold + 0.5), (x1 - 1, y1 - 1),
             (x0 + 1, y1 - 1)]
    c.polygon(inner, PAPER)
    c.polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], LIGHT)
    c.line(x1 - fold, y0 + 0.5, x1 - fold, y0 + fold, 1, PAGE_EDGE)
    c.line(x1 - fold, y0 + fold - 0.5, x1, y0 + fold - 0.5, 1, PAGE_EDGE)


def picture(c, x0, y0, x1, y1):
    """A framed landscape: the program's sign for one animation frame."""
    c.rect(x0, y0, x1, y1, PAGE_EDGE)
    c.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, SKY)
    c.disc(x1 - 5, y0 + 5, 2.2, SUN)
    c.polygon([(x0 + 1, y1 - 1), (x0 + 6, y0 + 7), (x0 + 10, y1 - 5), (x0 + 13, y0 + 9), (x1 - 1, y1 - 1)], HILL)


def badge_plus(c, cx, cy):
    c.disc(cx, cy, 6, GREEN_DARK)
    c.disc(cx, cy, 5, GREEN)
    c.rect(int(cx) - 3, int(cy) - 1, int(cx) + 3, int(cy) + 1, PAPER)
    c.rect(int(cx) - 1, int(cy) - 3, int(cx) + 1, int(cy) + 3, PAPER)


def badge_cross(c, cx, cy):
    c.disc(cx, cy, 6, RED_DARK)
    c.disc(cx, cy, 5, RED)
    c.line(cx - 2.5, cy - 2.5, cx + 2.5, cy + 2.5, 2, PAPER)
    c.line(cx - 2.5, cy + 2.5, cx + 2.5, cy - 2.5, 2, PAPER)


def arrow_vertical(c, down):
    shaft = [(10, 3), (18, 3), (18, 14), (10, 14)]
    head = [(4, 13), (24, 13), (14, 25)]
    if not down:
        shaft = [(x, SIZE - y) for x, y in shaft]
        head = [(x, SIZE - y) for x, y in head]
    c.polygon(shaft, BLUE_DARK)
    c.polygon(head, BLUE_DARK)
    inner_shaft = [(11, 4), (17, 4), (17, 15), (11, 15)]
    inner_head = [(7, 14), (21, 14), (14, 23)]
    if not down:
        inner_shaft = [(x, SIZE - y) for x, y in inner_shaft]
        inner_head = [(x, SIZE - y) for x, y in inner_head]
    c.polygon(inner_shaft, BLUE)
    c.polygon(inner_head, BLUE)


def curved_arrow(c, mirror):
    c.ring(14, 16, 9, 5, BLUE, 180, 360)
    c.ring(14, 16, 9, 5, BLUE, 0, 20)
    head = [(1, 15), (12, 15), (6.5, 23)]
    c.polygon(head, BLUE_DARK)
    if mirror:
        flipped = [[c.pixels[y][SIZE - 1 - x] for x in range(SIZE)] for y in range(SIZE)]
        c.pixels = flipped


# ---- The sixteen toolbar pictures ---------------------------------------------------------

def draw_new(c):
    page(c)
    c.disc(20, 21, 4.5, SUN)
    c.line(20, 15, 20, 27, 1, FOLDER_DARK)
    c.line(14, 21, 26, 21, 1, FOLDER_DARK)


def draw_open(c):
    c.polygon([(2, 7), (10, 7), (12, 9), (24, 9), (24, 23), (2, 23)], FOLDER_DARK)
    c.polygon([(3, 8), (9.5, 8), (11.5, 10), (23, 10), (23, 22), (3, 22)], FOLDER)
    c.polygon([(6, 13), (27, 13), (23, 23), (2, 23)], FOLDER_DARK)
    c.polygon([(7, 14), (25.5, 14), (22.3, 22), (3.5, 22)], (250, 214, 110))


def draw_save(c):
    c.rect(3, 3, 25, 25, BLUE_DARK)
    c.rect(4, 4, 24, 24, BLUE)
    c.rect(8, 4, 20, 11, PAPER)
    c.rect(16, 5, 19, 10, BLUE_DARK)
    c.rect(7, 15, 21, 24, LIGHT)
    c.rect(9, 17, 19, 18, GREY)
    c.rect(9, 20, 19, 21, GREY)


def draw_optimize(c):
    # A funnel: squeezing the file down.
    c.polygon([(3, 4), (25, 4), (16, 15), (16, 25), (12, 22), (12, 15)], GREEN_DARK)
    c.polygon([(5, 5), (23, 5), (15, 14.5), (15, 23), (13, 21.5), (13, 14.5)], GREEN)


def draw_undo(c):
    curved_arrow(c, mirror=False)


def draw_redo(c):
    curved_arrow(c, mirror=True)


def draw_add_empty(c):
    c.rect(2, 4, 22, 21, PAGE_EDGE)
    c.rect(3, 5, 21, 20, PAPER)
    badge_plus(c, 20, 20)


def draw_add(c):
    picture(c, 2, 4, 22, 21)
    badge_plus(c, 20, 20)


def draw_delete(c):
    picture(c, 2, 4, 22, 21)
    badge_cross(c, 20, 20)


def draw_move_down(c):
    arrow_vertical(c, down=True)


def draw_move_up(c):
    arrow_vertical(c, down=False)


def draw_animate(c):
    # A film strip with a play sign.
    c.rect(2, 5, 26, 23, FILM)
    for x in range(4, 26, 4):
        c.rect(x, 6, x + 2, 8, PAPER)
        c.rect(x, 20, x + 2, 22, PAPER)
    c.rect(3, 9, 25, 19, SKY)
    c.polygon([(11, 10), (11, 18), (18, 14)], GREEN_DARK)


def draw_loop(c):
    c.ring(14, 14, 10, 6, BLUE, 200, 340)
    c.ring(14, 14, 10, 6, BLUE, 20, 160)
    c.polygon([(22, 8), (26, 15), (18, 15)], BLUE_DARK)
    c.polygon([(6, 20), (2, 13), (10, 13)], BLUE_DARK)


def draw_delay(c):
    c.disc(14, 14, 11, INK)
    c.disc(14, 14, 9.5, PAPER)
    for k in range(12):
        a = math.radians(k * 30)
        c.put(int(14 + 8 * math.cos(a)), int(14 + 8 * math.sin(a)), GREY)
    c.line(14, 14, 14, 7, 2, INK)
    c.line(14, 14, 19, 17, 2, RED)


def draw_play(c):
    # Play in the window: a round button with the play sign, unlike Animate's film strip.
    c.disc(14, 14, 12, GREEN_DARK)
    c.disc(14, 14, 11, GREEN)
    c.polygon([(10, 7), (10, 21), (21, 14)], PAPER)


QUESTION = [
    "..####..",
    ".##..##.",
    "......##",
    ".....##.",
    "....##..",
    "...##...",
    "...##...",
    "........",
    "...##...",
    "...##...",
]


def draw_help(c):
    c.disc(14, 14, 12, BLUE_DARK)
    c.disc(14, 14, 11, BLUE)
    c.glyph([row for row in QUESTION for _ in (0,)], 10, 9, PAPER)
    # Thicken: draw the glyph once more one pixel to the right for weight at this size.
    c.glyph(QUESTION, 11, 9, PAPER)


TOOLBAR = [
    ("tb-new.bmp", draw_new),
    ("tb-open.bmp", draw_open),
    ("tb-save.bmp", draw_save),
    ("tb-optimize.bmp", draw_optimize),
    ("tb-undo.bmp", draw_undo),
    ("tb-redo.bmp", draw_redo),
    ("tb-add-empty.bmp", draw_add_empty),
    ("tb-add.bmp", draw_add),
    ("tb-delete.bmp", draw_delete),
    ("tb-move-down.bmp", draw_move_down),
    ("tb-move-up.bmp", draw_move_up),
    ("tb-animate.bmp", draw_animate),
    ("tb-loop.bmp", draw_loop),
    ("tb-delay.bmp", draw_delay),
    ("tb-help.bmp", draw_help),
    ("tb-play.bmp", draw_play),
]


# ---- Icons ----------------------------------------------------------------------------------

def draw_app_icon(size):
    """A stack of two frames with a play sign: an animated picture."""
    c = Canvas(size, size, None)
    s = size / 32.0

    def sc(points):
        return [(x * s, y * s) for x, y in points]

    c.polygon(sc([(8, 2), (30, 2), (30, 22), (8, 22)]), PAGE_EDGE)
    c.polygon(sc([(9, 3), (29, 3), (29, 21), (9, 21)]), LIGHT)
    c.polygon(sc([(2, 9), (24, 9), (24, 30), (2, 30)]), BLUE_DARK)
    c.polygon(sc([(3, 10), (23, 10), (23, 29), (3, 29)]), SKY)
    c.polygon(sc([(3, 29), (9, 19), (13, 25), (17, 21), (23, 29)]), HILL)
    c.polygon(sc([(10, 13), (10, 24), (19, 18.5)]), RED)
    return c


def draw_tick_icon():
    c = Canvas(8, 8, None)
    # A check mark, two pixels thick.
    for x, y in [(0, 4), (1, 5), (2, 6), (3, 5), (4, 4), (5, 3), (6, 2), (7, 1)]:
        c.put(x, y, (0, 0, 0))
        c.put(x, y - 1, (0, 0, 0))
    return c


# ---- File writers ---------------------------------------------------------------------------

def bmp24(canvas):
    row_bytes = (canvas.width * 3 + 3) & ~3
    data = bytearray()
    for y in range(canvas.height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(canvas.width):
            r, g, b = canvas.pixels[y][x]
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        data += row
    header = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0, 14 + len(header))
    return file_header + header + data


def icon_image(canvas):
    """One 32-bit icon image: BITMAPINFOHEADER with doubled height, BGRA rows, AND mask."""
    w, h = canvas.width, canvas.height
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            p = canvas.pixels[y][x]
            xor += bytes((0, 0, 0, 0)) if p is None else bytes((p[2], p[1], p[0], 255))
    mask_row = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(w):
            if canvas.pixels[y][x] is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def ico(canvases):
    images = [icon_image(c) for c in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = os.path.join(root, "resources", "images")
    os.makedirs(out_dir, exist_ok=True)
    for name, draw in TOOLBAR:
        canvas = Canvas(SIZE, SIZE, MAGENTA)
        draw(canvas)
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(bmp24(canvas))
    with open(os.path.join(out_dir, "app.ico"), "wb") as f:
        f.write(ico([draw_app_icon(32), draw_app_icon(48)]))
    with open(os.path.join(out_dir, "app-small.ico"), "wb") as f:
        f.write(ico([draw_app_icon(16)]))
    with open(os.path.join(out_dir, "tick.ico"), "wb") as f:
        f.write(ico([draw_tick_icon()]))
    print(f"wrote {len(TOOLBAR)} toolbar pictures and 3 icons to {out_dir}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
