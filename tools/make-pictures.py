#!/usr/bin/env python3
"""Draws Dovrel's two pictures and writes them where the build takes them.

  app/win32/dovrel.ico               the program's icon: 32x32, 16 colours
  ui/win32/donate.gif                the donation button: a GIF89a, 62x31,
                                     at most 32 colours (the build derives
                                     the bitmap the program shows from it)

Pure Python, no dependencies, so the output is the same on every machine.
ImageMagick's convert, when installed, checks that the GIF decodes to exactly
the pixels drawn. With --preview DIR it also writes dovrel-icon.gif and
donate.gif there for a look.

Usage: tools/make-pictures.py [--preview DIR]
"""

import os
import struct
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# ---------------------------------------------------------------- GIF writer


def lzw_compress(indices, min_code_size):
    """GIF's variable-width LZW, codes packed least significant bit first."""
    clear = 1 << min_code_size
    end = clear + 1
    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    width = min_code_size + 1
    out = bytearray()
    bits = 0
    nbits = 0

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    emit(clear)
    run = ()
    for index in indices:
        longer = run + (index,)
        if longer in table:
            run = longer
            continue
        emit(table[run])
        # Small pictures never fill the 4096-entry table; refuse rather than
        # carry an untried reset path.
        assert next_code < 4096, "picture too large for this encoder"
        table[longer] = next_code
        next_code += 1
        # The decoder adds its entries one code later, so it widens one code
        # after the encoder's table passes the current width.
        if next_code > (1 << width) and width < 12:
            width += 1
        run = (index,)
    if run:
        emit(table[run])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def gif89a(width, height, palette, pixels):
    """One image, global colour table of 2..256 entries, no extensions."""
    size_bits = max(1, (len(palette) - 1).bit_length())
    table_size = 1 << size_bits
    colours = list(palette) + [(0, 0, 0)] * (table_size - len(palette))
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", width, height, 0x80 | 0x70 | (size_bits - 1), 0, 0)
    for r, g, b in colours:
        data += bytes((r, g, b))
    data += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    min_code_size = max(2, size_bits)
    data.append(min_code_size)
    stream = lzw_compress(pixels, min_code_size)
    for start in range(0, len(stream), 255):
        chunk = stream[start:start + 255]
        data.append(len(chunk))
        data += chunk
    data += b"\x00\x3b"
    return bytes(data)


# --------------------------------------------------------- a tiny canvas


class Canvas:
    def __init__(self, width, height, fill):
        self.width = width
        self.height = height
        self.rows = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        """Filled, inclusive corners."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.put(x, y0, colour)
            self.put(x, y1, colour)
        for y in range(y0, y1 + 1):
            self.put(x0, y, colour)
            self.put(x1, y, colour)

    def sprite(self, x0, y0, rows, colours):
        """Draws a picture given as strings; '.' leaves the canvas alone."""
        for dy, row in enumerate(rows):
            for dx, key in enumerate(row):
                if key != ".":
                    self.put(x0 + dx, y0 + dy, colours[key])


# ------------------------------------------------------ the donation button

# A bold pixel face: capitals 8 rows high, lower case 6 (rows 2..7).
GLYPHS = {
    "D": ["#####.", "##..##", "##..##", "##..##", "##..##", "##..##", "##..##", "#####."],
    "o": ["......", "......", ".####.", "##..##", "##..##", "##..##", "##..##", ".####."],
    "n": ["......", "......", "#####.", "##..##", "##..##", "##..##", "##..##", "##..##"],
    "a": ["......", "......", ".####.", "....##", ".#####", "##..##", "##..##", ".#####"],
    "t": [".##..", ".##..", "#####", ".##..", ".##..", ".##..", ".##..", "..###"],
    "e": ["......", "......", ".####.", "##..##", "######", "##....", "##..##", ".####."],
}

INK = (16, 38, 104)           # lettering
RIM = (150, 88, 12)           # the outline
GLOW = (255, 250, 222)        # the highlight inside the outline
TOP = (255, 234, 140)         # the button's fill runs from this ...
BOTTOM = (244, 164, 36)       # ... to this
TRAY = (255, 246, 220)        # the band the cards lie on
TRAY_EDGE = (226, 196, 140)   # the line between button and band


def mix(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def draw_donate_button():
    """A gold button over a band of cards, filling the whole picture: no
    background of its own to clash with the window's colour scheme."""
    width, height = 62, 31
    c = Canvas(width, height, TRAY)

    # The button: rows 0..20, a gradient in eight steps.
    button_bottom = 20
    shades = 8
    for y in range(1, button_bottom):
        t = (y - 1) / (button_bottom - 2)
        step = min(shades - 1, int(t * shades))
        c.rect(1, y, width - 2, y, mix(TOP, BOTTOM, step / (shades - 1)))
    c.rect(2, 1, width - 3, 1, GLOW)
    c.rect(1, 1, 1, button_bottom - 1, GLOW)
    c.rect(0, button_bottom, width - 1, button_bottom, TRAY_EDGE)
    c.frame(0, 0, width - 1, height - 1, RIM)

    word = "Donate"
    word_width = sum(len(GLYPHS[ch][0]) for ch in word) + len(word) - 1
    x = (width - word_width) // 2
    y = 6
    for ch in word:
        c.sprite(x, y, GLYPHS[ch], {"#": INK})
        x += len(GLYPHS[ch][0]) + 1

    # Three payment cards on the band, each of our own plain design.
    cards = [
        ((28, 62, 150), (14, 32, 90), (250, 204, 40)),
        ((196, 36, 36), (120, 18, 18), (250, 160, 40)),
        ((30, 130, 90), (14, 76, 50), (220, 236, 228)),
    ]
    card_w, card_h, gap = 13, 7, 4
    x0 = (width - (3 * card_w + 2 * gap)) // 2
    y0 = 22
    for i, (body, edge, mark) in enumerate(cards):
        x = x0 + i * (card_w + gap)
        c.rect(x, y0, x + card_w - 1, y0 + card_h - 1, body)
        c.frame(x, y0, x + card_w - 1, y0 + card_h - 1, edge)
        c.rect(x + 2, y0 + 2, x + 4, y0 + 3, mark)  # the chip
        c.rect(x + 2, y0 + 5, x + card_w - 3, y0 + 5, mark)  # the number
    return c


def indexed(canvas, limit):
    palette = []
    lookup = {}
    pixels = []
    for row in canvas.rows:
        for colour in row:
            if colour not in lookup:
                lookup[colour] = len(palette)
                palette.append(colour)
            pixels.append(lookup[colour])
    if len(palette) > limit:
        sys.exit(f"picture has {len(palette)} colours, more than {limit}")
    return palette, pixels


# ---------------------------------------------------------------- the icon

# The sixteen colours of the standard 4-bit palette.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

CHECK = [
    "..........KK",
    ".........KLK",
    "........KLLK",
    ".......KLLK.",
    "KK....KLLK..",
    "KLK..KLLK...",
    "KLLKKLLK....",
    ".KLLLLK.....",
    "..KLLK......",
    "...KK.......",
]


def draw_icon():
    """A slide on a stand, repaired: a green tick over its corner."""
    c = Canvas(32, 32, None)
    # Shadow, then the slide with its frame.
    c.rect(3, 4, 28, 22, GREY)
    c.rect(2, 3, 27, 21, WHITE)
    c.frame(1, 2, 27, 21, BLACK)
    # Title bar.
    c.rect(3, 4, 25, 6, NAVY)
    c.rect(4, 5, 12, 5, WHITE)
    # A pie on the left: a disc with a red slice.
    for y in range(8, 19):
        for x in range(3, 14):
            dx, dy = x - 8, y - 13
            if dx * dx + dy * dy <= 20:
                c.put(x, y, RED if (dx >= 0 and dy <= 0) else BLUE)
    # Bars on the right.
    for i, (h, colour) in enumerate([(5, OLIVE), (8, TEAL), (3, PURPLE)]):
        x = 16 + i * 3
        c.rect(x, 19 - h, x + 1, 19, colour)
    # Stand.
    c.rect(14, 22, 15, 27, GREY)
    c.rect(9, 28, 20, 28, GREY)
    # The tick, bottom right.
    c.sprite(19, 20, CHECK, {"K": GREEN, "L": LIME})
    return c


def ico_4bpp(canvas):
    """One 32x32 image, 4 bits per pixel, with its transparency mask."""
    w, h = canvas.width, canvas.height
    xor_stride = ((w * 4 + 31) // 32) * 4
    and_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(h)):  # bottom-up rows
        row = canvas.rows[y]
        line = bytearray()
        for x in range(0, w, 2):
            hi = row[x] if row[x] is not None else 0
            lo = row[x + 1] if row[x + 1] is not None else 0
            line.append((hi << 4) | lo)
        xor += line + b"\0" * (xor_stride - len(line))
        bits = bytearray(and_stride)
        for x in range(w):
            if row[x] is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in VGA)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w, h, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


# ----------------------------------------------------------------- output

def check_with_convert(gif_path, canvas):
    """ImageMagick decodes the GIF to exactly the pixels drawn."""
    convert = "/usr/bin/convert"
    if not os.path.exists(convert):
        return
    raw = subprocess.run([convert, gif_path, "rgb:-"], check=True, capture_output=True).stdout
    expected = bytes(v for row in canvas.rows for colour in row for v in colour)
    if raw != expected:
        sys.exit(f"{gif_path} does not decode to the pixels drawn")


def main():
    preview = None
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        preview = sys.argv[2]
    elif len(sys.argv) != 1:
        sys.exit(__doc__)

    button = draw_donate_button()
    palette, pixels = indexed(button, 32)
    gif = gif89a(button.width, button.height, palette, pixels)
    gif_path = os.path.join(ROOT, "ui/win32/donate.gif")
    with open(gif_path, "wb") as f:
        f.write(gif)
    check_with_convert(gif_path, button)

    icon = draw_icon()
    with open(os.path.join(ROOT, "app/win32/dovrel.ico"), "wb") as f:
        f.write(ico_4bpp(icon))

    print(f"donation picture: {len(gif)} bytes, {len(palette)} colours")
    if preview:
        os.makedirs(preview, exist_ok=True)
        with open(os.path.join(preview, "donate.gif"), "wb") as f:
            f.write(gif)
        icon_rgb = Canvas(32, 32, (255, 0, 255))
        for y in range(32):
            for x in range(32):
                if icon.rows[y][x] is not None:
                    icon_rgb.put(x, y, VGA[icon.rows[y][x]])
        icon_palette, icon_pixels = indexed(icon_rgb, 256)
        with open(os.path.join(preview, "dovrel-icon.gif"), "wb") as f:
            f.write(gif89a(32, 32, icon_palette, icon_pixels))
        print(f"previews in {preview}")


if __name__ == "__main__":
    main()
