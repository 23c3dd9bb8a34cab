#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program icon (32 x 32, 16 colours) as an oscilloscope screen with a sine trace and
the Morse letter Z below it. Writes it as XPM, which is C source the program includes, and as a
palette PNG for the desktop."""
import math
import struct
import zlib

SIZE = 32
palette = {
    ' ': 'None', '.': '#000000', 'g': '#404040', 'G': '#808080', 'w': '#C0C0C0',
    'W': '#FFFFFF', 'd': '#004000', 'T': '#00FF00', 't': '#00A000', 'a': '#FFB000',
    'n': '#000080', 'b': '#0000FF', 'r': '#800000', 'R': '#FF0000', 'y': '#FFFF00',
    'c': '#008080',
}
img = [[' '] * SIZE for _ in range(SIZE)]

def put(x, y, c):
    if 0 <= x < SIZE and 0 <= y < SIZE:
        img[y][x] = c

# Cabinet: rounded grey frame, lit on top and left.
for y in range(1, 31):
    for x in range(1, 31):
        corner = (x in (1, 30)) and (y in (1, 30))
        if not corner:
            put(x, y, 'G')
for x in range(2, 30):
    put(x, 1, 'W')
    put(x, 30, 'g')
for y in range(2, 30):
    put(1, y, 'W')
    put(30, y, 'g')
# Screen.
for y in range(4, 23):
    for x in range(4, 28):
        put(x, y, '.')
for x in range(4, 28):
    put(x, 3, 'g')
    put(x, 23, 'w')
for y in range(3, 24):
    put(3, y, 'g')
    put(28, y, 'w')
# Graticule.
for x in range(5, 28, 4):
    for y in range(5, 23, 2):
        put(x, y, 'd')
for x in range(4, 28, 2):
    put(x, 13, 'd')
# Two cycles of sine across the screen, with a dimmer halo below the trace.
prev = None
for x in range(4, 28):
    y = round(13 - 7 * math.sin((x - 4) / 24 * 4 * math.pi))
    lo, hi = (y, y) if prev is None else (min(prev, y), max(prev, y))
    for yy in range(lo, hi + 1):
        put(x, yy, 'T')
    if img[y + 1][x] == '.':
        put(x, y + 1, 't')
    prev = y
# Morse Z (dash dash dot dot) in amber under the screen.
x = 5
for element in '--..':
    width = 4 if element == '-' else 1
    for dx in range(width):
        put(x + dx, 26, 'a')
        put(x + dx, 27, 'a')
    x += width + 2
# A red power lamp.
put(26, 26, 'R')
put(27, 26, 'R')
put(26, 27, 'r')
put(27, 27, 'R')

lines = ['/* XPM */', 'static const char* const zudorave_xpm[] = {',
         f'"{SIZE} {SIZE} {len(palette)} 1",']
lines += [f'"{k} c {v}",' for k, v in palette.items()]
lines += ['"' + ''.join(row) + '",' for row in img]
lines[-1] = lines[-1].rstrip(',')
lines.append('};')
with open('zudorave.xpm', 'w') as out:
    out.write('\n'.join(lines) + '\n')


def chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))


keys = list(palette)
rgb = b''.join(bytes.fromhex(palette[k][1:]) if palette[k] != 'None' else b'\0\0\0' for k in keys)
alpha = bytes(0 if palette[k] == 'None' else 255 for k in keys)
rows = b''
for row in img:
    packed = bytearray()
    for x in range(0, SIZE, 2):
        packed.append(keys.index(row[x]) << 4 | keys.index(row[x + 1]))
    rows += b'\0' + bytes(packed)
png = (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', SIZE, SIZE, 4, 3, 0, 0, 0)) +
       chunk(b'PLTE', rgb) + chunk(b'tRNS', alpha) + chunk(b'IDAT', zlib.compress(rows, 9)) +
       chunk(b'IEND', b''))
with open('zudorave.png', 'wb') as out:
    out.write(png)
