"""Korvex cameras from Python: open a session, capture, and receive frames as numpy arrays.

    import korvex
    with korvex.open(1) as session:
        camera = session.camera(1)
        camera.exposure = 0.02
        with camera.capture():
            frame = camera.export()            # a new H x W x 4 (B, G, R, 0) or H x W grey, uint8
            rgb = camera.export(rgb=True)      # H x W x 3 (R, G, B), a view
            camera.export(out=frame)           # into an array of your own, no allocation

A function of the adapter that fails raises KorvexError naming it; a value outside its range (or
NaN) raises ValueError before any call; an export that gets no frame within the session's
timeout raises TimeoutError.
"""

from ._controls import WhiteBalance
from ._library import Library
from .camera import Camera
from .errors import KorvexError
from .session import Session, device_total

open = Session  # noqa: A001 - korvex.open(...) reads like the other open() functions of Python

__all__ = ["Camera", "KorvexError", "Library", "Session", "WhiteBalance", "device_total", "open"]
# The package's own version (see CHANGELOG.md); its major version is the adapter's interface.
__version__ = "1.1.0"
