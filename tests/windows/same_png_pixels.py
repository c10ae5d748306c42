#!/usr/bin/env python3
"""Compares two folders of PNG files by their decoded pixels, not their bytes (encoders differ in
compression and filters). The folders must hold the same set of .png names, and each pair the same
size, channel count and pixels. Prints one line per file; exits 1 on any difference.

usage: same_png_pixels.py FOLDER_A FOLDER_B
"""
import os
import struct
import sys
import zlib

CHANNELS = {0: 1, 2: 3, 4: 2, 6: 4}  # PNG colour type -> channels, 8-bit samples


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(data, width, height, channels):
    stride = width * channels
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, row = data[at], bytearray(data[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = row[i - channels] if i >= channels else 0
            up = previous[i]
            upper_left = previous[i - channels] if i >= channels else 0
            predictor = (0, left, up, (left + up) // 2, paeth(left, up, upper_left))[kind]
            row[i] = (row[i] + predictor) & 0xFF
        rows.append(bytes(row))
        previous = row
    return b"".join(rows)


def decode(path):
    """(width, height, channels, pixels) of an 8-bit, non-interlaced PNG."""
    with open(path, "rb") as f:
        blob = f.read()
    if blob[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    at, idat, header = 8, [], None
    while at < len(blob):
        length, kind = struct.unpack(">I4s", blob[at:at + 8])
        body = blob[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or interlace != 0 or colour not in CHANNELS:
        raise ValueError(f"unsupported PNG (depth {depth}, colour type {colour}, interlace {interlace})")
    channels = CHANNELS[colour]
    return width, height, channels, unfilter(zlib.decompress(b"".join(idat)), width, height, channels)


def main(folder_a, folder_b):
    names_a = sorted(n for n in os.listdir(folder_a) if n.endswith(".png"))
    names_b = sorted(n for n in os.listdir(folder_b) if n.endswith(".png"))
    if not names_a or names_a != names_b:
        print(f"different PNG sets: {names_a} against {names_b}")
        return 1
    failed = 0
    for name in names_a:
        with open(os.path.join(folder_a, name), "rb") as fa, open(os.path.join(folder_b, name), "rb") as fb:
            if fa.read() == fb.read():  # the same bytes are the same pixels; decoding is slow here
                print(f"same pixels: {name} (same bytes)")
                continue
        a, b = decode(os.path.join(folder_a, name)), decode(os.path.join(folder_b, name))
        if a == b:
            print(f"same pixels: {name} ({a[0]}x{a[1]}, {a[2]} channels)")
            continue
        failed = 1
        if a[:3] != b[:3]:
            print(f"different: {name}: {a[:3]} against {b[:3]}")
        else:
            differing = sum(1 for x, y in zip(a[3], b[3]) if x != y)
            print(f"different: {name}: {differing} of {len(a[3])} samples differ")
    return failed


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
