"""One camera of an open session: capture, frames and geometry."""

from __future__ import annotations

import contextlib
import ctypes
import os
from typing import Iterator, Optional, Tuple

from ._checks import whole, whole_in_range
from ._controls import CameraControls
from ._frames import Frame, FrameBuffers, frame_shape, rgb_view
from ._library import Library
from ._open_state import OpenState, closed_error, needs_open
from .errors import KorvexError

# Timeouts in a row after which an export's message says the camera may have stopped delivering.
STOPPED_AFTER_TIMEOUTS = 3


def _checked_layout(layout: object) -> int:
    # The adapter would take any other code as 1 without a word; a wrong layout swaps colours.
    return whole_in_range("Bayer layout", layout, 1, 4)


class Camera(CameraControls):
    """Camera ``device`` (counted from 1) of a ``Session``, made by the session.

    Frames come as numpy arrays: H x W x 4 uint8 (B, G, R, 0) for colour, or while the session's
    cross-hair is on; H x W uint8 grey otherwise; H x W x 3 (R, G, B) with ``rgb=True``.
    ``colour`` starts from the model name (names ending in M are monochrome) and ``layout`` (the
    sensor's Bayer layout, 1..4, which the adapter cannot read from the camera) starts at 1; set
    both to match the camera. Once the session is closed every call that would reach the adapter
    raises RuntimeError naming it.
    """

    def __init__(self, library: Library, state: OpenState, device: int):
        self._state = state
        self._library = library
        self.device = device
        self._owner = f"camera {device}"
        self._buffers = FrameBuffers()
        self._capturing = False
        self._timeouts_in_a_row = 0
        self._window: Tuple[int, int, int, int] = (0, 0, 0, 0)
        self._shapes: Tuple[Tuple[int, ...], Tuple[int, ...]] = ((0, 0), (0, 0, 4))
        # Allocation put the camera in mode 0; without it the mode is whatever it was before.
        self._resolution_mode: Optional[int] = 0 if state.allocated else None
        CameraControls.__init__(self)
        self.colour: bool = not self.model.endswith("M")
        self._layout = 1
        self._reset_window()

    def __repr__(self) -> str:
        return f"Camera(device={self.device}, model={self.model!r})"

    @property
    def layout(self) -> int:
        """The sensor's Bayer layout: 1 = B G / G R, 2 = G B / R G, 3 = G R / B G, 4 = R G / G B."""
        return self._layout

    @layout.setter
    def layout(self, layout: int) -> None:
        self._layout = _checked_layout(layout)

    # ---- capture -------------------------------------------------------------------------

    @property
    def capturing(self) -> bool:
        """True between a successful start() and stop()."""
        return self._capturing

    @needs_open
    def start(self) -> None:
        """Starts continuous capture into the camera's two buffers."""
        self._library.call("ZqStartGrab", self.device)
        self._capturing = True
        self._timeouts_in_a_row = 0

    @needs_open
    def stop(self) -> None:
        """Stops continuous capture. The camera counts as stopped even when the camera refused."""
        self._stop()

    def _stop(self) -> None:
        # Also the session's, which stops its cameras as it closes.
        self._capturing = False
        self._library.call("ZqStopGrab", self.device)

    @contextlib.contextmanager
    def capture(self) -> Iterator["Camera"]:
        """Captures for the duration of a with block and always stops at its end (a session closed
        inside the block has stopped it already)."""
        self.start()
        try:
            yield self
        except BaseException:
            if self._state.open:
                with contextlib.suppress(KorvexError):
                    self.stop()
            raise
        if self._state.open:
            self.stop()

    # ---- frames --------------------------------------------------------------------------

    @property
    def frame_size(self) -> Tuple[int, int]:
        """(width, height) of the frames: the window, or the whole resolution mode."""
        return self._window[2], self._window[3]

    def export(self, out: Optional[Frame] = None, *, colour: Optional[bool] = None,
               layout: Optional[int] = None, rgb: bool = False) -> Frame:
        """Waits up to the session's timeout for the next frame of the capture and returns the
        newest one. Only while capturing (capture() or start()); grab() takes a single frame.

        The frame is uint8: H x W x 4 (B, G, R, 0) for colour, and for grey while the session's
        cross-hair is on; H x W for grey otherwise; H and W are frame_size's height and width.
        Without out, each call returns a new array. With out (uint8, C-contiguous, the frame's
        shape) the frame is written there directly, with no allocation, and out is returned:
        the way to reuse one array for a stream of frames.

        rgb=True returns H x W x 3 in R, G, B order, a view without a copy: of the B,G,R,0 frame
        (reversed channels without the padding, so not C-contiguous; np.ascontiguousarray copies
        it, about 4 MB for 1280 x 1024), or of a grey frame repeated three times (read-only).

        Raises RuntimeError when the camera is not capturing, TimeoutError when no frame came in
        time (its message points at the diagnostic log when several come in a row) and
        KorvexError when the adapter refused.
        """
        if not self._capturing:
            raise self._not_capturing()
        colour = self.colour if colour is None else colour
        layout = self._layout if layout is None else _checked_layout(layout)
        # Width and height come from the very shape the destination has: a window set on another
        # thread meanwhile cannot make the adapter write a frame larger than the array.
        if colour:
            shape = self._shapes[1]
            out, address = self._destination(out, shape)
            result = self._library.export_frame(self.device, address, shape[1], shape[0], 1, layout)
        else:
            # The destination is sized for the cross-hair switch, which stays as it is until the
            # adapter has written the frame.
            gate = self._library._cross_hair
            cross = gate.begin_grey()
            try:
                shape = self._shapes[1 if cross else 0]
                out, address = self._destination(out, shape)
                result = self._library.export_frame(self.device, address, shape[1], shape[0], 0, layout)
            finally:
                gate.end_grey()
        if result != 1:
            self._raise_export_failure(result)
        self._timeouts_in_a_row = 0
        return rgb_view(out) if rgb else out

    @needs_open
    def grab(self, out: Optional[Frame] = None, *, colour: Optional[bool] = None,
             layout: Optional[int] = None, rgb: bool = False) -> Frame:
        """Takes one frame now (no cross-hair) and returns it as export() does.

        Only while the camera is not capturing: during capture the camera refills the buffer a
        grab reads, so this raises RuntimeError. Stop capture first, or use export() for frames
        of a running capture."""
        if self._capturing:
            raise RuntimeError(f"camera {self.device} is capturing: grab() takes a single frame from a stopped "
                               "camera; stop capture first, or use export() for frames of the capture")
        colour = self.colour if colour is None else colour
        layout = self._layout if layout is None else _checked_layout(layout)
        shape = self._shapes[1 if colour else 0]
        out, address = self._destination(out, shape)
        self._library.call("ZqGrabSingle", self.device, address, shape[1], shape[0], 1 if colour else 0, layout)
        return rgb_view(out) if rgb else out

    def _destination(self, out: Optional[Frame], shape: Tuple[int, ...]) -> Tuple[Frame, ctypes.c_void_p]:
        if out is None:
            return self._buffers.new(shape)
        return self._buffers.caller(out, shape)

    def _not_capturing(self) -> RuntimeError:
        if not self._state.open:
            return closed_error(self._owner, "export")
        return RuntimeError(f"camera {self.device} is not capturing: export() needs capture() or start() first "
                            "(grab() takes a single frame without them)")

    def _raise_export_failure(self, result: int) -> None:
        if result != -1:
            raise KorvexError("ZqExportImageData", result)
        self._timeouts_in_a_row += 1
        message = f"ZqExportImageData: no frame from camera {self.device} within the timeout"
        if self._timeouts_in_a_row >= STOPPED_AFTER_TIMEOUTS:
            message += (f"; {self._timeouts_in_a_row} in a row, so the camera may have stopped delivering frames "
                        f"(unplugged, or waiting for a trigger). {_log_hint()}")
        raise TimeoutError(message)

    # ---- geometry ------------------------------------------------------------------------

    @property
    @needs_open
    def resolution(self) -> Tuple[int, int]:
        """(width, height) of the current resolution mode, as the camera lists it."""
        width = self._library.ZqGetImageWidth(self.device)
        height = self._library.ZqGetImageHeight(self.device)
        if width <= 0 or height <= 0:
            raise KorvexError("ZqGetImageWidth" if width <= 0 else "ZqGetImageHeight", min(width, height))
        return width, height

    @property
    def resolution_mode(self) -> Optional[int]:
        """The index of the current entry of the camera's resolution list (0 = full sensor).

        Session.allocate() puts every camera in mode 0. None when the package cannot know it:
        before the first allocation of the session, or after one that failed.
        """
        return self._resolution_mode

    @resolution_mode.setter
    @needs_open
    def resolution_mode(self, mode: int) -> None:
        mode = whole("resolution mode", mode)
        before = self.resolution
        result = self._library.checked("ZqSetResolution", self.device, mode)
        self._reset_window()
        # A mode the camera refused still gives the adapter its geometry.
        if result == 1 or self.frame_size != before:
            self._resolution_mode = mode
        if result != 1:
            raise KorvexError("ZqSetResolution", result)

    @property
    def window(self) -> Tuple[int, int, int, int]:
        """(left, top, width, height) of the output window inside the resolution mode."""
        return self._window

    @window.setter
    @needs_open
    def window(self, window: Tuple[int, int, int, int]) -> None:
        left, top, width, height = window
        left, top = whole("window left", left), whole("window top", top)
        width, height = whole("window width", width), whole("window height", height)
        result = self._library.checked("ZqSetAOI", self.device, left, top, width, height)
        if result != 1:
            raise KorvexError("ZqSetAOI", result, "window refused")
        self._set_window((left, top, width, height))

    def _reset_window(self) -> None:
        width, height = self.resolution
        self._set_window((0, 0, width, height))

    def _set_window(self, window: Tuple[int, int, int, int]) -> None:
        width, height = window[2], window[3]
        # One assignment each: a thread reading the shapes sees the old pair or the new one.
        self._shapes = (frame_shape(width, height, False), frame_shape(width, height, True))
        self._window = window


def _log_hint() -> str:
    if os.environ.get("KORVEX_LOG"):
        where = os.environ.get("KORVEX_LOG_FILE") or "standard error"
        return f"The adapter's log (KORVEX_LOG={os.environ['KORVEX_LOG']}) on {where} shows the camera's calls."
    return ("To see the camera's calls, run again with KORVEX_LOG=debug in the environment "
            "(or korvex.open(log='debug')).")
