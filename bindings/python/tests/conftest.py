"""Runs the package against the simulated cameras of the adapter named by KORVEX_LIBRARY.

The simulator's control library lies beside the adapter; tests use it to deliver frames one at
a time and to see what the cameras were told.
"""

import ctypes
import os
import pathlib
import tempfile

import pytest

# Read by the simulator when it loads and at every reset, and by the adapter at open and close.
os.environ["KORVEX_SIM_CAMERAS"] = "HV1300UC,HV1300UM"
os.environ.setdefault("KORVEX_CONFIG_DIR", tempfile.mkdtemp(prefix="korvex-python-tests-"))
os.environ.pop("KORVEX_DIALOG", None)  # the package's own choice is under test

if not os.environ.get("KORVEX_LIBRARY"):
    raise pytest.UsageError("set KORVEX_LIBRARY to the adapter built against the simulated cameras")

import korvex  # noqa: E402  (after the environment above)

SIMULATOR_NAME = "hvsim.dll" if os.name == "nt" else "libhvsim.so"


class Stamp(ctypes.Structure):
    _fields_ = [("device", ctypes.c_int32), ("frame", ctypes.c_int32), ("bufferIndex", ctypes.c_int32)]


class Call(ctypes.Structure):
    _fields_ = [("op", ctypes.c_int32), ("handle", ctypes.c_uint32), ("argCount", ctypes.c_int32),
                ("args", ctypes.c_int64 * 6), ("status", ctypes.c_int32)]


class CameraState(ctypes.Structure):
    """What the camera library was told, as the simulator keeps it (the fields tests read)."""
    _fields_ = [("open", ctypes.c_int32), ("capturing", ctypes.c_int32), ("typeCode", ctypes.c_int32),
                ("resolutionMode", ctypes.c_int32), ("window", ctypes.c_int32 * 4), ("snapMode", ctypes.c_int32),
                ("snapSpeed", ctypes.c_int32), ("triggerPolarity", ctypes.c_int32), ("strobePolarity", ctypes.c_int32),
                ("blanking", ctypes.c_int32 * 2), ("gain", ctypes.c_int32 * 4), ("adcLevel", ctypes.c_int32),
                ("adcEnabled", ctypes.c_int32), ("adcValue", ctypes.c_int32 * 4), ("exposureUnit", ctypes.c_int32),
                ("exposureValue", ctypes.c_int32), ("exposureRows", ctypes.c_uint32),
                ("rest", ctypes.c_int32 * 64)]


class Simulator:
    # Operation numbers of the camera library in the simulator's call log.
    END_DEVICE = 1
    CLOSE_SNAP = 13

    def __init__(self, library):
        path = pathlib.Path(library.path).resolve().with_name(SIMULATOR_NAME)
        self._lib = ctypes.CDLL(str(path))
        self._lib.hvsim_decode_stamp.argtypes = (ctypes.c_void_p, ctypes.c_int32, ctypes.c_int32, ctypes.c_int32,
                                                 ctypes.POINTER(Stamp))

    def configure(self, cameras):
        assert self._lib.hvsim_configure(cameras.encode()) >= 1

    def reset(self):
        self._lib.hvsim_reset()
        self._lib.hvsim_set_manual_frames(1)

    def deliver(self, device, count=1):
        assert self._lib.hvsim_deliver_frames(device, count) == count

    def decode_stamp(self, image):
        stamp = Stamp()
        bytes_per_pixel = 4 if image.ndim == 3 else 1
        height, width = image.shape[:2]
        assert self._lib.hvsim_decode_stamp(image.ctypes.data, width, height, bytes_per_pixel, ctypes.byref(stamp)) == 0
        return stamp

    def logged_operations(self):
        call = Call()
        operations = []
        for index in range(self._lib.hvsim_log_count()):
            assert self._lib.hvsim_log_get(index, ctypes.byref(call)) == 0
            operations.append(call.op)
        return operations

    def state(self, device):
        state = CameraState()
        assert self._lib.hvsim_get_state(device, ctypes.byref(state)) == 0
        return state

    def open_and_capturing(self, device):
        state = self.state(device)
        return bool(state.open), bool(state.capturing)


@pytest.fixture(scope="session")
def library():
    return korvex.Library.load()


@pytest.fixture
def simulator(library):
    simulator = Simulator(library)
    simulator.reset()
    yield simulator
    simulator.reset()


@pytest.fixture
def session(library, simulator):
    with korvex.open(2, library=library) as session:
        yield session
