# svg_icon.py: compares the scalable icon with the painted 256 pixel one, for the tests of the
# installed desktop files. It draws the SVG's shapes itself (rects with rounded corners,
# ellipses and even-odd polygons, each a vertical gradient or one colour, with an opacity),
# sampling each pixel 4 x 4 times as the painter does, the rim filter left out, and reads the
# PNG (8-bit RGBA, not interlaced) with zlib alone.
#   svg_icon.py SVG PNG   prints "COVERED MEAN_DIFFERENCE OUTSIDE": how many pixels both leave
#                         solid, how far apart their colours are there on average (of 255),
#                         and how many the SVG covers where the PNG is bare
import math
import re
import struct
import sys
import xml.etree.ElementTree as tree
import zlib

NS = '{http://www.w3.org/2000/svg}'
SIZE = 256
SAMPLES = 4


def read_png(path):
    data = open(path, 'rb').read()
    at, idat = 8, b''
    while at < len(data):
        length, kind = struct.unpack('>I4s', data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b'IHDR':
            w, h, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
            if depth != 8 or colour != 6 or interlace:
                sys.exit('%s: not an 8-bit RGBA PNG' % path)
        elif kind == b'IDAT':
            idat += body
        at += 12 + length
    raw, stride, rows, previous = zlib.decompress(idat), w * 4, [], bytearray(w * 4)
    for y in range(h):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b, c = previous[i], previous[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        previous = line
    return w, h, rows


def colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def shapes(path):
    root = tree.parse(path).getroot()
    gradients = {}
    for g in root.iter(NS + 'linearGradient'):
        stops = [colour(s.get('stop-color')) for s in g.iter(NS + 'stop')]
        gradients[g.get('id')] = (float(g.get('y1')), float(g.get('y2')), stops[0], stops[-1])
    for e in root.iter():
        tag = e.tag[len(NS):]
        if tag not in ('rect', 'ellipse', 'polygon', 'path'):
            continue
        if tag == 'path':
            sys.exit('a path: not drawn here')
        fill = e.get('fill')
        if fill.startswith('url('):
            paint = gradients[fill[5:-1]]
        else:
            paint = (0.0, 1.0, colour(fill), colour(fill))
        f = {k: float(v) for k, v in e.attrib.items() if re.fullmatch(r'-?[0-9.]+', v)}
        alpha = float(e.get('fill-opacity', '1'))
        if tag == 'rect':
            x0, y0, x1, y1 = f['x'], f['y'], f['x'] + f['width'], f['y'] + f['height']
            r = min(f.get('rx', 0.0), (x1 - x0) / 2, (y1 - y0) / 2)

            def inside(x, y, x0=x0, y0=y0, x1=x1, y1=y1, r=r):
                if x < x0 or x > x1 or y < y0 or y > y1:
                    return False
                cx, cy = min(max(x, x0 + r), x1 - r), min(max(y, y0 + r), y1 - r)
                return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
            box = (x0, y0, x1, y1)
        elif tag == 'ellipse':
            cx, cy, rx, ry = f['cx'], f['cy'], f['rx'], f['ry']

            def inside(x, y, cx=cx, cy=cy, rx=rx, ry=ry):
                return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1
            box = (cx - rx, cy - ry, cx + rx, cy + ry)
        else:
            pts = [tuple(map(float, p.split(','))) for p in e.get('points').split()]

            def inside(x, y, pts=pts):
                n, j, inner = len(pts), len(pts) - 1, False
                for i in range(n):
                    (xi, yi), (xj, yj) = pts[i], pts[j]
                    if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                        inner = not inner
                    j = i
                return inner
            box = (min(p[0] for p in pts), min(p[1] for p in pts), max(p[0] for p in pts),
                   max(p[1] for p in pts))
        yield inside, box, paint, alpha


def draw(path):
    picture = [[(0.0, 0.0, 0.0, 0.0)] * SIZE for _ in range(SIZE)]
    for inside, box, (g0, g1, top, bottom), alpha in shapes(path):
        span = g1 - g0 if g1 - g0 > 0.001 else 1.0
        for y in range(max(0, math.floor(box[1])), min(SIZE, math.ceil(box[3]))):
            t = min(max((y + 0.5 - g0) / span, 0.0), 1.0)
            c = tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
            for x in range(max(0, math.floor(box[0])), min(SIZE, math.ceil(box[2]))):
                hits = sum(inside(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES)
                           for sy in range(SAMPLES) for sx in range(SAMPLES))
                if not hits:
                    continue
                a = alpha * hits / SAMPLES ** 2
                r, g, b, cover = picture[y][x]
                new = cover + a * (1 - cover)
                k = a / new
                picture[y][x] = (r + (c[0] - r) * k, g + (c[1] - g) * k, b + (c[2] - b) * k, new)
    return picture


def main():
    picture = draw(sys.argv[1])
    w, h, rows = read_png(sys.argv[2])
    if (w, h) != (SIZE, SIZE):
        sys.exit('the PNG is %dx%d' % (w, h))
    covered = outside = 0
    difference = 0.0
    for y in range(SIZE):
        for x in range(SIZE):
            r, g, b, cover = picture[y][x]
            png = rows[y][x * 4:x * 4 + 4]
            if cover >= 0.999 and png[3] == 255:
                covered += 1
                difference += (abs(r - png[0]) + abs(g - png[1]) + abs(b - png[2])) / 3
            elif cover >= 0.5 and png[3] < 128:
                outside += 1        # drawn by the SVG where the painter left the desktop's
    print(covered, round(difference / max(covered, 1), 2), outside)


main()
