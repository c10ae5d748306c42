"""Finding and loading the Korvex shared library, and declaring its exported functions."""

import ctypes
import os
import sys

from .errors import KorvexError

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
    ("ZqGetDeviceType", _U8, (_I16, _PTR)),
    ("ZqGetDeviceSeriesNum", _U8, (_I16, _PTR)),
    ("ZqGetHardwareVersion", _U8, (_I16, _PTR)),
    ("ZqGetLastStatus", _I16, (_I16,)),
)


def _system_names():
    if sys.platform == "win32":
        return ("Korvex.dll",)
    if sys.platform == "darwin":
        return ("libKorvex.1.dylib", "libKorvex.dylib")
    return ("libKorvex.so.1", "libKorvex.so")


def _loader():
    # The 32-bit Windows build exports __stdcall functions; everywhere else they use the
    # platform's C convention.
    if sys.platform == "win32" and ctypes.sizeof(ctypes.c_void_p) == 4:
        return ctypes.WinDLL
    return ctypes.CDLL


def _candidates(path):
    if path:
        return [os.fspath(path)]
    from_environment = os.environ.get("KORVEX_LIBRARY")
    if from_environment:
        return [from_environment]
    return list(_system_names())


def _quiet_messages():
    # The adapter shows misuse in a modal box and waits for it. A dialog program that exits
    # non-zero has shown nothing, so the adapter writes the message on standard error instead
    # and never blocks a script. A value the user set is kept.
    if sys.platform != "win32" and not os.environ.get("KORVEX_DIALOG"):
        os.environ["KORVEX_DIALOG"] = "false"


class Library:
    """The loaded adapter with every exported function declared.

    Functions are reached as attributes under their exported names (``library.ZqOpenDevice``).
    ``call`` runs one and raises ``KorvexError`` naming it when it returns 0.
    """

    def __init__(self, handle, path):
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
        self.cross_enabled = False
        self.open_session = None

    @classmethod
    def load(cls, path=None):
        """Loads the adapter from path, else from $KORVEX_LIBRARY, else by the system loader's search.

        One Library per name: the adapter's state is one per process, and so must be what is
        kept here about it.
        """
        _quiet_messages()
        tried = []
        for candidate in _candidates(path):
            if candidate in _loaded:
                return _loaded[candidate]
            try:
                library = cls(_loader()(candidate), candidate)
            except OSError as error:
                tried.append(f"{candidate} ({error})")
                continue
            _loaded[candidate] = library
            return library
        raise OSError("Korvex library not found; tried " + "; ".join(tried) +
                      ". Pass its path or set KORVEX_LIBRARY to the library file.")

    def checked(self, name, *arguments):
        """Runs name after checking that each 16-bit argument fits: ctypes would wrap 70000 to
        4464 silently, and the camera would receive a value nobody asked for."""
        function = getattr(self, name)
        for value, kind in zip(arguments, function.argtypes):
            if kind is _I16 and not _INT16_MIN <= value <= _INT16_MAX:
                raise ValueError(f"{name}: {value} is outside {_INT16_MIN}..{_INT16_MAX}")
        return function(*arguments)

    def call(self, name, *arguments):
        """Runs name like checked() and raises KorvexError naming it when it returns 0."""
        result = self.checked(name, *arguments)
        if result == 0:
            raise KorvexError(name, result)
        return result


_loaded = {}


def resolve(library):
    """A Library from None (the default search), a path, or a Library."""
    if isinstance(library, Library):
        return library
    return Library.load(library)
