#!/usr/bin/env python3
"""Generates the skins that come with Quobel: skins/<name>/skin.ini and its five bitmaps.

Run from anywhere: python3 scripts/make-skins.py. The output is committed; run it again after a
change here and commit the result.
"""
import os
import struct

HEIGHT = 24
MOVE_BAR = 8
SIZE_BAR = 8
ARROW = 14
DROPDOWN = 14
MENU_BUTTON = 24
BUTTON = 40
BORDER_LEFT = 6
BORDER_RIGHT = 6
BORDER_TOP = 3
BORDER_BOTTOM = 3
ERROR = 16


class Canvas:
    def __init__(self, width, height, color=(0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [[color] * width for _ in range(height)]

    def put(self, x, y, color):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = color

    def fill(self, x0, y0, x1, y1, color):
        for y in range(max(y0, 0), min(y1, self.height)):
            for x in range(max(x0, 0), min(x1, self.width)):
                self.pixels[y][x] = color

    def vgradient(self, x0, x1, top, bottom):
        for y in range(self.height):
            t = y / max(self.height - 1, 1)
            self.fill(x0, y, x1, y + 1, mix(top, bottom, t))

    def frame(self, x0, y0, x1, y1, light, dark):
        self.fill(x0, y0, x1, y0 + 1, light)
        self.fill(x0, y0, x0 + 1, y1, light)
        self.fill(x0, y1 - 1, x1, y1, dark)
        self.fill(x1 - 1, y0, x1, y1, dark)

    def bmp(self):
        stride = (self.width * 3 + 3) // 4 * 4
        rows = []
        for y in range(self.height - 1, -1, -1):  # bottom-up
            row = b"".join(bytes((b, g, r)) for (r, g, b) in self.pixels[y])
            rows.append(row + b"\0" * (stride - len(row)))
        data = b"".join(rows)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(data),
                           2835, 2835, 0, 0)
        header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
        return header + info + data


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def triangle(c, x0, width, direction, color, bar=False):
    """A small arrow glyph centred in the segment; `bar` adds a stop line (first/last)."""
    cy = HEIGHT // 2
    cx = x0 + width // 2
    size = 4
    for i in range(size):
        half = i
        if direction == "left":
            x = cx - size // 2 + i
            c.fill(x, cy - half, x + 1, cy + half + 1, color)
        elif direction == "right":
            x = cx + size // 2 - i
            c.fill(x, cy - half, x + 1, cy + half + 1, color)
        else:  # down
            y = cy + size // 2 - i
            c.fill(cx - half, y, cx + half + 1, y + 1, color)
    if bar:
        x = cx - size // 2 - 2 if direction == "left" else cx + size // 2 + 1
        c.fill(x, cy - size + 1, x + 1, cy + size, color)


def grip(c, x0, width, light, dark):
    for y in range(5, HEIGHT - 5, 3):
        for x in range(x0 + 2, x0 + width - 2, 3):
            c.put(x, y, light)
            c.put(x + 1, y + 1, dark)


def state_face(p, state):
    top, bottom = p["face_top"], p["face_bottom"]
    if state == 1:
        return mix(top, p["hot"], 0.45), mix(bottom, p["hot"], 0.45)
    if state == 2:
        return bottom, top
    return top, bottom


def state_button(c, x0, width, p, state):
    top, bottom = state_face(p, state)
    for y in range(HEIGHT):
        c.fill(x0, y, x0 + width, y + 1, mix(top, bottom, y / (HEIGHT - 1)))
    light, dark = (p["shadow"], p["light"]) if state == 2 else (p["light"], p["shadow"])
    c.frame(x0, 1, x0 + width, HEIGHT - 1, light, dark)


def make_background(p):
    c = Canvas(16, HEIGHT)
    c.vgradient(0, 16, p["bar_top"], p["bar_bottom"])
    c.fill(0, 0, 16, 1, p["light"])
    c.fill(0, HEIGHT - 1, 16, HEIGHT, p["shadow"])
    return c


def make_arrows(p):
    width = MOVE_BAR + SIZE_BAR + 3 * (4 * ARROW + DROPDOWN)
    c = Canvas(width, HEIGHT)
    c.vgradient(0, width, p["bar_top"], p["bar_bottom"])
    grip(c, 0, MOVE_BAR, p["light"], p["shadow"])
    grip(c, MOVE_BAR, SIZE_BAR, p["light"], p["shadow"])
    x = MOVE_BAR + SIZE_BAR
    for direction, bar, w in (("left", False, ARROW), ("right", False, ARROW),
                              ("left", True, ARROW), ("right", True, ARROW),
                              ("down", False, DROPDOWN)):
        for state in range(3):
            state_button(c, x, w, p, state)
            shift = 1 if state == 2 else 0
            glyph = p["glyph_hot"] if state == 1 else p["glyph"]
            triangle(c, x + shift, w, direction, glyph, bar)
            x += w
    return c


def make_menu_button(p):
    c = Canvas(3 * MENU_BUTTON, HEIGHT)
    for state in range(3):
        x0 = state * MENU_BUTTON
        state_button(c, x0, MENU_BUTTON, p, state)
        shift = 1 if state == 2 else 0
        glyph = p["glyph_hot"] if state == 1 else p["glyph"]
        for y in (8, 11, 14):
            c.fill(x0 + 7 + shift, y + shift, x0 + MENU_BUTTON - 7 + shift, y + 2 + shift, glyph)
    return c


def make_button(p):
    c = Canvas(3 * BUTTON, HEIGHT)
    for state in range(3):
        x0 = state * BUTTON
        top, bottom = state_face(p, state)
        top, bottom = mix(top, p["message"], 0.5), mix(bottom, p["message"], 0.5)
        for y in range(HEIGHT):
            c.fill(x0, y, x0 + BUTTON, y + 1, mix(top, bottom, y / (HEIGHT - 1)))
        light, dark = (p["shadow"], p["light"]) if state == 2 else (p["light"], p["shadow"])
        # Rounded ends in the fixed borders; the middle is plain so that it tiles.
        c.fill(x0, 2, x0 + BUTTON, 3, light)
        c.fill(x0, HEIGHT - 3, x0 + BUTTON, HEIGHT - 2, dark)
        for y in range(2, HEIGHT - 2):
            c.put(x0 + 1, y, light)
            c.put(x0 + BUTTON - 2, y, dark)
        for x, y in ((0, 2), (0, HEIGHT - 3), (BUTTON - 1, 2), (BUTTON - 1, HEIGHT - 3)):
            c.put(x0 + x, y, p["bar_top"] if y == 2 else p["bar_bottom"])
        c.fill(x0, 0, x0 + BUTTON, 2, p["bar_top"])
        c.fill(x0, HEIGHT - 2, x0 + BUTTON, HEIGHT, p["bar_bottom"])
        c.fill(x0, 2, x0 + 1, HEIGHT - 2, p["bar_top"])
        c.fill(x0 + BUTTON - 1, 2, x0 + BUTTON, HEIGHT - 2, p["bar_top"])
    return c


def make_error(p):
    c = Canvas(ERROR, HEIGHT)
    c.vgradient(0, ERROR, p["bar_top"], p["bar_bottom"])
    red = (210, 40, 40)
    for i in range(4, 12):
        c.put(i, HEIGHT // 2 - 8 + i, red)
        c.put(i, HEIGHT // 2 + 8 - i, red)
    return c


def color(rgb):
    return "%d %d %d" % rgb


def font(prefix, name, size, rgb, bold=False):
    return [
        f"{prefix}.Name={name}",
        f"{prefix}.Size={size}",
        f"{prefix}.Color={color(rgb)}",
        f"{prefix}.Bold={1 if bold else 0}",
        f"{prefix}.Italic=0",
        f"{prefix}.Underline=0",
    ]


def make_ini(p):
    lines = [
        "[Arrows]",
        f"MoveBar.Width={MOVE_BAR}",
        f"SizeBar.Width={SIZE_BAR}",
        f"LeftArrow.Width={ARROW}",
        f"RightArrow.Width={ARROW}",
        f"FirstArrow.Width={ARROW}",
        f"LastArrow.Width={ARROW}",
        f"Dropdown.Width={DROPDOWN}",
        "",
        "[MenuButton]",
        f"Width={MENU_BUTTON}",
        "",
        "[Button]",
        f"Width={BUTTON}",
        f"Border.Left={BORDER_LEFT}",
        f"Border.Right={BORDER_RIGHT}",
        f"Border.Top={BORDER_TOP}",
        f"Border.Bottom={BORDER_BOTTOM}",
        *font("Font", p["font"], 9, p["text"]),
        "",
        "[Error]",
        f"Width={ERROR}",
        "",
        "[Menu]",
        f"Border.Color={color(p['menu_border'])}",
        f"Seperator.Color={color(p['menu_separator'])}",
        f"Normal.Color={color(p['menu'])}",
        f"Normal.BorderColor={color(p['menu'])}",
        f"Selected.Color={color(p['menu_selected'])}",
        f"Selected.BorderColor={color(p['menu_selected_border'])}",
        *font("Normal.Font", p["font"], 9, p["menu_text"]),
        *font("Selected.Font", p["font"], 9, p["menu_selected_text"], bold=True),
        *font("Disabled.Font", p["font"], 9, p["menu_disabled_text"]),
    ]
    return "\r\n".join(lines) + "\r\n"


SKINS = {
    # Dark: charcoal bar, steel buttons, amber highlights.
    "Graphite": dict(
        bar_top=(58, 60, 64), bar_bottom=(34, 35, 38), light=(92, 95, 100), shadow=(18, 18, 20),
        face_top=(78, 81, 87), face_bottom=(50, 52, 56), hot=(240, 170, 60), message=(70, 74, 82),
        glyph=(210, 212, 216), glyph_hot=(255, 214, 140), text=(236, 236, 236), font="DejaVu Sans",
        menu=(44, 45, 49), menu_border=(12, 12, 14), menu_separator=(80, 82, 88),
        menu_selected=(240, 170, 60), menu_selected_border=(255, 205, 120),
        menu_text=(228, 228, 228), menu_selected_text=(20, 20, 20),
        menu_disabled_text=(120, 120, 124)),
    # Light: paper white bar, soft grey buttons, blue highlights.
    "Paper": dict(
        bar_top=(252, 252, 250), bar_bottom=(226, 228, 230), light=(255, 255, 255),
        shadow=(168, 170, 176), face_top=(246, 246, 246), face_bottom=(214, 216, 220),
        hot=(120, 170, 235), message=(255, 255, 255), glyph=(70, 74, 82),
        glyph_hot=(30, 90, 180), text=(30, 30, 34), font="DejaVu Sans",
        menu=(250, 250, 250), menu_border=(150, 152, 158), menu_separator=(210, 212, 216),
        menu_selected=(204, 224, 250), menu_selected_border=(120, 170, 235),
        menu_text=(30, 30, 34), menu_selected_text=(10, 40, 100),
        menu_disabled_text=(160, 160, 164)),
    # Deep blue bar with teal buttons and white text.
    "Harbour": dict(
        bar_top=(24, 62, 110), bar_bottom=(10, 34, 68), light=(70, 120, 180), shadow=(4, 16, 36),
        face_top=(34, 110, 140), face_bottom=(18, 72, 100), hot=(90, 220, 210),
        message=(20, 96, 130), glyph=(220, 240, 250), glyph_hot=(160, 255, 240),
        text=(255, 255, 255), font="DejaVu Sans",
        menu=(16, 44, 82), menu_border=(4, 16, 36), menu_separator=(50, 90, 140),
        menu_selected=(34, 140, 150), menu_selected_border=(90, 220, 210),
        menu_text=(230, 240, 250), menu_selected_text=(255, 255, 255),
        menu_disabled_text=(100, 130, 160)),
}


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "skins")
    for name, palette in SKINS.items():
        folder = os.path.join(root, name)
        os.makedirs(folder, exist_ok=True)
        files = {
            "background.bmp": make_background(palette),
            "arrows.bmp": make_arrows(palette),
            "menubutton.bmp": make_menu_button(palette),
            "button.bmp": make_button(palette),
            "error.bmp": make_error(palette),
        }
        for file, canvas in files.items():
            with open(os.path.join(folder, file), "wb") as out:
                out.write(canvas.bmp())
        with open(os.path.join(folder, "skin.ini"), "wb") as out:
            out.write(make_ini(palette).encode("ascii"))


if __name__ == "__main__":
    main()
