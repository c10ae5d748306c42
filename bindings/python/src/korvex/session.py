"""Opening cameras: the session that owns them from open to close."""

from __future__ import annotations

import contextlib
import os
import warnings
from typing import Optional, Tuple, Union

from ._checks import finite, whole
from ._library import Library, PathLike, resolve
from ._open_state import OpenState, needs_open
from .camera import Camera
from .errors import KorvexError

_MAX_CAMERAS = 10
_TIMEOUT_MAX_MS = 32767


def device_total(library: Union[None, PathLike, Library] = None) -> int:
    """How many cameras the camera library sees."""
    library = resolve(library)
    library._used = True
    total = library.ZqGetDeviceTotal()
    if total < 0:
        raise KorvexError("ZqGetDeviceTotal", total)
    return total


def _pass_log_settings(library: Library, log: Optional[str], log_file: Optional[PathLike]) -> None:
    """Puts the log settings where the adapter reads them: the environment, before its first use."""
    settings = {"KORVEX_LOG": log, "KORVEX_LOG_FILE": None if log_file is None else os.fspath(log_file)}
    for name, value in settings.items():
        if value is None:
            continue
        if not isinstance(value, str) or not value or "\0" in value:
            raise ValueError(f"{name} must be a non-empty text, not {value!r}")
        late = library._used and os.environ.get(name) != value
        os.environ[name] = value
        if late:
            warnings.warn(f"{name}={value} comes after the adapter's first use in this process; the adapter "
                          "reads the log settings once, so it may keep the earlier ones (pass them to the first "
                          "korvex.open, or set them before Python starts)", stacklevel=3)


class Session:
    """Cameras 1..count, open (and allocated) until close() or the end of a with block.

    ``korvex.open`` is this class. count defaults to every camera the camera library sees.
    The adapter opens and closes all cameras together, so one session exists at a time per loaded
    library (however its path is written). Closing stops every camera still capturing, then closes
    them all; it happens even when the block raised. library is a Library, a path to the adapter,
    or None for the default search.

    log and log_file switch on the adapter's diagnostic log: they set KORVEX_LOG (for example
    "debug", or "capture:trace,*:warn") and KORVEX_LOG_FILE (default standard error) in the
    environment. The adapter reads them once, at its first use in the process, so give them to
    the first session (or set the variables before starting Python); given later, they warn that
    the adapter may keep the earlier ones.

    ``cameras`` is the tuple of Camera objects, ``library`` the Library. Once closed, every call
    of the session or its cameras that would reach the adapter raises RuntimeError naming it.
    """

    _owner = "session"

    def __init__(self, count: Optional[int] = None, *, allocate: bool = True,
                 library: Union[None, PathLike, Library] = None, log: Optional[str] = None,
                 log_file: Optional[PathLike] = None):
        self.library = resolve(library)
        self._state = OpenState()
        self.cameras: Tuple[Camera, ...] = ()
        _pass_log_settings(self.library, log, log_file)
        if count is None:
            count = device_total(self.library)
            if count == 0:
                raise KorvexError("ZqGetDeviceTotal", 0, "no cameras found")
        count = whole("camera count", count)
        self._open_devices(count)
        try:
            if allocate:
                self.allocate()
            self.cameras = tuple(Camera(self.library, self._state, device) for device in range(1, count + 1))
        except BaseException:
            self.close()
            raise

    def __enter__(self) -> "Session":
        return self

    def __exit__(self, *exception: object) -> None:
        self.close()

    def __repr__(self) -> str:
        return f"Session(cameras={len(self.cameras)}, closed={self.closed})"

    def _open_devices(self, count: int) -> None:
        with self.library._session_lock:
            # Opening again would forget the open cameras' handles without ending them.
            if self.library.open_session is not None:
                raise RuntimeError("a session is already open on this library; close it first")
            self.library._used = True
            result = self.library.checked("ZqOpenDevice", count)
            # Counts outside 1..10 change nothing. Otherwise a failure may leave the cameras before
            # the failing one open: close them, or they stay begun.
            if result != 1 and 1 <= count <= _MAX_CAMERAS:
                self.library.ZqCloseDevice()
            if result != 1:
                raise KorvexError("ZqOpenDevice", result, f"cannot open {count} camera(s)")
            self._state.open = True
            self.library.open_session = self

    @property
    def allocated(self) -> bool:
        """True once allocate() succeeded in this session."""
        return self._state.allocated

    @needs_open
    def allocate(self) -> None:
        """Gives every camera its buffers and colour tables (again, after geometry changes), and
        puts every camera in resolution mode 0 with the whole mode as its window."""
        try:
            self.library.call("ZqAllocateResources")
        except KorvexError:
            # Some cameras may have been put in mode 0 and others not: none is known now.
            for camera in self.cameras:
                camera._resolution_mode = None
                with contextlib.suppress(KorvexError):
                    camera._reset_window()
            raise
        self._state.allocated = True
        for camera in self.cameras:
            camera._resolution_mode = 0
            camera._reset_window()

    def camera(self, device: int) -> Camera:
        """Camera device, counted from 1."""
        if not 1 <= device <= len(self.cameras):
            raise IndexError(f"camera {device} is not in this session (1..{len(self.cameras)})")
        return self.cameras[device - 1]

    def close(self) -> None:
        """Stops capturing cameras and closes all; the settings file keeps their white balance."""
        if not self._state.open:
            return
        self._state.open = False
        failure = None
        try:
            for camera in self.cameras:
                if camera.capturing:
                    try:
                        camera._stop()
                    except KorvexError as error:
                        failure = failure or error
            self.library.ZqCloseDevice()
        finally:
            with self.library._session_lock:
                self.library.open_session = None
        if failure:
            raise failure

    @property
    def closed(self) -> bool:
        """True once close() ran (or the with block ended); the cameras can no longer be used."""
        return not self._state.open

    # ---- library-wide settings -------------------------------------------------------------

    @property
    def timeout(self) -> Optional[float]:
        """How long export() waits for a frame, in seconds (0..32.767, in whole milliseconds);
        None waits without limit."""
        milliseconds = self.library.timeout_ms
        return None if milliseconds == -1 else milliseconds / 1000

    @timeout.setter
    @needs_open
    def timeout(self, seconds: Optional[float]) -> None:
        milliseconds = -1
        if seconds is not None:
            milliseconds = round(finite("timeout", seconds) * 1000)
            if not 0 <= milliseconds <= _TIMEOUT_MAX_MS:
                raise ValueError(f"timeout must be None or 0..{_TIMEOUT_MAX_MS / 1000} seconds, not {seconds!r}")
        self.library.call("ZqSetTimeout", milliseconds)
        self.library.timeout_ms = milliseconds

    @needs_open
    def set_cross_hair(self, box: Optional[Tuple[int, int, int, int]] = None, thickness: int = 1) -> None:
        """Draws a red cross-hair inside box (x, y, width, height) on every camera's exports, which
        then always have 4 bytes per pixel; None switches it off.

        A change waits until grey exports running on other threads have returned (each within
        the session's timeout, or when its camera stops), since their arrays are sized for the
        switch as it was; exports that begin meanwhile wait for the change.
        """
        if box is None:
            with self.library._cross_hair.change(False):
                self.library.call("ZqEnableCross", 1, 0)
            return
        x, y, width, height = box
        values = [whole(what, value) for what, value in
                  (("cross-hair x", x), ("cross-hair y", y), ("cross-hair width", width),
                   ("cross-hair height", height), ("cross-hair thickness", thickness))]
        with self.library._cross_hair.change(True):
            self.library.call("ZqSetCrossPara", 1, *values)
            self.library.ZqEnableCross(1, 1)  # switching on returns 0 by design
