#!/usr/bin/env python3
"""Checks that a pcap file is whole: check-pcap.py FILE

Its records must fill the file exactly, and it must hold at least one request and one
answer. Prints the number of frames; exits 1 on a damaged or empty capture.
"""
import struct
import sys

data = open(sys.argv[1], "rb").read()
if len(data) < 24 or struct.unpack("<I", data[:4])[0] != 0xA1B2C3D4:
    sys.exit("not a little-endian pcap file")
offset, frames = 24, 0
while offset < len(data):
    if offset + 16 > len(data):
        sys.exit(f"a record header is cut short at byte {offset}")
    captured, original = struct.unpack("<II", data[offset + 8:offset + 16])
    offset += 16 + captured
    frames += 1
if offset != len(data) or frames < 2:
    sys.exit(f"the records do not fill the file ({frames} frames)")
print(f"{sys.argv[1]}: {frames} frames")
