#!/usr/bin/python3 -B
"""Draws banner.bmp, the 337 by 218 picture with 256 colours shown on both main windows and
both about dialogs: the reference clock, a network cable to computers that show the same time,
and the product name.

The picture control is one pixel lower than the picture, so the bottom row is never seen and
holds only background.

Usage: make_banner.py [OUTPUT_DIR [PREVIEW_DIR]]  (defaults: this folder, no preview)
Needs the DejaVu fonts (Debian package fonts-dejavu-core).
"""

import os
import sys

from PIL import Image

import motif
from pixelart import enlarged

WIDTH, HEIGHT = 337, 218
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

SKY_TOP = (22, 52, 112)
SKY_BOTTOM = (6, 18, 50)
WAVE = (120, 180, 255)
TITLE = (255, 255, 255)
SUBTITLE = (150, 200, 255)
SILVER = (192, 204, 224)
SILVER_DARK = (136, 148, 172)
SCREEN_TOP = (176, 224, 255)
SCREEN_BOTTOM = (72, 144, 224)

CLOCK_X, CLOCK_Y, CLOCK_R = 80, 94, 62
CABLE_Y = 190
COMPUTER_WIDTH = 40
COMPUTERS_X = (182, 232, 282)
COMPUTERS_Y = 118


def computer(canvas, left, top):
    """A computer of the network, a silver screen on a stand, showing the reference time."""
    width = COMPUTER_WIDTH
    height = width * 0.66
    frame = width * 0.08
    canvas.rounded_rect(left, top, left + width, top + height, width * 0.08, SILVER)
    canvas.rounded_rect(
        left + frame,
        top + frame,
        left + width - frame,
        top + height - frame,
        width * 0.03,
        canvas.gradient_layer(top + frame, top + height - frame, SCREEN_TOP, SCREEN_BOTTOM),
    )
    centre_x = left + width / 2
    neck = width * 0.07
    foot = width * 0.24
    canvas.rounded_rect(
        centre_x - neck, top + height, centre_x + neck, top + width * 0.8, 0, SILVER_DARK
    )
    canvas.rounded_rect(
        centre_x - foot,
        top + width * 0.78,
        centre_x + foot,
        top + width * 0.88,
        width * 0.04,
        SILVER,
    )

    centre_y = top + height / 2
    canvas.disc(centre_x, centre_y, width * 0.25, motif.NAVY)
    canvas.disc(centre_x, centre_y, width * 0.21, motif.FACE_TOP)
    motif.clock_hands(canvas, centre_x, centre_y, width * 0.21, 10, 9, width * 0.055, width * 0.04)


def draw():
    canvas = motif.Canvas(WIDTH, HEIGHT)
    canvas.fill_mask(
        Image.new("L", canvas.image.size, 255),
        canvas.gradient_layer(0, HEIGHT, SKY_TOP, SKY_BOTTOM),
    )

    # Waves of the broadcast spreading from the reference clock, fading with distance.
    for i, radius in enumerate(range(CLOCK_R + 18, 330, 22)):
        canvas.ring(CLOCK_X, CLOCK_Y, radius, 1.4, WAVE, 0.18 - i * 0.018)

    cable = 3
    cable_end = COMPUTERS_X[-1] + COMPUTER_WIDTH / 2
    canvas.line(CLOCK_X, CLOCK_Y + CLOCK_R - 2, CLOCK_X, CABLE_Y, cable, motif.CABLE)
    canvas.line(CLOCK_X, CABLE_Y, cable_end, CABLE_Y, cable, motif.CABLE)
    for left in COMPUTERS_X:
        centre = left + COMPUTER_WIDTH / 2
        canvas.line(
            centre, COMPUTERS_Y + COMPUTER_WIDTH * 0.85, centre, CABLE_Y, cable, motif.CABLE
        )
        computer(canvas, left, COMPUTERS_Y)
    # Datagrams on their way along the cable.
    for x in (141, 227, 277):
        canvas.rounded_rect(x - 5, CABLE_Y - 4, x + 5, CABLE_Y + 4, 2, motif.NODE_DARK)
        canvas.rounded_rect(x - 3.5, CABLE_Y - 2.5, x + 3.5, CABLE_Y + 2.5, 1, motif.NODE_LIGHT)

    motif.clock(canvas, CLOCK_X, CLOCK_Y, CLOCK_R, hours=10, minutes=9, seconds=36)

    title_font = canvas.font(FONT_BOLD, 40)
    subtitle_font = canvas.font(FONT, 11)
    title = "Corvane"
    subtitle = "one time for the whole network"
    title_width, _ = canvas.text_size(title, title_font)
    subtitle_width, _ = canvas.text_size(subtitle, subtitle_font)
    right = WIDTH - 14
    canvas.text(right - title_width + 1.5, 28 + 1.5, title, title_font, motif.NAVY)
    canvas.text(right - title_width, 28, title, title_font, TITLE)
    canvas.text(right - subtitle_width, 82, subtitle, subtitle_font, SUBTITLE)
    return canvas.result().convert("RGB")


# Colours that cover few pixels but must stay exact; a palette chosen by pixel count alone
# would give them to the many shades of blue.
EXACT_COLOURS = [
    motif.NAVY,
    motif.HAND,
    motif.ACCENT,
    motif.CABLE,
    motif.NODE_LIGHT,
    motif.NODE_DARK,
    motif.FACE_TOP,
    motif.FACE_BOTTOM,
    motif.TICK,
    TITLE,
    SUBTITLE,
    SILVER,
    SILVER_DARK,
]


def to_256_colours(picture):
    """Reduces the picture to a 256-colour palette. Without dithering: the gradients are
    gentle enough not to band, and dithering would speckle the flat shapes."""
    shades = picture.quantize(colors=256 - len(EXACT_COLOURS), method=Image.Quantize.MEDIANCUT)
    palette = shades.getpalette()[: (256 - len(EXACT_COLOURS)) * 3]
    for colour in EXACT_COLOURS:
        palette.extend(colour)
    palette_image = Image.new("P", (1, 1))
    palette_image.putpalette(palette)
    return picture.quantize(palette=palette_image, dither=Image.Dither.NONE)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output_dir = sys.argv[1] if len(sys.argv) > 1 else here
    preview_dir = sys.argv[2] if len(sys.argv) > 2 else None
    os.makedirs(output_dir, exist_ok=True)

    indexed = to_256_colours(draw())
    indexed.save(os.path.join(output_dir, "banner.bmp"), format="BMP")
    if preview_dir:
        os.makedirs(preview_dir, exist_ok=True)
        indexed.convert("RGB").save(os.path.join(preview_dir, "banner.png"))
        enlarged(indexed.convert("RGB"), 3).save(os.path.join(preview_dir, "banner-x3.png"))


if __name__ == "__main__":
    main()
