#!/usr/bin/python3 -B
"""Draws the program icon: a clock on a network cable between two computers.

corvane.ico holds the 16x16, 16-colour picture; icon-16.png is the same picture, and
icon-22.png to icon-256.png are drawn from the same design in vector form for notification
areas and desktops that want larger icons.

Usage: make_icon.py [OUTPUT_DIR [PREVIEW_DIR]]  (defaults: this folder, no preview)
"""

import os
import sys

import motif
from pixelart import enlarged, grid_image, save_ico_4bit, to_palette

# "." is transparent.
ICON_16 = [
    ".....ooooo......",
    "...ooBBBBBoo....",
    "..oBBwwtwwBBo...",
    "..oBwwwhwwwBo...",
    ".oBwwwwhwwwwbo..",
    ".oBwwwwhwwwwbo..",
    ".oBtwwwhhhwtbo..",
    ".obwwwwwwwwwbo..",
    ".obwwwwwwwwfbo..",
    "..obfwwwwwfbo...",
    "..obbfftffbbo...",
    "...oobbbbboo....",
    ".....ooooo......",
    "NNN....c....NNN.",
    "NnNcccccccccNnN.",
    "NNN.........NNN.",
]

ICON_16_COLOURS = {
    ".": (0, 0, 0),
    "o": motif.NAVY,
    "B": motif.BLUE_LIGHT,
    "b": motif.BLUE_DARK,
    "w": (255, 255, 255),
    "f": motif.FACE_BOTTOM,
    "t": motif.TICK,
    "h": motif.HAND,
    "c": motif.CABLE,
    "N": motif.NODE_DARK,
    "n": motif.NODE_LIGHT,
}

LARGE_SIZES = (22, 32, 48, 64, 128, 256)


def small_icon():
    """The 16x16 picture as an RGB image, its opacity mask, and both together as RGBA."""
    picture = grid_image(ICON_16, ICON_16_COLOURS)
    opacity = {ch: (0, 0, 0) if ch == "." else (255, 255, 255) for ch in ICON_16_COLOURS}
    mask = grid_image(ICON_16, opacity).convert("1")
    rgba = picture.convert("RGBA")
    rgba.putalpha(mask.convert("L"))
    return picture, mask, rgba


def large_icon(size):
    """The icon drawn in a 16-unit square scaled to size pixels, centred horizontally.

    Up to 32 pixels the hands, the cable and the nodes are moved onto whole pixels."""
    k = size / 16
    canvas = motif.Canvas(size, size)
    cx, cy, r = 8 * k, 6.5 * k, 6.5 * k
    widths = None
    cable = max(0.9 * k, 1.0)
    node_size = 3 * k
    node_left = 0.5 * k
    node_top = 13 * k
    cable_y = 14.5 * k
    if size <= 32:
        cx, cy, hour_width, minute_width = motif.crisp_clock_centre(cx, cy, r)
        widths = (hour_width, minute_width)
        cable = minute_width
        node_size = round(node_size)
        node_left = round(node_left)
        node_top = size - node_size
        cable_y = node_top + (node_size - cable) // 2 + cable / 2
    canvas.line(cx, cy + r - 1, cx, cable_y, cable, motif.CABLE)
    right_node_left = size - node_left - node_size
    canvas.line(node_left + node_size, cable_y, right_node_left, cable_y, cable, motif.CABLE, False)
    motif.node(canvas, node_left, node_top, node_size)
    motif.node(canvas, right_node_left, node_top, node_size)
    motif.clock(canvas, cx, cy, r, seconds=38 if size >= 48 else None, widths=widths)
    return canvas.result()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output_dir = sys.argv[1] if len(sys.argv) > 1 else here
    preview_dir = sys.argv[2] if len(sys.argv) > 2 else None
    os.makedirs(output_dir, exist_ok=True)

    picture, mask, rgba = small_icon()
    save_ico_4bit(to_palette(picture), mask, os.path.join(output_dir, "corvane.ico"))
    rgba.save(os.path.join(output_dir, "icon-16.png"), optimize=True)
    images = {16: rgba}
    for size in LARGE_SIZES:
        images[size] = large_icon(size)
        images[size].save(os.path.join(output_dir, f"icon-{size}.png"), optimize=True)

    if preview_dir:
        os.makedirs(preview_dir, exist_ok=True)
        for size, image in images.items():
            path = os.path.join(preview_dir, f"icon-{size}-big.png")
            enlarged(image, max(256 // size, 1)).save(path)


if __name__ == "__main__":
    main()
