#!/usr/bin/env python3
"""bmp_to_png.py IN.bmp OUT.png: an 8-bit BMP, as the game's screenshots and the preview write
it, as an RGB PNG. bmp_to_png.py --rgb W H OUT.png: the "r g b" lines of a W x H picture on
standard input, as xwd_pixels writes a screen capture, as an RGB PNG."""
import struct
import sys
import zlib


def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))


def write_png(target, width, rows, raw):
    with open(target, 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n')
        out.write(chunk(b'IHDR', struct.pack('>IIBBBBB', width, rows, 8, 2, 0, 0, 0)))
        out.write(chunk(b'IDAT', zlib.compress(bytes(raw), 9)))
        out.write(chunk(b'IEND', b''))


def from_rgb_lines(width, height, target):
    values = [int(v) for line in sys.stdin for v in line.split()]
    if len(values) != 3 * width * height:
        sys.exit(f'{target}: {len(values) // 3} pixels on the input, not {width} x {height}')
    raw = bytearray()
    for y in range(height):
        raw += b'\0' + bytes(values[3 * width * y:3 * width * (y + 1)])
    write_png(target, width, height, raw)


def main(source, target):
    data = open(source, 'rb').read()
    offset = struct.unpack_from('<I', data, 10)[0]
    header = struct.unpack_from('<I', data, 14)[0]
    width, height = struct.unpack_from('<ii', data, 18)
    if struct.unpack_from('<H', data, 28)[0] != 8:
        sys.exit(f'{source}: not an 8-bit BMP')
    colours = struct.unpack_from('<I', data, 46)[0] or 256
    palette = [data[14 + header + 4 * i:14 + header + 4 * i + 3][::-1] for i in range(colours)]
    stride = (width + 3) & ~3
    rows = abs(height)
    raw = bytearray()
    for y in range(rows):
        line = rows - 1 - y if height > 0 else y  # a positive height is stored bottom up
        row = data[offset + line * stride:offset + line * stride + width]
        raw += b'\0' + b''.join(palette[p] for p in row)
    write_png(target, width, rows, raw)


if __name__ == '__main__':
    if len(sys.argv) == 5 and sys.argv[1] == '--rgb':
        from_rgb_lines(int(sys.argv[2]), int(sys.argv[3]), sys.argv[4])
    elif len(sys.argv) == 3:
        main(sys.argv[1], sys.argv[2])
    else:
        sys.exit('usage: bmp_to_png.py IN.bmp OUT.png | bmp_to_png.py --rgb W H OUT.png')
