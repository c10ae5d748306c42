"""Finding and loading the Korvex shared library, and declaring its exported functions."""

from __future__ import annotations

import ctypes
import os
import sys
import threading
from typing import Any, Dict, List, Optional, Tuple, Union

from ._cross_hair import CrossHairGate
from .errors import KorvexError

PathLike = Union[str, "os.PathLike[str]"]

_I16 = ctypes.c_int16
_U8 = ctypes.c_uint8
_PTR = ctypes.c_void_p  # buffers go in as plain addresses, which costs least per call
_INT16_MIN = -32768
_INT16_MAX = 32767

# Name, result type and argument types of every exported function.
_SIGNATURES = (
    ("ZqOpenDevice", _I16, (_I16,)),
    ("ZqAllocateResources", _I16, ()),
    ("ZqCloseDevice", _I16, ()),
    ("ZqRestatDevice", _I16, (_I16,)),
    ("ZqGetDeviceTotal", _I16, ()),
    ("ZqStartGrab", _I16, (_I16,)),
    ("ZqStopGrab", _I16, (_I16,)),
    ("ZqSetTimeout", _I16, (_I16,)),
    ("ZqExportImageData", _I16, (_I16, _PTR, _I16, _I16, _I16, _I16)),
    ("ZqGrabSingle", _I16, (_I16, _PTR, _I16, _I16, _I16, _I16)),
    ("ZqEnableCross", _I16, (_I16, _I16)),
    ("ZqSetCrossPara", _I16, (_I16, _I16, _I16, _I16, _I16, _I16)),
    ("ZqAutoWhiteBalance", _I16, (_I16,)),
    ("ZqSetWhiteBalanceRatio", _I16, (_I16, _I16, _I16)),
    ("ZqResetLutTable", _I16, (_I16,)),
    ("ZqSetGamma", _I16, (_I16, _I16)),
    ("ZqSetShutter", _I16, (_I16, _I16, _I16)),
    ("ZqSetResolution", _I16, (_I16, _I16)),
    ("ZqSetAOI", _I16, (_I16, _I16, _I16, _I16, _I16)),
    ("ZqGetImageWidth", _I16, (_I16,)),
    ("ZqGetImageHeight", _I16, (_I16,)),
    ("ZqSetGain", _I16, (_I16, _I16, _I16)),
    ("ZqSetChannelGain", _I16, (_I16, _I16, _I16)),
    ("ZqSetADCLevel", _I16, (_I16, _I16)),
    ("ZqEnableADC", _I16, (_I16, _I16)),
    ("ZqSetADCValue", _I16, (_I16, _I16)),
    ("ZqSetBlanking", _I16, (_I16, _I16, _I16)),
    ("ZqSetSnapMode", _I16, (_I16, _I16)),
    ("ZqSetSnapSpeed", _I16, (_I16, _I16)),
    ("ZqSetTriggerPolarity", _I16, (_I16, _I16)),
    ("ZqSetStrobePolarity", _I16, (_I16, _I16)),
    ("ZqTriggerShot", _I16, (_I16,)),
    ("ZqSetTrigerShot", _I16, (_I16,)),  # the same function under its older name
    ("ZqGetDeviceType", _U8, (_I16, _PTR)),
    ("ZqGetDeviceSeriesNum", _U8, (_I16, _PTR)),
    ("ZqGetHardwareVersion", _U8, (_I16, _PTR)),
    ("ZqGetLastStatus", _I16, (_I16,)),
)


def _system_names() -> Tuple[str, ...]:
    if sys.platform == "win32":
        return ("Korvex.dll",)
    if sys.platform == "darwin":
        return ("libKorvex.1.dylib", "libKorvex.dylib")
    return ("libKorvex.so.1", "libKorvex.so")


def _loader() -> Any:
    # The 32-bit Windows build exports __stdcall functions; everywhere else they use the
    # platform's C convention.
    if sys.platform == "win32" and ctypes.sizeof(ctypes.c_void_p) == 4:
        return ctypes.WinDLL
    return ctypes.CDLL


def _candidates(path: Optional[PathLike]) -> List[str]:
    if path:
        return [os.fspath(path)]
    from_environment = os.environ.get("KORVEX_LIBRARY")
    if from_environment:
        return [from_environment]
    return list(_system_names())


def _quiet_messages() -> None:
    # The adapter shows misuse in a modal box and waits for it. A dialog program that exits
    # non-zero has shown nothing, so the adapter writes the message on standard error instead
    # and never blocks a script. A value the user set is kept.
    if sys.platform != "win32" and not os.environ.get("KORVEX_DIALOG"):
        os.environ["KORVEX_DIALOG"] = "false"


def _identity(handle: ctypes.CDLL) -> int:
    """What makes two loads the same loaded library: the address of one of its functions.

    The system loader maps a file once per process however it is named (dir/./libKorvex.so, a
    symbolic link, a relative path: glibc compares device and inode, Windows the module), and a
    second load returns the mapping already there. A copy of the file at another place is another
    library, with state of its own, and has another address.
    """
    return ctypes.cast(handle["ZqGetDeviceTotal"], ctypes.c_void_p).value or 0


class Library:
    """The loaded adapter with every exported function declared; one per loaded library.

    Functions are reached as attributes under their exported names (``library.ZqOpenDevice``);
    ``call`` runs one and raises ``KorvexError`` naming it when it returns 0. Calling them
    directly bypasses what the package keeps about the adapter's state: ``open_session`` (the
    Session open on it, or None), ``timeout_ms`` (the export timeout last set, -1 for none) and
    the cross-hair (``cross_enabled``). ``path`` is the name it was first loaded by.
    """

    def __init__(self, handle: ctypes.CDLL, path: str):
        self.path = path
        self._handle = handle
        for name, result, arguments in _SIGNATURES:
            function = getattr(handle, name)
            function.restype = result
            function.argtypes = arguments
            setattr(self, name, function)
        # The export loop's own entry, declared without argument types: ctypes then skips their
        # conversion, about half a microsecond a call. Its one caller passes ints already checked
        # to be in range and a ready c_void_p.
        self.export_frame = handle["ZqExportImageData"]
        self.export_frame.restype = _I16
        # Library-wide settings, kept here because the adapter offers no way to read them back.
        self.timeout_ms = 5000
        self._cross_hair = CrossHairGate()
        # The Session open on it, or None. Typed as object: the session module builds on this one.
        self.open_session: Optional[object] = None
        # Opening a session takes this, so that two threads cannot both find none open.
        self._session_lock = threading.Lock()
        # Whether the package has called into the adapter yet: the adapter reads its log settings
        # from the environment at its first use, so they must be in place before.
        self._used = False

    def __repr__(self) -> str:
        return f"Library({self.path!r})"

    @property
    def cross_enabled(self) -> bool:
        """Whether the cross-hair is on (as switched through Session.set_cross_hair)."""
        return self._cross_hair.enabled

    @classmethod
    def load(cls, path: Optional[PathLike] = None) -> "Library":
        """Loads the adapter from path, else from $KORVEX_LIBRARY, else by the system loader's search.

        One Library per loaded library, whatever name it is loaded by: the adapter's state is one
        per loaded library, and so must be what is kept here about it (the open session, the
        cross-hair).
        """
        _quiet_messages()
        tried = []
        for candidate in _candidates(path):
            try:
                handle = _loader()(candidate)
                identity = _identity(handle)
            except (OSError, AttributeError) as error:
                tried.append(f"{candidate} ({error})")
                continue
            with _loaded_lock:
                library = _loaded.get(identity)
                if library is None:
                    library = _loaded[identity] = cls(handle, candidate)
            return library
        raise OSError("Korvex library not found; tried " + "; ".join(tried) +
                      ". Pass its path or set KORVEX_LIBRARY to the library file.")

    def checked(self, name: str, *arguments: Any) -> int:
        """Runs name after checking that each 16-bit argument fits: ctypes would wrap 70000 to
        4464 silently, and the camera would receive a value nobody asked for."""
        function = getattr(self, name)
        for value, kind in zip(arguments, function.argtypes):
            if kind is _I16 and not _INT16_MIN <= value <= _INT16_MAX:
                raise ValueError(f"{name}: {value} is outside {_INT16_MIN}..{_INT16_MAX}")
        return function(*arguments)

    def call(self, name: str, *arguments: Any) -> int:
        """Runs name like checked() and raises KorvexError naming it when it returns 0."""
        result = self.checked(name, *arguments)
        if result == 0:
            raise KorvexError(name, result)
        return result


_loaded: Dict[int, Library] = {}
_loaded_lock = threading.Lock()


def resolve(library: Union[None, PathLike, Library]) -> Library:
    """A Library from None (the default search), a path, or a Library."""
    if isinstance(library, Library):
        return library
    return Library.load(library)
