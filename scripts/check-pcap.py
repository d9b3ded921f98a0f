#!/usr/bin/env python3
"""Checks that a pcapng capture is whole: check-pcap.py FILE

It must start with a little-endian section header and describe its interface before any
packet; its blocks must fill the file exactly, each block's two length fields agreeing,
and it must hold at least one request and one answer. Prints the number of frames and of
packet comments; exits 1 on a damaged or empty capture.
"""
import struct
import sys

SECTION_HEADER, INTERFACE, ENHANCED_PACKET = 0x0A0D0D0A, 1, 6

data = open(sys.argv[1], "rb").read()
if (len(data) < 28 or struct.unpack("<I", data[:4])[0] != SECTION_HEADER
        or struct.unpack("<I", data[8:12])[0] != 0x1A2B3C4D):
    sys.exit("not a little-endian pcapng file")
offset, frames, comments, interfaces = 0, 0, 0, 0
while offset < len(data):
    if offset + 12 > len(data):
        sys.exit(f"a block header is cut short at byte {offset}")
    kind, length = struct.unpack("<II", data[offset:offset + 8])
    if length < 12 or length % 4 or offset + length > len(data):
        sys.exit(f"the block at byte {offset} does not fit the file")
    if struct.unpack("<I", data[offset + length - 4:offset + length])[0] != length:
        sys.exit(f"the block at byte {offset} ends with another length")
    if kind == INTERFACE:
        interfaces += 1
    elif kind == ENHANCED_PACKET:
        if interfaces == 0:
            sys.exit(f"a packet at byte {offset} comes before its interface")
        captured = struct.unpack("<I", data[offset + 20:offset + 24])[0]
        at = offset + 28 + (captured + 3) // 4 * 4
        end = offset + length - 4
        if at > end:
            sys.exit(f"the packet at byte {offset} is longer than its block")
        while at + 4 <= end:
            code, size = struct.unpack("<HH", data[at:at + 4])
            if code == 0:
                break
            comments += code == 1
            at += 4 + (size + 3) // 4 * 4
        frames += 1
    offset += length
if frames < 2:
    sys.exit(f"the capture holds {frames} frames")
print(f"{sys.argv[1]}: {frames} frames, {comments} comments")
