#!/usr/bin/python3 -B
"""Draws the button glyphs: glyph-globe.bmp, glyph-envelope.bmp, glyph-check.bmp, glyph-ok.bmp
and glyph-cancel.bmp.

Each glyph is 32 by 16 pixels: the normal 16x16 picture, then the same picture greyed for a
disabled button. The background is KEY (magenta), which no drawing uses, and it fills the
bottom-left pixel, whose colour the button takes as transparent.

Usage: make_glyphs.py [OUTPUT_DIR [PREVIEW_DIR]]  (defaults: this folder, no preview)
"""

import os
import sys

from PIL import Image

from pixelart import KEY, enlarged, grid_image, save_bmp, to_palette

SIZE = 16


def shape_picture(mask, outline, light, mid, dark):
    """Colours a set of pixels as a raised shape lit from above: a 1-pixel outline around it,
    light pixels on its upper edges, dark ones on its lower edges."""
    rows = []
    for y in range(SIZE):
        row = ""
        for x in range(SIZE):
            if (x, y) in mask:
                if (x, y - 1) not in mask:
                    row += "l"
                elif (x, y + 1) not in mask:
                    row += "d"
                else:
                    row += "m"
            elif any(n in mask for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1))):
                row += "o"
            else:
                row += "."
        rows.append(row)
    return grid_image(rows, {".": KEY, "o": outline, "l": light, "m": mid, "d": dark})


def check_mask():
    """A check mark of two strokes at 45 degrees, three pixels wide; ends cut square."""
    long_stroke = {
        (x, y) for x in range(SIZE) for y in range(SIZE) if 17 <= x + y <= 19 and -10 <= y - x <= 7
    }
    short_stroke = {
        (x, y) for x in range(SIZE) for y in range(SIZE) if 5 <= y - x <= 7 and 10 <= x + y <= 19
    }
    return long_stroke | short_stroke


def cross_mask():
    """An X of two strokes at 45 degrees, three pixels wide, centred; ends cut square."""
    return {
        (x, y)
        for x in range(SIZE)
        for y in range(SIZE)
        if (-1 <= y - x <= 1 and 6 <= x + y <= 24) or (14 <= x + y <= 16 and -9 <= y - x <= 9)
    }


def check_picture(outline, light, mid, dark):
    return shape_picture(check_mask(), outline, light, mid, dark)


RED = dict(outline=(112, 0, 0), light=(255, 112, 96), mid=(220, 32, 24), dark=(160, 8, 8))
GREEN = dict(outline=(0, 80, 16), light=(144, 232, 112), mid=(40, 168, 40), dark=(16, 120, 24))


# Horizontal distance of the two side meridians from the centre, by distance from the equator:
# an ellipse about 60% as wide as the globe.
MERIDIAN_OFFSET = [4, 4, 4, 3, 3, 2, 0, 0]


def globe_picture():
    """A blue globe, lit from the upper left, with a light equator and meridians."""
    cx, cy, radius = 7, 7, 6.6
    disc = {
        (x, y)
        for x in range(SIZE)
        for y in range(SIZE)
        if (x - cx) ** 2 + (y - cy) ** 2 <= radius**2
    }
    colours = {
        ".": KEY,
        "o": (16, 40, 104),
        "h": (72, 144, 232),
        "b": (40, 104, 208),
        "s": (24, 72, 168),
        "g": (184, 224, 255),
        "G": (120, 168, 232),
    }
    rows = []
    for y in range(SIZE):
        row = ""
        for x in range(SIZE):
            if (x, y) not in disc:
                row += "."
                continue
            if any(n not in disc for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1))):
                row += "o"
                continue
            on_meridian = x == cx or abs(x - cx) == MERIDIAN_OFFSET[abs(y - cy)]
            on_equator = y == cy
            shade = (x - cx) + (y - cy)
            if on_meridian or on_equator:
                row += "g" if shade < 3 else "G"
            elif shade < -3:
                row += "h"
            elif shade < 4:
                row += "b"
            else:
                row += "s"
        rows.append(row)
    return grid_image(rows, colours)


ENVELOPE = [
    "................",
    "................",
    "................",
    ".oooooooooooooo.",
    ".ofssssssssssfo.",
    ".owfssssssssfwo.",
    ".owwfssssssfwwo.",
    ".owwwfssssfwwwo.",
    ".owwwwfssfwwwwo.",
    ".owwwwwffwwwwwo.",
    ".owwwwwwwwwwwwo.",
    ".oppppppppppppo.",
    ".oooooooooooooo.",
    "................",
    "................",
    "................",
]


def envelope_picture():
    colours = {
        ".": KEY,
        "o": (72, 72, 80),
        "w": (255, 255, 255),
        "f": (128, 128, 136),
        "s": (232, 232, 240),
        "p": (208, 208, 216),
    }
    return grid_image(ENVELOPE, colours)


def greyed(picture):
    """The disabled look: every drawn pixel turned grey, with the contrast flattened so the
    picture recedes like a disabled caption does."""
    result = picture.copy()
    for y in range(picture.height):
        for x in range(picture.width):
            colour = picture.getpixel((x, y))
            if colour == KEY:
                continue
            r, g, b = colour
            luminance = (299 * r + 587 * g + 114 * b) / 1000
            level = round(128 + luminance * 0.36)
            result.putpixel((x, y), (level, level, level))
    return result


def glyph(picture):
    """Puts the normal and the disabled picture side by side."""
    result = Image.new("RGB", (SIZE * 2, SIZE), KEY)
    result.paste(picture, (0, 0))
    result.paste(greyed(picture), (SIZE, 0))
    if result.getpixel((0, SIZE - 1)) != KEY:
        sys.exit("the bottom-left pixel must be the transparent colour")
    return result


GLYPHS = {
    "glyph-globe.bmp": globe_picture,
    "glyph-envelope.bmp": envelope_picture,
    "glyph-check.bmp": lambda: check_picture(**RED),
    "glyph-ok.bmp": lambda: check_picture(**GREEN),
    "glyph-cancel.bmp": lambda: shape_picture(cross_mask(), **RED),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output_dir = sys.argv[1] if len(sys.argv) > 1 else here
    preview_dir = sys.argv[2] if len(sys.argv) > 2 else None
    os.makedirs(output_dir, exist_ok=True)
    for name, draw in GLYPHS.items():
        picture = glyph(draw())
        save_bmp(to_palette(picture), os.path.join(output_dir, name))
        if preview_dir:
            os.makedirs(preview_dir, exist_ok=True)
            stem = os.path.splitext(name)[0]
            enlarged(picture, 12).save(os.path.join(preview_dir, stem + "-x12.png"))


if __name__ == "__main__":
    main()
