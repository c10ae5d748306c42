"""Python export against the C export of the same frame, in one run.

Camera 1 captures one frame and stops, so every later export returns that frame at once and the
timing is conversion and copying alone. Each round times a batch of C exports (a loop compiled
from export_loop.c, called once per batch) and, right after, batches of Camera.export() into the
same caller's array (out=) and into a new array per export (the default). A ratio is the median over rounds of
that round's time against its C batch, so that both sides of a ratio saw the same machine load;
beside it the median of the per-round differences, in microseconds per export. Times are the
thread's CPU time (the export runs on the calling thread and waits for nothing), so that time
spent preempted on a busy machine counts on neither side.

    KORVEX_LIBRARY=build/release/bin/libKorvex.so python3 bindings/python/bench/export_overhead.py
"""

import argparse
import contextlib
import ctypes
import os
import pathlib
import shutil
import statistics
import subprocess
import tempfile
import time

import numpy as np

os.environ.setdefault("KORVEX_SIM_CAMERAS", "HV1300UC")
os.environ.setdefault("KORVEX_CONFIG_DIR", tempfile.mkdtemp(prefix="korvex-bench-"))

import korvex  # noqa: E402  (after the environment above)


def compile_c_loop(folder):
    source = pathlib.Path(__file__).with_name("export_loop.c")
    library = pathlib.Path(folder) / "export_loop.so"
    compiler = os.environ.get("CC") or shutil.which("cc") or "gcc"
    subprocess.run([compiler, "-O2", "-shared", "-fPIC", "-o", str(library), str(source)], check=True)
    loop = ctypes.CDLL(str(library))
    loop.TimeExports.restype = ctypes.c_double
    loop.TimeExports.argtypes = (ctypes.c_void_p, ctypes.c_int16, ctypes.c_void_p, ctypes.c_int16, ctypes.c_int16,
                                 ctypes.c_int16, ctypes.c_int16, ctypes.c_int32)
    return loop


@contextlib.contextmanager
def taken_as_capturing(camera):
    """export() refuses a camera that is not capturing. The benchmark wants the same frame over and
    over, which the adapter gives at once from a stopped camera, so the package is told that the
    stopped camera captures while the benchmark measures."""
    camera._capturing = True
    try:
        yield
    finally:
        camera._capturing = False


def time_python(export, count):
    start = time.thread_time()
    for _ in range(count):
        export()
    return time.thread_time() - start


def measure(camera, loop, colour, rounds, count):
    """Per round, a batch of each kind back to back; returns the median seconds per export of
    each kind and the median of the per-round ratios to C (pairs that saw the same machine load)."""
    width, height = camera.frame_size
    # One destination for the C loop and the caller's-array path, so that only the call differs.
    caller_array = np.zeros((height, width, 4) if colour else (height, width), np.uint8)
    c_export = ctypes.cast(camera._library.ZqExportImageData, ctypes.c_void_p)
    kinds = {
        "Python, caller's array": lambda: camera.export(caller_array, colour=colour),
        "Python, new array": lambda: camera.export(colour=colour),
    }
    times = {"C": [], **{name: [] for name in kinds}}
    for _ in range(rounds):
        seconds = loop.TimeExports(c_export, camera.device, caller_array.ctypes.data, width, height,
                                   1 if colour else 0, camera.layout, count)
        if seconds < 0:
            raise korvex.KorvexError("ZqExportImageData", 0)
        times["C"].append(seconds / count)
        for name, export in kinds.items():
            times[name].append(time_python(export, count) / count)
    ratios = {name: statistics.median(t / c for t, c in zip(times[name], times["C"])) for name in times}
    extra = {name: statistics.median(t - c for t, c in zip(times[name], times["C"])) for name in times}
    return {name: statistics.median(values) for name, values in times.items()}, ratios, extra


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rounds", type=int, default=41)
    arguments = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder, korvex.open(1) as session:
        loop = compile_c_loop(folder)
        camera = session.camera(1)
        with camera.capture():
            camera.export()
        width, height = camera.frame_size
        print(f"camera 1 ({camera.model}), {width}x{height}, medians of {arguments.rounds} rounds")
        for colour, count in ((True, 5), (False, 50)):
            with taken_as_capturing(camera):
                medians, ratios, extra = measure(camera, loop, colour, arguments.rounds, count)
            kind = "colour B,G,R,0" if colour else "grey"
            for name, seconds in medians.items():
                print(f"  {kind:15} {name:24} {seconds * 1e6:9.1f} us  {ratios[name]:5.3f}x"
                      f"  {extra[name] * 1e6:+6.1f} us")


if __name__ == "__main__":
    main()
