#!/usr/bin/env python3
"""Writes a Windows icon file from the rendered PNG icons: make-ico.py OUT.ico IN.png...

Windows (Vista on) reads PNG images inside an .ico as they are, so each PNG is stored
unchanged; the entry's size comes from the PNG's own header (256 is written as 0).
"""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("not a PNG file")
    return struct.unpack(">II", data[16:24])


def main():
    if len(sys.argv) < 3:
        raise SystemExit("usage: make-ico.py OUT.ico IN.png...")
    images = [open(path, "rb").read() for path in sys.argv[2:]]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for data in images:
        width, height = png_size(data)
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                               len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as out:
        out.write(header + entries + b"".join(images))


main()
