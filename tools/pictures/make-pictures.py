#!/usr/bin/python3
"""Draws Dovrel's two pictures and writes them where the build takes them.

  app/win32/dovrel.ico   the program's icon: one 32x32 image, 16 colours,
                         4 bits per pixel
  ui/win32/donate.gif    the donation button: a GIF89a, 62x31, with a
                         32-entry palette (the build derives the bitmap the
                         program shows from it)

Run by hand only; the build and the tests use the committed pictures. It needs
Debian's Pillow (apt-get install python3-pil) and ImageMagick's convert, so run
it with /usr/bin/python3: another python3 earlier in PATH lacks Pillow.

Pillow draws both and writes the GIF. convert writes the icon, because Pillow
writes icons only as PNG or as 1-, 8-, 24- or 32-bit bitmaps. A picture already
in place is kept when it decodes to the pixels drawn, as other versions of
either library encode the same pixels in other bytes. With --preview DIR both
are also written there as PNG for a look.

Usage: /usr/bin/python3 tools/pictures/make-pictures.py [--preview DIR]
"""

import io
import os
import struct
import subprocess
import sys

from PIL import Image, ImageDraw

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CONVERT = "/usr/bin/convert"


def sprite(draw, x0, y0, rows, colours):
    """Draws a picture given as strings; '.' leaves what is below."""
    for dy, row in enumerate(rows):
        for dx, key in enumerate(row):
            if key != ".":
                draw.point((x0 + dx, y0 + dy), fill=colours[key])


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
    im = Image.new("RGB", (width, height), TRAY)
    d = ImageDraw.Draw(im)

    # The button: rows 0..20, a gradient in eight steps.
    button_bottom = 20
    shades = 8
    for y in range(1, button_bottom):
        step = min(shades - 1, int((y - 1) / (button_bottom - 2) * shades))
        d.line([(1, y), (width - 2, y)], fill=mix(TOP, BOTTOM, step / (shades - 1)))
    d.line([(2, 1), (width - 3, 1)], fill=GLOW)
    d.line([(1, 1), (1, button_bottom - 1)], fill=GLOW)
    d.line([(0, button_bottom), (width - 1, button_bottom)], fill=TRAY_EDGE)
    d.rectangle([0, 0, width - 1, height - 1], outline=RIM)

    word = "Donate"
    word_width = sum(len(GLYPHS[ch][0]) for ch in word) + len(word) - 1
    x = (width - word_width) // 2
    for ch in word:
        sprite(d, x, 6, GLYPHS[ch], {"#": INK})
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
        d.rectangle([x, y0, x + card_w - 1, y0 + card_h - 1], fill=body, outline=edge)
        d.rectangle([x + 2, y0 + 2, x + 4, y0 + 3], fill=mark)  # the chip
        d.rectangle([x + 2, y0 + 5, x + card_w - 3, y0 + 5], fill=mark)  # the number
    return im


def gif89a(im):
    # First-appearance order, the committed picture's, keeps the bitmap the
    # build derives from it the same.
    colours = {c: i for i, c in enumerate(dict.fromkeys(im.getdata()))}
    if len(colours) > 32:
        sys.exit(f"the donation picture has {len(colours)} colours, more than 32")
    indexed = Image.new("P", im.size)
    indexed.putpalette([v for c in colours for v in c])
    indexed.putdata([colours[c] for c in im.getdata()])
    indexed.info["version"] = b"89a"  # what Pillow reads to write GIF89a
    out = io.BytesIO()
    indexed.save(out, "GIF")
    return out.getvalue()


def is_donate_gif(data):
    # The flags ask for a global table of 32 entries.
    return data[:10] == b"GIF89a" + struct.pack("<HH", 62, 31) and data[10] & 0x87 == 0x84


# ---------------------------------------------------------------- the icon

# Colours of the standard 16-colour palette, which every 4-bit display shows.
BLACK, GREY, WHITE = (0, 0, 0), (128, 128, 128), (255, 255, 255)
RED, BLUE, NAVY = (255, 0, 0), (0, 0, 255), (0, 0, 128)
OLIVE, TEAL, PURPLE = (128, 128, 0), (0, 128, 128), (128, 0, 128)
GREEN, LIME = (0, 128, 0), (0, 255, 0)

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
    im = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    # Shadow, then the slide with its frame.
    d.rectangle([3, 4, 28, 22], fill=GREY)
    d.rectangle([2, 3, 27, 21], fill=WHITE)
    d.rectangle([1, 2, 27, 21], outline=BLACK)
    # Title bar.
    d.rectangle([3, 4, 25, 6], fill=NAVY)
    d.rectangle([4, 5, 12, 5], fill=WHITE)
    # A pie on the left: a disc with a red slice.
    for y in range(8, 19):
        for x in range(3, 14):
            dx, dy = x - 8, y - 13
            if dx * dx + dy * dy <= 20:
                d.point((x, y), fill=RED if (dx >= 0 and dy <= 0) else BLUE)
    # Bars on the right.
    for i, (h, colour) in enumerate([(5, OLIVE), (8, TEAL), (3, PURPLE)]):
        x = 16 + i * 3
        d.rectangle([x, 19 - h, x + 1, 19], fill=colour)
    # Stand.
    d.rectangle([14, 22, 15, 27], fill=GREY)
    d.rectangle([9, 28, 20, 28], fill=GREY)
    # The tick, bottom right.
    sprite(d, 19, 20, CHECK, {"K": GREEN, "L": LIME})
    return im


def ico_4bpp(im):
    png = io.BytesIO()
    im.save(png, "PNG")
    # convert writes 4 bits per pixel for a palette of at most 16 colours.
    return subprocess.run([CONVERT, "png:-", "-colors", "16", "ico:-"], input=png.getvalue(),
                          check=True, capture_output=True).stdout


def is_dovrel_ico(data):
    # One image: width, height, colours, and (past reserved byte and planes) bits.
    return data[4:6] == b"\1\0" and struct.unpack_from("<BBBxxxH", data, 6) == (32, 32, 16, 4)


# ----------------------------------------------------------------- output

def fits(path, drawn, is_right_kind):
    """The picture at path is of its kind and decodes, as the build's
    ImageMagick decodes it, to exactly the pixels drawn."""
    if not os.path.exists(path):
        return False
    with open(path, "rb") as f:
        if not is_right_kind(f.read()):
            return False
    raw = subprocess.run([CONVERT, path, "-depth", "8", drawn.mode.lower() + ":-"],
                         check=True, capture_output=True).stdout
    return raw == drawn.tobytes()


def place(relative, data, drawn, is_right_kind):
    path = os.path.join(ROOT, relative)
    if fits(path, drawn, is_right_kind):
        print(f"{relative}: kept, it already shows what is drawn")
        return
    with open(path, "wb") as f:
        f.write(data)
    if not fits(path, drawn, is_right_kind):
        sys.exit(f"{relative}: what was written does not decode to what was drawn")
    print(f"{relative}: written, {len(data)} bytes")


def main():
    preview = None
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        preview = sys.argv[2]
    elif len(sys.argv) != 1:
        sys.exit(__doc__)

    button = draw_donate_button()
    icon = draw_icon()
    place("ui/win32/donate.gif", gif89a(button), button, is_donate_gif)
    place("app/win32/dovrel.ico", ico_4bpp(icon), icon, is_dovrel_ico)
    if preview:
        os.makedirs(preview, exist_ok=True)
        button.save(os.path.join(preview, "donate.png"))
        icon.save(os.path.join(preview, "dovrel-icon.png"))
        print(f"previews in {preview}")


if __name__ == "__main__":
    main()
