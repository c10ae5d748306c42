"""Python export against the C export of the same frame, in one run.

Camera 1 captures one frame and stops, so every later export returns that frame at once and the
timing is conversion and copying alone. Batches of C exports (a loop compiled from export_loop.c
and called once per batch) alternate with batches of Camera.export() into its reusable array and
into a caller's array; the ratios are of the medians per export.

    KORVEX_LIBRARY=build/release/bin/libKorvex.so python3 bindings/python/bench/export_overhead.py
"""

import argparse
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


def time_python(export, count):
    start = time.perf_counter()
    for _ in range(count):
        export()
    return time.perf_counter() - start


def measure(camera, loop, colour, rounds, count):
    width, height = camera.frame_size
    # One destination for the C loop and the caller's-array path, so that only the call differs.
    caller_array = np.zeros((height, width, 4) if colour else (height, width), np.uint8)
    c_export = ctypes.cast(camera._library.ZqExportImageData, ctypes.c_void_p)
    times = {"C": [], "Python": [], "Python, caller's array": []}
    for _ in range(rounds):
        seconds = loop.TimeExports(c_export, camera.device, caller_array.ctypes.data, width, height,
                                   1 if colour else 0, camera.layout, count)
        if seconds < 0:
            raise korvex.KorvexError("ZqExportImageData", 0)
        times["C"].append(seconds / count)
        times["Python"].append(time_python(lambda: camera.export(colour=colour), count) / count)
        times["Python, caller's array"].append(
            time_python(lambda: camera.export(caller_array, colour=colour), count) / count)
    return {name: statistics.median(values) for name, values in times.items()}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rounds", type=int, default=15)
    arguments = parser.parse_args()
    with tempfile.TemporaryDirectory() as folder, korvex.open(1) as session:
        loop = compile_c_loop(folder)
        camera = session.camera(1)
        with camera.capture():
            camera.export()
        width, height = camera.frame_size
        print(f"camera 1 ({camera.model}), {width}x{height}, medians of {arguments.rounds} rounds")
        for colour, count in ((True, 20), (False, 200)):
            medians = measure(camera, loop, colour, arguments.rounds, count)
            base = medians["C"]
            kind = "colour B,G,R,0" if colour else "grey"
            for name, seconds in medians.items():
                print(f"  {kind:15} {name:24} {seconds * 1e6:9.1f} us  {seconds / base:5.3f}x")


if __name__ == "__main__":
    main()
