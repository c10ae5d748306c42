"""Destination arrays for exported and grabbed frames."""

import ctypes

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
    """The destinations of one camera's frames, each with its address as a ready c_void_p.

    A reused array is kept per kind of frame and overwritten by the next frame of the same kind
    and shape; copy it to keep it. Reading an array's address costs more than all the rest of
    the Python side of an export, so a caller's array that comes again keeps its address from
    the last call: the reference held here keeps it from being freed and its address reused, and
    the shape check rules out a resize (short of numpy's own unsafe resize without refcheck).
    """

    def __init__(self):
        self._reused = {}
        self._caller = (None, 0)

    def reused(self, kind, shape):
        entry = self._reused.get(kind)
        if entry is None or entry[0].shape != shape:
            array = np.zeros(shape, dtype=np.uint8)
            entry = (array, ctypes.c_void_p(array.ctypes.data))
            self._reused[kind] = entry
        return entry

    def caller(self, out, shape):
        check_destination(out, shape)
        if out is not self._caller[0]:
            self._caller = (out, ctypes.c_void_p(out.ctypes.data))
        return self._caller
