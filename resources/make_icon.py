#!/usr/bin/env python3
"""Draws the program's icon: a nine-pin serial plug between a send arrow and a receive arrow.

One design, written to every file that carries it:
- resources/vornikal.ico: the hand-set 16-colour images at 32 and 16 px (4 bits per pixel, what a
  screen of few colours shows), then the vector drawing at each size of SIZES as a 32-bit image with
  alpha; the 256 px one as PNG, the others as DIBs with their AND mask.
- packaging/linux/icons/NxN.png for the same sizes, and vornikal.svg, the drawing itself.

The drawing is laid out again for each size: straight edges, line widths and pins fall on whole
pixels, so no size is a blurred copy of another. Only the slanted sides are anti-aliased.
Run it from anywhere after changing the design; `make_icon.py --check` writes nothing and fails
when a file differs from what the drawing gives.
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 128, 256)
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ICO_PATH = os.path.join(ROOT, 'resources', 'vornikal.ico')
THEME_DIR = os.path.join(ROOT, 'packaging', 'linux', 'icons')

# The 16 colours of the standard VGA palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
# Palette index of each letter of the drawings; '.' is transparent.
INK = {'K': 0, 'G': 2, 'N': 4, 'S': 7, 'Y': 11, 'B': 12}

# Top: the send arrow (green); middle: the plug's metal shell (silver, black edges) around its
# insulator (navy) with five and four pins (yellow); bottom: the receive arrow (blue).
DRAWING_32 = """
................................
....................GG..........
....................GGGG........
....................GGGGGG......
....GGGGGGGGGGGGGGGGGGGGGGGG....
....GGGGGGGGGGGGGGGGGGGGGGGG....
....................GGGGGG......
....................GGGG........
....................GG..........
................................
...KKKKKKKKKKKKKKKKKKKKKKKKKK...
..KSSSSSSSSSSSSSSSSSSSSSSSSSSK..
..KSKKKKKKKKKKKKKKKKKKKKKKKKSK..
..KSKNNYYNNYYNNYYNNYYNNYYNNKSK..
..KSKNNYYNNYYNNYYNNYYNNYYNNKSK..
...KSKNNNNNNNNNNNNNNNNNNNNKSK...
...KSKNNNYYNNYYNNYYNNYYNNNKSK...
....KSKNNYYNNYYNNYYNNYYNNKSK....
....KSKNNNNNNNNNNNNNNNNNNKSK....
....KSKKKKKKKKKKKKKKKKKKKKSK....
.....KSSSSSSSSSSSSSSSSSSSSK.....
......KKKKKKKKKKKKKKKKKKKK......
................................
..........BB....................
........BBBB....................
......BBBBBB....................
....BBBBBBBBBBBBBBBBBBBBBBBB....
....BBBBBBBBBBBBBBBBBBBBBBBB....
......BBBBBB....................
........BBBB....................
..........BB....................
................................
"""

DRAWING_16 = """
..........G.....
..GGGGGGGGGGG...
..GGGGGGGGGGG...
..........G.....
.KKKKKKKKKKKKK..
KSSSSSSSSSSSSSK.
KSNYNYNYNYNYNSK.
.KSNNNNNNNNNSK..
.KSNYNYNYNYNSK..
..KSSSSSSSSSK...
...KKKKKKKKK....
................
.....B..........
...BBBBBBBBBBB..
...BBBBBBBBBBB..
.....B..........
"""

# The vector drawing's colours, those of the hand-set images.
BLACK, GREEN, NAVY, SILVER, YELLOW, BLUE = (PALETTE[i] for i in (0, 2, 4, 7, 11, 12))


# --- The drawing, laid out for one size -----------------------------------------------------------

def snap(value):
    return math.floor(value + 0.5)


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def arrow(y, half, tail, base, tip, thickness, stepped):
    """An arrow along row `y` from `tail` to `tip`; its head starts at `base`, `half` its half height.
    A stepped head is cut into whole rows, as small sizes need to stay sharp."""
    direction = 1 if tip > tail else -1
    shapes = [rect(min(tail, base), y - thickness // 2, max(tail, base), y + thickness - thickness // 2)]
    if not stepped:
        shapes.append([(base, y - half), (tip, y), (base, y + half)][::direction])
        return [('poly', shape) for shape in shapes]
    for row in range(2 * half):
        width = snap(abs(tip - base) * (1 - abs(row + 0.5 - half) / half))
        end = base + direction * width
        shapes.append(rect(min(base, end), y - half + row, max(base, end), y - half + row + 1))
    return [('poly', shape) for shape in shapes]


def inset(polygon, distance):
    """The convex polygon (clockwise on screen) with every edge moved `distance` inwards."""
    lines = []
    for (x0, y0), (x1, y1) in zip(polygon, polygon[1:] + polygon[:1]):
        length = math.hypot(x1 - x0, y1 - y0)
        nx, ny = -(y1 - y0) / length, (x1 - x0) / length
        lines.append(((x0 + nx * distance, y0 + ny * distance), (x1 - x0, y1 - y0)))
    corners = []
    for (p, d), (q, e) in zip(lines[-1:] + lines[:-1], lines):
        t = ((q[0] - p[0]) * e[1] - (q[1] - p[1]) * e[0]) / (d[0] * e[1] - d[1] * e[0])
        corners.append((p[0] + d[0] * t, p[1] + d[1] * t))
    return corners


def pins(size, k, top, centre):
    """The five and four pins: square while they are a few pixels, round above."""
    side = max(1, snap(2 * k))
    pitch = max(side + 1, snap(4 * k))
    second_row = top + max(side + 1, snap(3 * k))
    shapes = []
    for row_top, offsets in ((top, (-2, -1, 0, 1, 2)), (second_row, (-1.5, -0.5, 0.5, 1.5))):
        for offset in offsets:
            left = snap(centre + offset * pitch - side / 2)
            if side >= 3:
                shapes.append(('circle', (left + side / 2, row_top + side / 2, side / 2)))
            else:
                shapes.append(('poly', rect(left, row_top, left + side, row_top + side)))
    return shapes


def drawing(size):
    """The drawing at `size` pixels: (colour, shape) pairs, back to front, in pixel coordinates."""
    k = size / 32
    line = max(1, snap(k))
    thickness = max(2, snap(2 * k))
    half = max(2, math.floor(4 * k))
    send_y = math.floor(5 * k)
    receive_y = size - send_y
    gap = max(1, math.floor(k)) if size > 16 else 0
    stepped = size <= 32
    shapes = [(GREEN, s) for s in arrow(send_y, half, snap(4 * k), snap(20 * k), snap(28 * k), thickness, stepped)]
    shapes += [(BLUE, s) for s in arrow(receive_y, half, size - snap(4 * k), size - snap(20 * k),
                                        size - snap(28 * k), thickness, stepped)]

    # The plug's shell: straight sides down to the upper pins, then narrowing to the bottom.
    top = send_y + half + gap
    bottom = receive_y - half - max(1, gap)
    left, right, narrowing = snap(2 * k), size - snap(2 * k), snap(4 * k)
    shoulder = top + snap(5 * k)
    shell = [(left, top), (right, top), (right, shoulder), (right - narrowing, bottom),
             (left + narrowing, bottom), (left, shoulder)]
    insulator_inset = 2 * line + math.floor(k)
    shapes += [(BLACK, ('poly', shell)), (SILVER, ('poly', inset(shell, line))),
               (BLACK, ('poly', inset(shell, 2 * line))), (NAVY, ('poly', inset(shell, insulator_inset)))]
    shapes += [(YELLOW, s) for s in pins(size, k, top + insulator_inset, size / 2)]
    return shapes


# --- Rasterising: exact coverage of each pixel by each convex shape -------------------------------

def circle_polygon(cx, cy, r, steps=48):
    return [(cx + r * math.cos(2 * math.pi * i / steps), cy + r * math.sin(2 * math.pi * i / steps))
            for i in range(steps)]


def clip(polygon, inside, cross):
    result = []
    for a, b in zip(polygon, polygon[1:] + polygon[:1]):
        if inside(a):
            result.append(a)
        if inside(a) != inside(b):
            result.append(cross(a, b))
    return result


def area(polygon):
    return abs(sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(polygon, polygon[1:] + polygon[:1]))) / 2


def coverage(polygon, x, y):
    """The part of pixel (x, y) the polygon covers."""
    def at_x(edge):
        return lambda a, b: (edge, a[1] + (b[1] - a[1]) * (edge - a[0]) / (b[0] - a[0]))

    def at_y(edge):
        return lambda a, b: (a[0] + (b[0] - a[0]) * (edge - a[1]) / (b[1] - a[1]), edge)

    part = clip(polygon, lambda p: p[0] >= x, at_x(x))
    part = clip(part, lambda p: p[0] <= x + 1, at_x(x + 1))
    part = clip(part, lambda p: p[1] >= y, at_y(y))
    part = clip(part, lambda p: p[1] <= y + 1, at_y(y + 1))
    return area(part) if len(part) >= 3 else 0.0


def render(size):
    """Rows of (red, green, blue, alpha) bytes, top row first."""
    pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]
    for colour, (kind, shape) in drawing(size):
        polygon = circle_polygon(*shape) if kind == 'circle' else shape
        xs, ys = [p[0] for p in polygon], [p[1] for p in polygon]
        for y in range(max(0, math.floor(min(ys))), min(size, math.ceil(max(ys)))):
            for x in range(max(0, math.floor(min(xs))), min(size, math.ceil(max(xs)))):
                a = coverage(polygon, x, y)
                if a > 0:
                    r, g, b, under = pixels[y][x]
                    pixels[y][x] = (r * (1 - a) + colour[0] * a, g * (1 - a) + colour[1] * a,
                                    b * (1 - a) + colour[2] * a, under * (1 - a) + a)
    rows = []
    for row in pixels:
        # Colours are kept premultiplied while drawing; the files hold them straight.
        rows.append([(0, 0, 0, 0) if a < 1 / 512 else
                     (snap(r / a), snap(g / a), snap(b / a), snap(255 * a)) for r, g, b, a in row])
    return rows


def svg():
    """The drawing as laid out at 256 px, scalable."""
    elements = []
    for colour, (kind, shape) in drawing(256):
        fill = '#%02x%02x%02x' % colour
        if kind == 'circle':
            elements.append('<circle cx="%g" cy="%g" r="%g" fill="%s"/>' % (shape + (fill,)))
        else:
            points = ' '.join('%g,%g' % (round(x, 3), round(y, 3)) for x, y in shape)
            elements.append('<polygon points="%s" fill="%s"/>' % (points, fill))
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">\n  '
            + '\n  '.join(elements) + '\n</svg>\n').encode()


# --- File formats ----------------------------------------------------------------------------------

def png(rows):
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    raw = b''.join(b'\0' + bytes(v for pixel in row for v in pixel) for row in rows)
    header = struct.pack('>IIBBBBB', len(rows[0]), len(rows), 8, 6, 0, 0, 0)
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')


def padded(data, bits_per_row):
    return data.ljust(((bits_per_row + 31) // 32) * 4, b'\0')


def mask_rows(transparent_rows, size):
    """The AND mask, bottom row first: 1 where the pixel is transparent."""
    whole_bytes = (size + 7) // 8
    return b''.join(padded(int(''.join('1' if t else '0' for t in row).ljust(8 * whole_bytes, '0'), 2)
                           .to_bytes(whole_bytes, 'big'), size) for row in reversed(transparent_rows))


def dib_4bit(drawing_text):
    rows = [[None if c == '.' else INK[c] for c in row] for row in drawing_text.split()]
    size = len(rows)
    assert all(len(row) == size for row in rows), 'a drawing must be square'
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    colour = b''
    for row in reversed(rows):
        nibbles = [0 if p is None else p for p in row]
        colour += padded(bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2)), 4 * size)
    mask = mask_rows([[p is None for p in row] for row in rows], size)
    return size, 4, header + palette + colour + mask


def dib_32bit(rows):
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''.join(bytes(v for r, g, b, a in row for v in (b, g, r, a)) for row in reversed(rows))
    mask = mask_rows([[a == 0 for _, _, _, a in row] for row in rows], size)
    return size, 32, header + colour + mask


def icon_file(images):
    """An .ico of (size, bits per pixel, image bytes)."""
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    for size, bits, data in images:
        colours = 16 if bits == 4 else 0
        directory += struct.pack('<BBBBHHII', size % 256, size % 256, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    return directory + b''.join(data for _, _, data in images)


def outputs():
    """Every file the drawing gives: path -> bytes."""
    rendered = {size: render(size) for size in SIZES}
    images = [dib_4bit(DRAWING_32), dib_4bit(DRAWING_16)]
    images += [(size, 32, png(rows) if size == 256 else dib_32bit(rows)[2]) for size, rows in rendered.items()]
    files = {ICO_PATH: icon_file(images), os.path.join(THEME_DIR, 'vornikal.svg'): svg()}
    for size, rows in rendered.items():
        files[os.path.join(THEME_DIR, '%dx%d.png' % (size, size))] = png(rows)
    return files


def png_pixels(data):
    """A PNG's header and pixels without their compression, which another zlib may do otherwise."""
    chunks, position = [], 8
    while position + 8 <= len(data):
        length, kind = struct.unpack('>I4s', data[position:position + 8])
        chunks.append((kind, data[position + 8:position + 8 + length]))
        position += 12 + length
    return [kind for kind, _ in chunks], [body for kind, body in chunks if kind == b'IHDR'], \
        zlib.decompress(b''.join(body for kind, body in chunks if kind == b'IDAT'))


def comparable(data):
    """What must not change in a written file: every PNG in it compared by its pixels."""
    if data.startswith(b'\x89PNG'):
        return png_pixels(data)
    if data[:4] != b'\0\0\1\0':
        return data
    count, images = struct.unpack('<H', data[4:6])[0], []
    for i in range(count):
        entry = struct.unpack('<BBBBHHII', data[6 + 16 * i:22 + 16 * i])
        image = data[entry[7]:entry[7] + entry[6]]
        images.append((entry[:6], comparable(image) if image.startswith(b'\x89PNG') else image))
    return images


def main(argv):
    stale = []
    for path, data in outputs().items():
        if argv[1:] == ['--check']:
            old = open(path, 'rb').read() if os.path.exists(path) else b''
            if comparable(old) != comparable(data):
                stale.append(path)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, 'wb') as out:
                out.write(data)
    for path in stale:
        print('%s is not what make_icon.py draws: run it' % os.path.relpath(path, ROOT), file=sys.stderr)
    return 1 if stale else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
