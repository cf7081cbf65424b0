"""Draws the sync latency samples (written by sync_latency.py --data) as an SVG picture: the share
of synchronisations done within a given time, per hop and for the whole, against the bound."""

import json
import sys

WIDTH, HEIGHT = 700, 400
LEFT, RIGHT, TOP, BOTTOM = 60, 20, 40, 90
BOUND_MS = 500
CURVES = [("server hop: request to reply", "server_ms", "#1f77b4"),
          ("client hop: reply to clock setting", "client_ms", "#2ca02c"),
          ("request to clock setting", "whole_ms", "#d62728")]


def x_of(ms, span):
    return LEFT + (WIDTH - LEFT - RIGHT) * ms / span


def y_of(share):
    return HEIGHT - BOTTOM - (HEIGHT - TOP - BOTTOM) * share


def curve(values, span, colour):
    ordered = sorted(values)
    points = [f"{x_of(0, span):.1f},{y_of(0):.1f}"]
    for rank, value in enumerate(ordered, 1):
        points.append(f"{x_of(value, span):.1f},{y_of((rank - 1) / len(ordered)):.1f}")
        points.append(f"{x_of(value, span):.1f},{y_of(rank / len(ordered)):.1f}")
    points.append(f"{x_of(span, span):.1f},{y_of(1):.1f}")
    return (f'<polyline fill="none" stroke="{colour}" stroke-width="2" '
            f'points="{" ".join(points)}"/>')


def main(data_path, svg_path):
    with open(data_path) as data:
        samples = json.load(data)["synchronisations"]
    for sample in samples:
        sample["whole_ms"] = sample["server_ms"] + sample["client_ms"]
    span = 600
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{HEIGHT}" '
             f'font-family="sans-serif" font-size="12">',
             f'<rect width="{WIDTH}" height="{HEIGHT}" fill="white"/>',
             f'<text x="{WIDTH / 2}" y="22" text-anchor="middle" font-size="14">'
             f'Synchronisations done within a time ({len(samples)} requests)</text>']
    for ms in range(0, span + 1, 100):
        x = x_of(ms, span)
        parts.append(f'<line x1="{x:.1f}" y1="{y_of(0):.1f}" x2="{x:.1f}" y2="{y_of(1):.1f}" '
                     f'stroke="#ddd"/>')
        parts.append(f'<text x="{x:.1f}" y="{y_of(0) + 16:.1f}" text-anchor="middle">{ms}</text>')
    for share in (0, 0.25, 0.5, 0.75, 1):
        y = y_of(share)
        parts.append(f'<line x1="{LEFT}" y1="{y:.1f}" x2="{WIDTH - RIGHT}" y2="{y:.1f}" '
                     f'stroke="#ddd"/>')
        parts.append(f'<text x="{LEFT - 6}" y="{y + 4:.1f}" text-anchor="end">'
                     f'{int(share * 100)} %</text>')
    parts.append(f'<text x="{(LEFT + WIDTH - RIGHT) / 2}" y="{y_of(0) + 34:.1f}" '
                 f'text-anchor="middle">milliseconds</text>')
    bound = x_of(BOUND_MS, span)
    parts.append(f'<line x1="{bound:.1f}" y1="{y_of(0):.1f}" x2="{bound:.1f}" y2="{y_of(1):.1f}" '
                 f'stroke="black" stroke-dasharray="6,4"/>')
    parts.append(f'<text x="{bound - 4:.1f}" y="{y_of(0.08):.1f}" text-anchor="end">'
                 f'bound: 2 polls of 250 ms</text>')
    for index, (label, key, colour) in enumerate(CURVES):
        parts.append(curve([s[key] for s in samples], span, colour))
        # The key goes in a row below the axis, clear of the curves.
        y = HEIGHT - 16
        x = (30, 255, 510)[index]
        parts.append(f'<line x1="{x:.1f}" y1="{y - 4:.1f}" x2="{x + 24:.1f}" y2="{y - 4:.1f}" '
                     f'stroke="{colour}" stroke-width="2"/>')
        parts.append(f'<text x="{x + 30:.1f}" y="{y:.1f}">{label}</text>')
    parts.append("</svg>")
    with open(svg_path, "w") as svg:
        svg.write("\n".join(parts) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: plot_latency.py SAMPLES.json PICTURE.svg")
    main(sys.argv[1], sys.argv[2])
