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


class Simulator:
    # Operation numbers of the camera library in the simulator's call log.
    END_DEVICE = 1
    CLOSE_SNAP = 13

    def __init__(self, library):
        path = pathlib.Path(library.path).resolve().with_name(SIMULATOR_NAME)
        self._lib = ctypes.CDLL(str(path))
        self._lib.hvsim_decode_stamp.argtypes = (ctypes.c_void_p, ctypes.c_int32, ctypes.c_int32, ctypes.c_int32,
                                                 ctypes.POINTER(Stamp))

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

    def open_and_capturing(self, device):
        # The state record starts with the two flags "open" and "capturing".
        state = (ctypes.c_int32 * 256)()
        assert self._lib.hvsim_get_state(device, state) == 0
        return bool(state[0]), bool(state[1])


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
