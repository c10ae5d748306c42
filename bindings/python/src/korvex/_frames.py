"""Destination arrays for exported and grabbed frames."""

from __future__ import annotations

import ctypes
from typing import Optional, Tuple

import numpy as np
from numpy.typing import NDArray

# A frame: H x W x 4 (B, G, R, 0), H x W grey, or an H x W x 3 (R, G, B) view of either.
Frame = NDArray[np.uint8]


def frame_shape(width: int, height: int, four_bytes: bool) -> Tuple[int, ...]:
    """H x W x 4 for B,G,R,0 pixels, H x W for grey."""
    return (height, width, 4) if four_bytes else (height, width)


def rgb_view(frame: Frame) -> Frame:
    """H x W x 3 in R, G, B order without a copy: the B,G,R,0 channels reversed, or a grey frame
    repeated (read-only)."""
    if frame.ndim == 3:
        return frame[:, :, 2::-1]
    return np.broadcast_to(frame[:, :, np.newaxis], frame.shape + (3,))


def check_destination(out: object, shape: Tuple[int, ...]) -> None:
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

    Without a caller's array every frame gets a new one, so that frames kept by the caller stay
    as they were. Reading an array's address costs more than all the rest of the Python side of
    an export, so a caller's array that comes again keeps its address from the last call: the
    reference held here keeps it from being freed and its address reused, and the shape check
    rules out a resize (short of numpy's own unsafe resize without refcheck).
    """

    def __init__(self) -> None:
        self._caller: Tuple[Optional[Frame], ctypes.c_void_p] = (None, ctypes.c_void_p(0))

    @staticmethod
    def new(shape: Tuple[int, ...]) -> Tuple[Frame, ctypes.c_void_p]:
        # Not zeroed: the adapter writes every byte of a frame it returns, and a refused one is dropped.
        array = np.empty(shape, dtype=np.uint8)
        return array, ctypes.c_void_p(array.ctypes.data)

    def caller(self, out: Frame, shape: Tuple[int, ...]) -> Tuple[Frame, ctypes.c_void_p]:
        check_destination(out, shape)
        if out is not self._caller[0]:
            self._caller = (out, ctypes.c_void_p(out.ctypes.data))
        return self._caller
