#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program icon of make_icon.py again, as shapes instead of pixels, for the desktop's
icon theme: zudorave.svg (scalable) and zudorave-48.png, -64, -128 and -256. The design is the
same 32-unit one: a grey cabinet, an oscilloscope screen with its graticule and two cycles of
sine, the Morse letter Z in amber and a red power lamp. The 32 x 32 window icon stays the
pixel drawing of make_icon.py. Run it in this folder; the output does not change between runs."""
import math
import struct
import zlib

UNITS = 32
SIZES = (48, 64, 128, 256)
SCREEN = (4, 4, 28, 23)  # left, top, right, bottom


def trace_y(x):
    """The sine trace through the pixel centres of the 32-pixel drawing."""
    return 13.5 - 7 * math.sin((x - 4.5) / 24 * 4 * math.pi)


def trace_slope(x):
    return -7 * math.cos((x - 4.5) / 24 * 4 * math.pi) * 4 * math.pi / 24


# Shapes in painting order. rect: left, top, right, bottom, corner radius; circle: x, y, radius;
# trace: vertical offset and stroke width, clipped to the screen.
SHAPES = [
    ('rect', (1, 1, 31, 31, 1.5), '#404040'),  # cabinet, shaded bottom and right
    ('rect', (1, 1, 30, 30, 1.5), '#FFFFFF'),  # lit top and left
    ('rect', (2, 2, 30, 30, 0.5), '#808080'),
    ('rect', (3, 3, 29, 24, 0), '#C0C0C0'),  # bezel, lit bottom and right
    ('rect', (3, 3, 28, 23, 0), '#404040'),
    ('rect', SCREEN + (0,), '#000000'),
]
SHAPES += [('circle', (x + 0.5, y + 0.5, 0.35), '#004000')
           for x in range(5, 28, 4) for y in range(5, 23, 2)]
SHAPES += [('circle', (x + 0.5, 13.5, 0.3), '#004000') for x in range(4, 28, 2)]
SHAPES += [
    ('trace', (0.9, 1.0), '#00A000'),  # dimmer halo below the trace
    ('trace', (0.0, 1.2), '#00FF00'),
]
x = 5
for element in '--..':  # dash dash dot dot
    width = 4 if element == '-' else 1
    SHAPES.append(('rect', (x, 26, x + width, 28, 0.3), '#FFB000'))
    x += width + 2
SHAPES.append(('circle', (27, 27, 1.0), '#800000'))
SHAPES.append(('circle', (27.15, 26.85, 0.8), '#FF0000'))


def svg():
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
           f'viewBox="0 0 {UNITS} {UNITS}">',
           '  <title>Zudorave</title>',
           '  <defs><clipPath id="screen">'
           f'<rect x="{SCREEN[0]}" y="{SCREEN[1]}" width="{SCREEN[2] - SCREEN[0]}" '
           f'height="{SCREEN[3] - SCREEN[1]}"/></clipPath></defs>']
    for kind, geometry, colour in SHAPES:
        if kind == 'rect':
            left, top, right, bottom, radius = geometry
            corner = f' rx="{radius}"' if radius else ''
            out.append(f'  <rect x="{left}" y="{top}" width="{right - left}" '
                       f'height="{bottom - top}"{corner} fill="{colour}"/>')
        elif kind == 'circle':
            cx, cy, radius = geometry
            out.append(f'  <circle cx="{cx:g}" cy="{cy:g}" r="{radius}" fill="{colour}"/>')
        else:
            offset, width = geometry
            steps = 96
            points = []
            for i in range(steps + 1):
                px = SCREEN[0] + (SCREEN[2] - SCREEN[0]) * i / steps
                points.append(f'{px:.3f},{trace_y(px) + offset:.3f}')
            out.append(f'  <polyline points="{" ".join(points)}" fill="none" stroke="{colour}" '
                       f'stroke-width="{width}" stroke-linejoin="round" clip-path="url(#screen)"/>')
    out.append('</svg>')
    return '\n'.join(out) + '\n'


def raster(size, oversample=4):
    """Paints the shapes on a grid of size * oversample samples a side and averages them down to
    RGBA pixels; a sample no shape covers is transparent."""
    n = size * oversample
    scale = UNITS / n  # units per sample
    colours = [None]
    samples = bytearray(n * n)  # index into colours

    def index_of(colour):
        if colour not in colours:
            colours.append(colour)
        return colours.index(colour)

    def span(low, high):
        """Samples whose centres lie in [low, high) units."""
        first = max(0, math.ceil(low / scale - 0.5))
        last = min(n, math.ceil(high / scale - 0.5))
        return first, last

    for kind, geometry, colour in SHAPES:
        c = index_of(colour)
        if kind == 'rect':
            left, top, right, bottom, radius = geometry
            rows = span(top, bottom)
            for row in range(*rows):
                y = (row + 0.5) * scale
                inset = 0.0
                corner = min(y - top, bottom - y)
                if radius and corner < radius:
                    inset = radius - math.sqrt(max(0.0, radius * radius - (radius - corner) ** 2))
                first, last = span(left + inset, right - inset)
                if last > first:
                    samples[row * n + first:row * n + last] = bytes([c]) * (last - first)
        elif kind == 'circle':
            cx, cy, radius = geometry
            for row in range(*span(cy - radius, cy + radius)):
                dy = (row + 0.5) * scale - cy
                half = math.sqrt(max(0.0, radius * radius - dy * dy))
                first, last = span(cx - half, cx + half)
                if last > first:
                    samples[row * n + first:row * n + last] = bytes([c]) * (last - first)
        else:
            offset, width = geometry
            top_row, bottom_row = span(SCREEN[1], SCREEN[3])
            for column in range(*span(SCREEN[0], SCREEN[2])):
                x = (column + 0.5) * scale
                # Half the stroke measured across the curve, taken vertically.
                half = width / 2 * math.sqrt(1 + trace_slope(x) ** 2)
                centre = trace_y(x) + offset
                first, last = span(centre - half, centre + half)
                first, last = max(first, top_row), min(last, bottom_row)
                for row in range(first, last):
                    samples[row * n + column] = c

    rgb = [None] + [tuple(bytes.fromhex(colour[1:])) for colour in colours[1:]]
    pixels = bytearray()
    area = oversample * oversample
    for py in range(size):
        pixels.append(0)  # PNG filter: none
        for px in range(size):
            red = green = blue = covered = 0
            for sy in range(oversample):
                base = (py * oversample + sy) * n + px * oversample
                for c in samples[base:base + oversample]:
                    if c:
                        r, g, b = rgb[c]
                        red += r
                        green += g
                        blue += b
                        covered += 1
            if covered:
                pixels += bytes((round(red / covered), round(green / covered),
                                 round(blue / covered), round(255 * covered / area)))
            else:
                pixels += bytes(4)
    return bytes(pixels)


def chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))


def png(size, rows):
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))


with open('zudorave.svg', 'w') as out:
    out.write(svg())
for size in SIZES:
    with open(f'zudorave-{size}.png', 'wb') as out:
        out.write(png(size, raster(size)))
