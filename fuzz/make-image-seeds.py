#!/usr/bin/env python3
"""Writes the tiny images under corpus/raster_image, one per path the decoder adapter takes.

Run by hand after changing it; its output is committed.
"""
import pathlib
import struct
import zlib

OUT = pathlib.Path(__file__).resolve().parent / "corpus" / "raster_image"


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def png(width, height, depth, colour, rows, extra=(), interlace=0):
    """rows: the filtered scanlines' payload, each without its filter byte."""
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace)
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + b"".join(extra) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def adam7(pixels, width, height, size):
    """The rows of the seven interlace passes of a picture held as rows of size-byte pixels."""
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
              (0, 1, 1, 2)]
    rows = []
    for x0, y0, dx, dy in passes:
        for y in range(y0, height, dy):
            row = b"".join(pixels[y][x * size:(x + 1) * size] for x in range(x0, width, dx))
            if row:
                rows.append(row)
    return rows


def write(name, data):
    (OUT / name).write_bytes(data)


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    # Straight alpha, soft edge.
    write("rgba8-soft-edge.png", png(2, 1, 8, 6, [bytes([255, 0, 0, 255, 0, 0, 255, 96])]))
    # Palette with its own transparency.
    write("palette2-trns.png", png(3, 2, 2, 3, [bytes([0b00011011]), bytes([0b11100100])], [
        chunk(b"PLTE", bytes([0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255])),
        chunk(b"tRNS", bytes([0, 128]))]))
    # Colour keys: 16-bit grey, 8-bit RGB, 1-bit grey.
    write("grey16-key.png", png(2, 2, 16, 0, [struct.pack(">HH", 0x1234, 0xFFFF),
                                               struct.pack(">HH", 0x1234, 0x1235)],
                                [chunk(b"tRNS", struct.pack(">H", 0x1234))]))
    write("rgb8-key.png", png(2, 2, 8, 2, [bytes([1, 2, 3, 4, 5, 6]), bytes([4, 5, 6, 1, 2, 3])],
                              [chunk(b"tRNS", struct.pack(">HHH", 1, 2, 3))]))
    write("grey1-key.png", png(9, 2, 1, 0, [bytes([0b10101010, 0b10000000])] * 2,
                               [chunk(b"tRNS", struct.pack(">H", 1))]))
    # A key chunk too short for RGB.
    write("rgb8-short-key.png", png(1, 1, 8, 2, [bytes([1, 2, 3])], [chunk(b"tRNS", b"\0\1")]))
    # Interlaced grey with alpha, and 16-bit RGB.
    write("grey-alpha8-interlaced.png",
          png(3, 3, 8, 4, adam7([bytes([10 * i, 255 - 20 * i] * 3) for i in range(3)], 3, 3, 2),
              interlace=1))
    write("rgb16.png", png(1, 2, 16, 2, [struct.pack(">HHH", 1, 2, 65535)] * 2))
    # Formats QtGui decodes without plugins, which reach other stored formats.
    write("mono.xbm", b"#define m_width 10\n#define m_height 2\n"
                      b"static char m_bits[] = { 0x55, 0x02, 0xaa, 0x01 };\n")
    write("mono.pbm", b"P4\n10 2\n" + bytes([0x55, 0x40, 0xAA, 0x80]))
    write("grey.pgm", b"P5\n3 2\n255\n" + bytes([0, 128, 255, 1, 2, 3]))
    write("rgb.ppm", b"P6\n2 1\n255\n" + bytes([255, 0, 0, 0, 255, 0]))
    write("palette.xpm", b'/* XPM */\nstatic char *p[] = {\n"3 2 2 1",\n". c None",\n'
                         b'"# c #ff8000",\n".#.",\n"#.#"};\n')
    # 16-bit BMP, five bits a channel.
    pixels = struct.pack("<HH", 0x7C00, 0x001F)
    header = struct.pack("<IiiHHIIiiII", 40, 2, 1, 1, 16, 0, len(pixels), 2835, 2835, 0, 0)
    write("rgb555.bmp", b"BM" + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, 14 + 40) +
          header + pixels)


if __name__ == "__main__":
    main()
