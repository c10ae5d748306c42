"""One camera of an open session: capture, frames and geometry."""

import contextlib

from ._controls import CameraControls
from ._frames import FrameBuffers, frame_shape
from .errors import KorvexError


def _checked_layout(layout):
    # The adapter would take any other code as 1 without a word; a wrong layout swaps colours.
    if layout not in (1, 2, 3, 4):
        raise ValueError(f"Bayer layout must be 1..4, not {layout!r}")
    return int(layout)


class Camera(CameraControls):
    """Camera ``device`` (counted from 1) of a ``Session``.

    Frames come as numpy arrays: H x W x 4 uint8 (B, G, R, 0) for colour, or while the session's
    cross-hair is on; H x W uint8 grey otherwise. ``colour`` starts from the model name (names
    ending in M are monochrome) and ``layout`` (the sensor's Bayer layout, 1..4, which the
    adapter cannot read from the camera) starts at 1; set both to match the camera.
    """

    def __init__(self, session, device):
        self._session = session
        self._library = session.library
        self.device = device
        self._buffers = FrameBuffers()
        self._capturing = False
        self._window = None
        self._shapes = None
        self._resolution_mode = 0
        CameraControls.__init__(self)
        self.colour = not self.model.endswith("M")
        self._layout = 1
        self._reset_window()

    def __repr__(self):
        return f"Camera(device={self.device}, model={self.model!r})"

    @property
    def layout(self):
        """The sensor's Bayer layout: 1 = B G / G R, 2 = G B / R G, 3 = G R / B G, 4 = R G / G B."""
        return self._layout

    @layout.setter
    def layout(self, layout):
        self._layout = _checked_layout(layout)

    # ---- capture -------------------------------------------------------------------------

    @property
    def capturing(self):
        """True between a successful start() and stop()."""
        return self._capturing

    def start(self):
        """Starts continuous capture into the camera's two buffers."""
        self._library.call("ZqStartGrab", self.device)
        self._capturing = True

    def stop(self):
        """Stops continuous capture. The camera counts as stopped even when the camera refused."""
        self._capturing = False
        self._library.call("ZqStopGrab", self.device)

    @contextlib.contextmanager
    def capture(self):
        """Captures for the duration of a with block and always stops at its end."""
        self.start()
        try:
            yield self
        except BaseException:
            with contextlib.suppress(KorvexError):
                self.stop()
            raise
        self.stop()

    # ---- frames --------------------------------------------------------------------------

    @property
    def frame_size(self):
        """(width, height) of the frames: the window, or the whole resolution mode."""
        return self._window[2], self._window[3]

    def export(self, out=None, *, colour=None, layout=None):
        """Waits up to the session's timeout for the next frame and returns the newest one.

        Without out, the frame lands in an array kept by the camera and overwritten by the next
        export of the same shape. With out (uint8, C-contiguous, the frame's shape) it is written
        there directly and out is returned. Raises TimeoutError when no frame came in time and
        KorvexError when the adapter refused.
        """
        colour = self.colour if colour is None else colour
        shape = self._shapes[1 if colour or self._library.cross_enabled else 0]
        out, address = self._destination(out, "export", shape)
        result = self._library.export_frame(self.device, address, shape[1], shape[0], 1 if colour else 0,
                                            self._layout if layout is None else _checked_layout(layout))
        if result == -1:
            raise TimeoutError(f"ZqExportImageData: no frame from camera {self.device} within the timeout")
        if result != 1:
            raise KorvexError("ZqExportImageData", result)
        return out

    def grab(self, out=None, *, colour=None, layout=None):
        """Takes one frame now (no cross-hair) and returns it as export() does."""
        colour = self.colour if colour is None else colour
        width, height = self.frame_size
        out, address = self._destination(out, "grab", self._shapes[1 if colour else 0])
        self._library.call("ZqGrabSingle", self.device, address, width, height, 1 if colour else 0,
                           self._layout if layout is None else _checked_layout(layout))
        return out

    def _destination(self, out, kind, shape):
        if out is None:
            return self._buffers.reused(kind, shape)
        return self._buffers.caller(out, shape)

    # ---- geometry ------------------------------------------------------------------------

    @property
    def resolution(self):
        """(width, height) of the current resolution mode, as the camera lists it."""
        width = self._library.ZqGetImageWidth(self.device)
        height = self._library.ZqGetImageHeight(self.device)
        if width <= 0 or height <= 0:
            raise KorvexError("ZqGetImageWidth" if width <= 0 else "ZqGetImageHeight", min(width, height))
        return width, height

    @property
    def resolution_mode(self):
        """The index of the current entry of the camera's resolution list (0 = full sensor)."""
        return self._resolution_mode

    @resolution_mode.setter
    def resolution_mode(self, mode):
        before = self.resolution
        result = self._library.checked("ZqSetResolution", self.device, mode)
        self._reset_window()
        # A mode the camera refused still gives the adapter its geometry.
        if result == 1 or self.frame_size != before:
            self._resolution_mode = mode
        if result != 1:
            raise KorvexError("ZqSetResolution", result)

    @property
    def window(self):
        """(left, top, width, height) of the output window inside the resolution mode."""
        return self._window

    @window.setter
    def window(self, window):
        left, top, width, height = window
        result = self._library.checked("ZqSetAOI", self.device, left, top, width, height)
        if result != 1:
            raise KorvexError("ZqSetAOI", result, "window refused")
        self._set_window((left, top, width, height))

    def _reset_window(self):
        width, height = self.resolution
        self._set_window((0, 0, width, height))

    def _set_window(self, window):
        self._window = window
        width, height = window[2], window[3]
        self._shapes = (frame_shape(width, height, False), frame_shape(width, height, True))
