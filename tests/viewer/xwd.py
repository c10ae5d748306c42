"""Reads the screen dumps of xwd (X Window Dump, ZPixmap at 24 or 32 bits a pixel, as an X server
of depth 24 writes them) into numpy arrays of R, G, B."""

import struct

import numpy as np


def read_xwd(path):
    """Returns an H x W x 3 uint8 array (R, G, B)."""
    with open(path, "rb") as file:
        data = file.read()
    fields = struct.unpack(">25I", data[:100])
    header_size, _version, pixmap_format, _depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    masks = fields[14:17]  # red, green, blue
    colours = fields[19]
    if pixmap_format != 2 or bits_per_pixel not in (24, 32):
        raise ValueError(f"{path}: only ZPixmap dumps of 24 or 32 bits a pixel are read")
    start = header_size + 12 * colours
    step = bits_per_pixel // 8
    rows = np.frombuffer(data, dtype=np.uint8, count=height * bytes_per_line, offset=start)
    pixels = rows.reshape(height, bytes_per_line)[:, : width * step].reshape(height, width, step).astype(np.uint32)
    order = range(step) if byte_order == 0 else reversed(range(step))  # LSBFirst: byte 0 is the lowest
    values = sum(pixels[:, :, b] << (8 * k) for k, b in enumerate(order))
    channels = [((values & mask) >> ((mask & -mask).bit_length() - 1)).astype(np.uint8) for mask in masks]
    return np.stack(channels, axis=-1)
