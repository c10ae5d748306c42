"""Opening cameras: the session that owns them from open to close."""

from ._library import resolve
from .camera import Camera
from .errors import KorvexError

_MAX_CAMERAS = 10


def device_total(library=None):
    """How many cameras the camera library sees."""
    total = resolve(library).ZqGetDeviceTotal()
    if total < 0:
        raise KorvexError("ZqGetDeviceTotal", total)
    return total


class Session:
    """Cameras 1..count, open (and allocated) until close() or the end of a with block.

    The adapter opens and closes all cameras together, so one session exists at a time. Closing
    stops every camera still capturing, then closes them all; it happens even when the block
    raised. library is a Library, a path to the adapter, or None for the default search.
    """

    def __init__(self, count=None, *, allocate=True, library=None):
        self.library = resolve(library)
        if count is None:
            count = device_total(self.library)
            if count == 0:
                raise KorvexError("ZqGetDeviceTotal", 0, "no cameras found")
        self._open = False
        self._open_devices(count)
        try:
            if allocate:
                self.allocate()
            self.cameras = tuple(Camera(self, device) for device in range(1, count + 1))
        except BaseException:
            self.close()
            raise

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()

    def _open_devices(self, count):
        # Opening again would forget the open cameras' handles without ending them.
        if self.library.open_session is not None:
            raise RuntimeError("a session is already open on this library; close it first")
        result = self.library.checked("ZqOpenDevice", count)
        # Counts outside 1..10 change nothing. Otherwise a failure may leave the cameras before
        # the failing one open: close them, or they stay begun.
        if result != 1 and 1 <= count <= _MAX_CAMERAS:
            self.library.ZqCloseDevice()
        if result != 1:
            raise KorvexError("ZqOpenDevice", result, f"cannot open {count} camera(s)")
        self._open = True
        self.library.open_session = self

    def allocate(self):
        """Gives every camera its buffers and colour tables (again, after geometry changes)."""
        self.library.call("ZqAllocateResources")
        for camera in getattr(self, "cameras", ()):
            camera._reset_window()

    def camera(self, device):
        """Camera device, counted from 1."""
        if not 1 <= device <= len(self.cameras):
            raise IndexError(f"camera {device} is not in this session (1..{len(self.cameras)})")
        return self.cameras[device - 1]

    def close(self):
        """Stops capturing cameras and closes all; the settings file keeps their white balance."""
        if not self._open:
            return
        self._open = False
        self.library.open_session = None
        failure = None
        for camera in getattr(self, "cameras", ()):
            if camera.capturing:
                try:
                    camera.stop()
                except KorvexError as error:
                    failure = failure or error
        self.library.ZqCloseDevice()
        if failure:
            raise failure

    @property
    def closed(self):
        return not self._open

    # ---- library-wide settings -------------------------------------------------------------

    @property
    def timeout(self):
        """How long export() waits for a frame, in seconds; None waits without limit."""
        milliseconds = self.library.timeout_ms
        return None if milliseconds == -1 else milliseconds / 1000

    @timeout.setter
    def timeout(self, seconds):
        milliseconds = -1 if seconds is None else round(seconds * 1000)
        if seconds is not None and not 0 <= milliseconds <= 32767:
            raise ValueError("timeout must be None or 0..32.767 seconds")
        self.library.call("ZqSetTimeout", milliseconds)
        self.library.timeout_ms = milliseconds

    def set_cross_hair(self, box=None, thickness=1):
        """Draws a red cross-hair inside box (x, y, width, height) on every camera's exports, which
        then always have 4 bytes per pixel; None switches it off."""
        if box is None:
            self.library.call("ZqEnableCross", 1, 0)
            self.library.cross_enabled = False
            return
        x, y, width, height = box
        self.library.call("ZqSetCrossPara", 1, x, y, width, height, thickness)
        self.library.ZqEnableCross(1, 1)  # switching on returns 0 by design
        self.library.cross_enabled = True
