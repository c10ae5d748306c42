"""Destination arrays for exported and grabbed frames."""

import numpy as np


def frame_shape(width, height, four_bytes):
    """H x W x 4 for B,G,R,0 pixels, H x W for grey."""
    return (height, width, 4) if four_bytes else (height, width)


def check_destination(out, shape):
    """Raises ValueError unless out can take a frame of shape in place."""
    if not isinstance(out, np.ndarray):
        raise ValueError("out must be a numpy array")
    if out.dtype != np.uint8:
        raise ValueError(f"out must have dtype uint8, not {out.dtype}")
    if out.shape != shape:
        raise ValueError(f"out must have shape {shape}, not {out.shape}")
    if not out.flags.c_contiguous or not out.flags.writeable:
        raise ValueError("out must be C-contiguous and writeable")


class FrameBuffers:
    """One reusable array per kind of frame and shape, so that a loop allocates nothing.

    An array returned from here is overwritten by the next frame of the same kind and shape;
    copy it to keep it.
    """

    def __init__(self):
        self._arrays = {}

    def get(self, kind, shape):
        array = self._arrays.get(kind)
        if array is None or array.shape != shape:
            array = np.zeros(shape, dtype=np.uint8)
            self._arrays[kind] = array
        return array
