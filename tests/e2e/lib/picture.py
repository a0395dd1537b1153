# picture.py: reads an xwd capture of the whole screen for the tests of the enlarged picture
# (scale.bash), 24 or 32 bits a pixel, as fast as python can on millions of pixels.
#   picture.py box FILE FACTOR           "LEFT TOP WIDTH HEIGHT SHARP" of the lit rectangle
#   picture.py green FILE X0 Y0 X1 Y1    how many pixels of the rectangle are HUD green
#   picture.py sum FILE X0 Y0 X1 Y1      a checksum of the rectangle's pixels
import hashlib
import struct
import sys

data = open(sys.argv[2], 'rb').read()
h = struct.unpack('>25I', data[:100])
header, width, height, bits, line, ncolours, order = h[0], h[4], h[5], h[11], h[12], h[19], h[7]
size = bits // 8
if size not in (3, 4):
    sys.exit('unexpected capture depth %d' % bits)
start = header + ncolours * 12


def row(y, x0=0, x1=None):
    x1 = width - 1 if x1 is None else x1
    at = start + y * line
    return data[at + x0 * size:at + (x1 + 1) * size]


def rgb(pixel):
    if order == 0:      # least significant byte first: blue, green, red
        return pixel[2], pixel[1], pixel[0]
    return (pixel[1], pixel[2], pixel[3]) if size == 4 else (pixel[0], pixel[1], pixel[2])


command = sys.argv[1]
if command == 'box':
    f = int(sys.argv[3])
    x0, x1, y0, y1 = width, -1, height, -1
    for y in range(height):
        r = row(y)
        if not r.strip(b'\0'):          # the pad byte of a pixel is never lit
            continue
        x0 = min(x0, (len(r) - len(r.lstrip(b'\0'))) // size)
        x1 = max(x1, (len(r.rstrip(b'\0')) - 1) // size)
        y0, y1 = min(y0, y), max(y1, y)
    if x1 < 0:
        print('0 0 0 0 0')
        sys.exit()
    w, hh = x1 - x0 + 1, y1 - y0 + 1
    sharp = w % f == 0 and hh % f == 0
    for by in range(y0, y1 + 1, f):
        if not sharp:
            break
        r = row(by, x0, x1)
        sharp = all(row(by + k, x0, x1) == r for k in range(1, f))
        for bx in range(0, len(r), f * size):
            if r[bx:bx + f * size] != r[bx:bx + size] * f:
                sharp = False
                break
    print(x0, y0, w, hh, 1 if sharp else 0)
else:
    x0, y0, x1, y1 = (int(v) for v in sys.argv[3:7])
    if command == 'sum':
        print(hashlib.md5(b''.join(row(y, x0, x1) for y in range(y0, y1 + 1))).hexdigest())
    else:
        n = 0
        for y in range(y0, y1 + 1):
            r = row(y, x0, x1)
            for i in range(0, len(r), size):
                red, green, blue = rgb(r[i:i + size])
                n += green >= 150 and green >= red + 60 and green >= blue + 40
        print(n)
