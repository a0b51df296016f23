#!/usr/bin/env python3
"""Windows images from the artwork's PNG renderings, for the resource compiler.

  windows_images.py bmp IN.png OUT.bmp     24-bit bitmap, transparency over white
  windows_images.py ico OUT.ico IN.png...  icon with one PNG-compressed image each
  windows_images.py png IN.bmp OUT.png     a 24-bit bitmap (a screenshot) as PNG

Only what rsvg-convert writes is read: 8-bit RGB or RGBA, not interlaced. Anything
else is refused with a message, so that a broken rendering stops the build.
"""
import struct
import sys
import zlib


def fail(message):
    sys.exit("windows_images.py: " + message)


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail(path + " is not a PNG file")
    pos, idat, header = 8, b"", None
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if len(body) != length:
            fail(path + " is cut short")
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        pos += 12 + length
    if header is None:
        fail(path + " has no header")
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        fail(path + ": only 8-bit RGB or RGBA without interlace is read")
    raw = zlib.decompress(idat)
    channels = 4 if colour == 6 else 3
    stride = width * channels
    if len(raw) != height * (stride + 1):
        fail(path + " has the wrong amount of pixel data")
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                nearest = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                line[i] = (line[i] + nearest) & 0xFF
            elif kind != 0:
                fail(path + ": unknown row filter %d" % kind)
        previous = line
        if channels == 3:  # opaque: as RGBA
            line = bytearray(b"".join(bytes(line[3 * x:3 * x + 3]) + b"\xff" for x in range(width)))
        rows.append(bytes(line))
    return width, height, rows


def write_bmp(source, target):
    width, height, rows = read_png(source)
    padding = (4 - (width * 3) % 4) % 4
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        for x in range(width):
            r, g, b, a = row[4 * x:4 * x + 4]
            over_white = [(c * a + 255 * (255 - a)) // 255 for c in (b, g, r)]
            pixels += bytes(over_white)
        pixels += b"\0" * padding
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(target, "wb") as f:
        f.write(head + info + pixels)


def write_ico(target, sources):
    images = []
    for source in sources:
        width, height, _ = read_png(source)
        if width > 256 or height > 256:
            fail(source + " is larger than an icon can be")
        with open(source, "rb") as f:
            images.append((width, height, f.read()))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, data in images:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(target, "wb") as f:
        f.write(out + b"".join(data for _, _, data in images))


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png_from_bmp(source, target):
    with open(source, "rb") as f:
        data = f.read()
    if data[:2] != b"BM" or len(data) < 54:
        fail(source + ": not a bitmap file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if bits != 24 or compression != 0 or width <= 0 or height == 0:
        fail(source + ": only uncompressed 24-bit bitmaps are converted")
    stride = (width * 3 + 3) // 4 * 4
    rows = abs(height)
    if offset + stride * rows > len(data):
        fail(source + ": truncated")
    raw = bytearray()
    for y in range(rows):
        # Bottom-up unless the height is negative; BGR to RGB.
        line = rows - 1 - y if height > 0 else y
        start = offset + line * stride
        row = data[start:start + width * 3]
        raw.append(0)
        for x in range(0, len(row), 3):
            raw += bytes((row[x + 2], row[x + 1], row[x]))
    header = struct.pack(">IIBBBBB", width, rows, 8, 2, 0, 0, 0)
    with open(target, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
                png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "bmp":
        write_bmp(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == "png":
        write_png_from_bmp(sys.argv[2], sys.argv[3])
    elif len(sys.argv) >= 4 and sys.argv[1] == "ico":
        write_ico(sys.argv[2], sys.argv[3:])
    else:
        fail("usage: bmp IN.png OUT.bmp | ico OUT.ico IN.png... | png IN.bmp OUT.png")
