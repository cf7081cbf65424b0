"""The clock-and-network motif in vector form, shared by the larger icons and the banner.

Shapes are drawn on a canvas several times larger than the result and scaled down at the end,
which gives smooth edges; all coordinates are given in pixels of the result.
"""

import math
import sys

from PIL import Image, ImageDraw, ImageFont

NAVY = (16, 40, 104)
BLUE_LIGHT = (88, 152, 240)
BLUE_DARK = (32, 88, 192)
FACE_TOP = (255, 255, 255)
FACE_BOTTOM = (220, 230, 244)
TICK = (112, 132, 172)
HAND = (16, 24, 48)
ACCENT = (240, 96, 24)
CABLE = (88, 96, 120)
NODE_LIGHT = (255, 184, 64)
NODE_MID = (240, 136, 16)
NODE_DARK = (168, 88, 0)

SUPERSAMPLE = 8


def vertical_gradient(size, top, bottom):
    """An RGBA image of the given size shading from top to bottom."""
    width, height = size
    column = Image.new("RGBA", (1, height))
    for y in range(height):
        t = y / max(height - 1, 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        column.putpixel((0, y), colour + (255,))
    return column.resize((width, height), Image.NEAREST)


class Canvas:
    """A transparent picture drawn at SUPERSAMPLE times its final size."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.scale = SUPERSAMPLE
        self.image = Image.new("RGBA", (width * self.scale, height * self.scale), (0, 0, 0, 0))

    def _box(self, left, top, right, bottom):
        s = self.scale
        return [round(left * s), round(top * s), round(right * s) - 1, round(bottom * s) - 1]

    def _mask(self):
        return Image.new("L", self.image.size, 0)

    def fill_mask(self, mask, colour_or_image, opacity=1.0):
        """Paints a solid colour, or a same-sized image, through a mask."""
        if opacity < 1.0:
            mask = mask.point(lambda v: round(v * opacity))
        if isinstance(colour_or_image, tuple):
            layer = Image.new("RGBA", self.image.size, colour_or_image + (255,))
        else:
            layer = colour_or_image
        self.image.paste(layer, (0, 0), mask)

    def gradient_layer(self, top_y, bottom_y, top, bottom):
        """A full-size layer that shades from top at top_y to bottom at bottom_y."""
        s = self.scale
        width = self.image.width
        start = max(round(top_y * s), 0)
        band = vertical_gradient((width, max(round((bottom_y - top_y) * s), 1)), top, bottom)
        layer = Image.new("RGBA", self.image.size, bottom + (255,))
        layer.paste(Image.new("RGBA", (width, start), top + (255,)), (0, 0))
        layer.paste(band, (0, start))
        return layer

    def disc(self, cx, cy, r, fill):
        mask = self._mask()
        ImageDraw.Draw(mask).ellipse(self._box(cx - r, cy - r, cx + r, cy + r), fill=255)
        self.fill_mask(mask, fill)

    def ring(self, cx, cy, r, width, colour, opacity=1.0):
        """A circle outline of the given stroke width, centred on radius r."""
        mask = self._mask()
        draw = ImageDraw.Draw(mask)
        outer, inner = r + width / 2, r - width / 2
        draw.ellipse(self._box(cx - outer, cy - outer, cx + outer, cy + outer), fill=255)
        draw.ellipse(self._box(cx - inner, cy - inner, cx + inner, cy + inner), fill=0)
        self.fill_mask(mask, colour, opacity)

    def rounded_rect(self, left, top, right, bottom, radius, fill):
        mask = self._mask()
        ImageDraw.Draw(mask).rounded_rectangle(
            self._box(left, top, right, bottom), radius=round(radius * self.scale), fill=255
        )
        self.fill_mask(mask, fill)

    def line(self, x1, y1, x2, y2, width, fill, round_caps=True):
        """A straight stroke; round caps make joints of several strokes look continuous."""
        mask = self._mask()
        s = self.scale
        draw = ImageDraw.Draw(mask)
        draw.line([(x1 * s, y1 * s), (x2 * s, y2 * s)], fill=255, width=max(round(width * s), 1))
        if round_caps:
            r = width * s / 2
            for x, y in ((x1, y1), (x2, y2)):
                draw.ellipse([x * s - r, y * s - r, x * s + r, y * s + r], fill=255)
        self.fill_mask(mask, fill)

    def text(self, x, y, text, font, fill):
        """Draws text with its top-left corner at x, y; font is an ImageFont sized for the
        supersampled canvas (see font())."""
        mask = self._mask()
        ImageDraw.Draw(mask).text((x * self.scale, y * self.scale), text, font=font, fill=255)
        self.fill_mask(mask, fill)

    def font(self, path, size):
        try:
            return ImageFont.truetype(path, round(size * self.scale))
        except OSError:
            sys.exit(f"cannot load the font {path}; install the package fonts-dejavu-core")

    def text_size(self, text, font):
        left, top, right, bottom = font.getbbox(text)
        return (right - left) / self.scale, (bottom - top) / self.scale

    def result(self):
        return self.image.resize((self.width, self.height), Image.LANCZOS)


def hand_widths(r):
    """Widths of the hour and the minute hand of a clock of radius r."""
    face = clock_face_radius(r)
    return face * 0.16, face * 0.11


def clock_face_radius(r):
    return r - clock_outline(r) - r * 0.16


def clock_outline(r):
    return max(r * 0.06, 0.9)


def crisp_clock_centre(cx, cy, r):
    """Moves a clock showing 3 o'clock by less than a pixel, and rounds its hand widths, so
    that both hands cover whole pixels: small icons stay sharp instead of blurred."""
    hour_width, minute_width = (max(round(w), 1) for w in hand_widths(r))
    cx = math.floor(cx - minute_width / 2 + 0.5) + minute_width / 2
    cy = math.floor(cy - hour_width / 2 + 0.5) + hour_width / 2
    return cx, cy, hour_width, minute_width


def clock_hands(canvas, cx, cy, face, hours, minutes, hour_width, minute_width):
    """The hour and minute hands of a clock face of radius face."""

    def hand(fraction, length, width):
        angle = 2 * math.pi * fraction
        dx, dy = math.sin(angle), -math.cos(angle)
        canvas.line(cx, cy, cx + dx * length, cy + dy * length, width, HAND)

    hand(((hours % 12) + minutes / 60) / 12, face * 0.5, hour_width)
    hand(minutes / 60, face * 0.74, minute_width)


def clock(canvas, cx, cy, r, hours=3.0, minutes=0.0, seconds=None, widths=None):
    """A wall clock: dark outline, blue bezel lit from above, white face, ticks and hands.

    widths, when given, are the hour and minute hand widths to use instead of the natural ones.
    """
    outline = clock_outline(r)
    face = clock_face_radius(r)
    canvas.disc(cx, cy, r, NAVY)
    canvas.disc(cx, cy, r - outline, canvas.gradient_layer(cy - r, cy + r, BLUE_LIGHT, BLUE_DARK))
    canvas.disc(cx, cy, face + outline * 0.6, NAVY)
    canvas.disc(cx, cy, face, canvas.gradient_layer(cy - face, cy + face, FACE_TOP, FACE_BOTTOM))

    for mark in range(12):
        major = mark % 3 == 0
        if not major and face * 0.05 < 0.6:
            continue  # minor ticks would only grey the face at this size
        angle = math.radians(mark * 30)
        outer = face * 0.9
        inner = face * (0.68 if major else 0.78)
        width = face * (0.11 if major else 0.05)
        dx, dy = math.sin(angle), -math.cos(angle)
        canvas.line(
            cx + dx * inner, cy + dy * inner, cx + dx * outer, cy + dy * outer, width, TICK, False
        )

    hour_width, minute_width = widths or hand_widths(r)
    clock_hands(canvas, cx, cy, face, hours, minutes, hour_width, minute_width)
    if seconds is not None:
        angle = 2 * math.pi * seconds / 60
        dx, dy = math.sin(angle), -math.cos(angle)
        canvas.line(
            cx - dx * face * 0.2,
            cy - dy * face * 0.2,
            cx + dx * face * 0.82,
            cy + dy * face * 0.82,
            max(face * 0.035, 0.5),
            ACCENT,
        )
    canvas.disc(cx, cy, face * 0.09, ACCENT if seconds is not None else HAND)


def node(canvas, left, top, size):
    """A network node drawn as a small square: a dark rim around a lit orange centre."""
    canvas.rounded_rect(left, top, left + size, top + size, size * 0.18, NODE_DARK)
    inset = max(size * 0.2, 0.8)
    canvas.rounded_rect(
        left + inset,
        top + inset,
        left + size - inset,
        top + size - inset,
        size * 0.1,
        canvas.gradient_layer(top, top + size, NODE_LIGHT, NODE_MID),
    )
