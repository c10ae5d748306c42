"""korvex-viewer end to end, in a real X window: the image shown is the camera's frame, exposure
and automatic white balance typed and clicked into the controls change it as they should, and the
snapshot key and the record button write what they promise.

    viewer_test.py VIEWER KORVEX_TOOL     (run under xvfb-run)
"""

import os
import subprocess
import sys
import tempfile
from pathlib import Path

import numpy as np
from PIL import Image

from viewer_session import run_viewer, viewer_environment

SCRIPT = """
wait-frames 5
mark start
click Auto white balance
wait-frames 5
mark balanced
click Exposure
type 3
key Return
wait-frames 5
mark dark
key S
wait-frames 2
click Record
wait-frames 3
click Record
wait-frames 2
key Q
"""

failures = []


def check(condition, message):
    print(("ok    " if condition else "FAIL  ") + message)
    if not condition:
        failures.append(message)


def blocks(image, width=64):
    """Area means over a coarse grid: the screen's nearest-pixel scaling and the frame's fine
    patterns then compare by the light they carry."""
    height = round(width * image.shape[0] / image.shape[1])
    return np.asarray(Image.fromarray(image).resize((width, height), Image.BOX), dtype=float)


def ramp_balance(image):
    """Red/green and blue/green of the grey ramp's middle (chart rows 28..37 %, columns 30..70 %)."""
    h, w = image.shape[:2]
    patch = image[int(h * 0.28) : int(h * 0.37), int(w * 0.30) : int(w * 0.70)].reshape(-1, 3).astype(float)
    r, g, b = patch.mean(axis=0)
    return r / g, b / g


def main(viewer, tool):
    with tempfile.TemporaryDirectory() as folder:
        work = Path(folder)
        env = viewer_environment(work)
        subprocess.run([tool, "snap", "1", "-o", str(work / "reference.png")], env=env, check=True,
                       stdout=subprocess.DEVNULL)
        reference = np.asarray(Image.open(work / "reference.png").convert("RGB"))
        code, lines, marks = run_viewer(viewer, SCRIPT, work, "--show", "1", "--size", "1280x860")
        check(code == 0, f"the viewer exits with 0 (got {code})")
        marks = {mark.label: mark for mark in marks}
        check(list(marks) == ["start", "balanced", "dark"], f"three screenshots: {list(marks)}")
        if len(marks) != 3:
            return

        start = marks["start"].image(1)
        x, y, width, height, frame_width, frame_height = marks["start"].images[1]
        check((frame_width, frame_height) == reference.shape[1::-1], f"frame {frame_width}x{frame_height} shown")
        check(abs(width / height - frame_width / frame_height) < 0.01, f"scaled keeping its shape: {width}x{height}")
        difference = np.abs(blocks(start) - blocks(reference))
        # The moving disc and the frame number differ between two frames; the rest is the same scene.
        check(np.percentile(difference, 95) < 12 and difference.mean() < 4,
              f"image area matches an export of the camera (block differences: mean {difference.mean():.1f}, "
              f"95th percentile {np.percentile(difference, 95):.1f})")
        mirrored = np.abs(blocks(start[:, ::-1]) - blocks(reference)).mean()
        check(mirrored > 3 * max(difference.mean(), 1), f"and not just any image ({mirrored:.1f} when mirrored)")

        red, blue = ramp_balance(start)
        check(red > 1.08 and blue < 0.9, f"before white balance the greys are warm: R/G {red:.2f}, B/G {blue:.2f}")
        red, blue = ramp_balance(marks["balanced"].image(1))
        check(abs(red - 1) < 0.05 and abs(blue - 1) < 0.05,
              f"automatic white balance makes the greys grey: R/G {red:.2f}, B/G {blue:.2f}")

        bright, dark = marks["balanced"].image(1).mean(), marks["dark"].image(1).mean()
        check(dark < 0.5 * bright, f"exposure 3 ms darkens the image: mean {bright:.0f} -> {dark:.0f}")

        snapshot = work / "korvex-1-1.png"
        check(snapshot.exists() and Image.open(snapshot).size == (1280, 1024), "the s key writes a 1280x1024 snapshot")
        recording = work / "korvex-1-recording-1"
        check(any(line.endswith("frames recorded in " + str(recording)) for line in lines),
              "the record button records frames")
        replay = subprocess.run([tool, "list"], env={**env, "KORVEX_SIM_CAMERAS": f"replay:{recording}"},
                                capture_output=True, text=True)
        check(replay.returncode == 0 and "HV1300UC" in replay.stdout, "the recording replays as a camera")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
    print(f"{len(failures)} failed" if failures else "viewer: ok")
    sys.exit(1 if failures else 0)
