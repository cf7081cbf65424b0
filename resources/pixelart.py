"""Helpers shared by the picture generators: pixel grids, palettes and the file writers.

The small pictures are drawn pixel by pixel as text grids, one character per pixel, because
at 16 pixels every pixel is a design decision that a vector renderer would smear.
"""

import struct
import sys

from PIL import Image

# Never used in a drawing, so it can mark the transparent background of button glyphs.
KEY = (255, 0, 255)


def grid_image(rows, colours):
    """Turns a list of equally long strings into an RGB image; each character maps to a colour."""
    height = len(rows)
    width = len(rows[0])
    image = Image.new("RGB", (width, height))
    for y, row in enumerate(rows):
        if len(row) != width:
            sys.exit(f"grid row {y} is {len(row)} characters long, expected {width}: {row!r}")
        for x, ch in enumerate(row):
            if ch not in colours:
                sys.exit(f"grid character {ch!r} at {x},{y} has no colour")
            image.putpixel((x, y), colours[ch])
    return image


def to_palette(image):
    """Converts an RGB image with few colours to palette mode without changing any pixel."""
    used = sorted({colour for _, colour in image.getcolors(maxcolors=256) or []})
    if not used:
        sys.exit("image has more than 256 colours; cannot store it with a palette")
    index = {colour: i for i, colour in enumerate(used)}
    result = Image.new("P", image.size)
    result.putpalette([c for colour in used for c in colour])
    result.putdata([index[p] for p in image.getdata()])
    return result


def save_bmp(image, path):
    """Writes an 8-bit palette BMP (palette images) or a 24-bit BMP (RGB images)."""
    image.save(path, format="BMP")


def save_ico_4bit(image, mask, path):
    """Writes a single-image icon with a 16-colour (4-bit) picture and a 1-bit AND mask.

    image is a palette image with at most 16 colours; mask is a same-sized "1" image in which
    set pixels are opaque. Transparent pixels are stored as palette index 0 with the AND bit
    set, as icon readers expect.
    """
    width, height = image.size
    palette = image.getpalette()[: 16 * 3]
    palette += [0] * (16 * 3 - len(palette))
    if max(image.getdata()) > 15:
        sys.exit("icon image uses more than 16 palette entries")

    xor_stride = ((width * 4 + 31) // 32) * 4
    and_stride = ((width + 31) // 32) * 4
    xor_rows = []
    and_rows = []
    for y in reversed(range(height)):
        nibbles = []
        and_row = bytearray(and_stride)
        for x in range(width):
            opaque = mask.getpixel((x, y)) != 0
            nibbles.append(image.getpixel((x, y)) if opaque else 0)
            if not opaque:
                and_row[x // 8] |= 0x80 >> (x % 8)
        xor_row = bytearray(xor_stride)
        for x in range(0, width, 2):
            high = nibbles[x]
            low = nibbles[x + 1] if x + 1 < width else 0
            xor_row[x // 2] = (high << 4) | low
        xor_rows.append(bytes(xor_row))
        and_rows.append(bytes(and_row))

    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # header size
        width,
        height * 2,  # picture and mask together
        1,  # planes
        4,  # bits per pixel
        0,  # no compression
        xor_stride * height + and_stride * height,
        0,
        0,
        16,  # colours used
        0,
    )
    colour_table = b"".join(
        bytes((palette[i * 3 + 2], palette[i * 3 + 1], palette[i * 3], 0)) for i in range(16)
    )
    bitmap = header + colour_table + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack(
        "<BBBBHHII",
        width % 256,
        height % 256,
        16,  # colours in the picture
        0,
        1,  # planes
        4,  # bits per pixel
        len(bitmap),
        6 + 16,  # offset of the bitmap: after the directory and its one entry
    )
    with open(path, "wb") as out:
        out.write(directory + entry + bitmap)


def enlarged(image, factor):
    """A nearest-neighbour enlargement, for looking at pixel art."""
    return image.resize((image.width * factor, image.height * factor), Image.NEAREST)
