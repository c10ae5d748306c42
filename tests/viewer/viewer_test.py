"""korvex-viewer end to end, in a real X window: the image shown is the camera's frame, exposure
and automatic white balance typed and clicked into the controls change it as they should, the
snapshot key and the record button write what they promise and never over an earlier session's
files, a click selects a camera while a drag moves the cross-hair, stalled and paused cameras are
marked, failed saves are reported and a replay too wide for the interface is refused.

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


CROSS_SCRIPT = """
wait-frames 5
click Cross-hair
click Thickness
wait-frames 3
mark before
drag image 1 -150 -120
wait-frames 4
mark dragged
click image 2
wait-frames 4
mark clicked
click image 1
click Cross-hair
key S
click Record
wait-frames 3
click Record
wait-frames 2
key Q
"""

# Camera 2 stops after 30 frames of its own; the script goes on for 100 of camera 1's, which runs
# at the same rate: camera 2 has then had no frame for at least 70 frame periods.
STALL_SCRIPT = """
wait-frames 100
mark stalled
key Space
mark paused
key Q
"""

MARK_COLOUR = np.array([255, 200, 0])


def cross_centre(image):
    """Centre (x, y) of the red cross-hair drawn into a monochrome camera's image, the one red there."""
    r, g, b = (image[:, :, k].astype(int) for k in range(3))
    ys, xs = np.nonzero((r > 150) & (g < 80) & (b < 80))
    return (xs.mean(), ys.mean()) if len(xs) > 20 else None


def marked(image):
    """Whether the image carries the viewer's mark (text in the mark colour on its top band)."""
    band = image[:24].astype(int)
    return int((np.abs(band - MARK_COLOUR).max(axis=2) < 40).sum()) > 15


def check_pointer(viewer, work):
    """With the cross-hair on (the one red in camera 2's monochrome image) a click selects a camera
    and leaves the cross-hair; a drag moves it. A second session in the same folder keeps the
    first's files."""
    first_snapshot = (work / "korvex-1-1.png").read_bytes()
    code, lines, marks = run_viewer(viewer, CROSS_SCRIPT, work, "--show", "1,2", "--size", "1360x880")
    check(code == 0, f"second session exits with 0 (got {code})")
    marks = {mark.label: mark for mark in marks}
    check(list(marks) == ["before", "dragged", "clicked"], f"three screenshots: {list(marks)}")
    if len(marks) != 3:
        return
    before = cross_centre(marks["before"].image(2))
    clicked = cross_centre(marks["clicked"].image(2))
    dragged = cross_centre(marks["dragged"].image(2))
    check(before is not None, f"the cross-hair shows: {before}")
    moved = np.subtract(dragged, before) if dragged is not None and before is not None else (0, 0)
    check(np.hypot(*np.subtract(moved, (-150, -120))) < 8, f"a drag of (-150, -120) moves it by {moved}")
    check((marks["dragged"].active, marks["clicked"].active) == (1, 2), "a click on image 2 selects camera 2")
    check(clicked is not None and dragged is not None and np.hypot(*np.subtract(clicked, dragged)) < 2,
          f"and leaves the cross-hair where it was: {dragged} -> {clicked}")
    check(not marked(marks["dragged"].image(2)) and not marked(marks["dragged"].image(1)),
          "cameras delivering frames carry no mark")
    check((work / "korvex-1-1.png").read_bytes() == first_snapshot and (work / "korvex-1-2.png").exists(),
          "a second session's snapshot is korvex-1-2.png and the first's is kept")
    check((work / "korvex-1-recording-2" / "recording.txt").exists()
          and (work / "korvex-1-recording-1" / "recording.txt").exists(),
          "a second session's recording is korvex-1-recording-2 and the first's is kept")


def check_marks(viewer, work):
    """A camera with no frames for a second, and a paused one, is marked on its image."""
    code, _, marks = run_viewer(viewer, STALL_SCRIPT, work, "--show", "1,2", "--size", "1360x880",
                                cameras="HV1300UC,HV1300UM@unplug=30frames")
    marks = {mark.label: mark for mark in marks}
    check(code == 0 and list(marks) == ["stalled", "paused"], f"two screenshots: {list(marks)} (exit {code})")
    if len(marks) != 2:
        return
    check(marked(marks["stalled"].image(2)) and not marked(marks["stalled"].image(1)),
          "the camera with no frames is marked, the other is not")
    check(marked(marks["paused"].image(1)), "a paused camera is marked")


def check_failed_saves(viewer, work):
    """A snapshot and a recording that cannot be written (into /proc) are reported, the recording
    also when it is written at quit, and the exit code says so."""
    errors = work / "errors.txt"
    code, lines, _ = run_viewer(viewer, "wait-frames 3\nkey S\nclick Record\nwait-frames 3\nkey Q\n", work,
                                output="/proc", errors=errors)
    text = errors.read_text()
    check(code == 4, f"a session whose files cannot be written exits with 4 (got {code})")
    check("snapshot not written to /proc: " in text, "the failed snapshot is reported")
    check("recording not written" in text, f"the recording that failed at quit is reported: {text!r}")


def check_huge_replay(viewer, work):
    """A replay wider than a 16-bit width is refused with a message, not an abort."""
    folder = work / "wide"
    folder.mkdir()
    Image.fromarray(np.zeros((2, 40000), dtype=np.uint8)).save(folder / "frame-000000.png")
    (folder / "recording.txt").write_text("format=1\nmodel=HV1300UM\nwidth=40000\nheight=2\nbayer_layout=0\n"
                                          "exposure=default\nframes=1\nframe=0 0\n")
    errors = work / "wide-errors.txt"
    code, _, _ = run_viewer(viewer, "key Q\n", work, cameras=f"replay:{folder}", errors=errors)
    text = errors.read_text()
    check(code == 3 and "32767" in text, f"a 40000-pixel-wide replay is refused (exit {code}): {text!r}")


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

        check_pointer(viewer, work)
        check_marks(viewer, work)
        check_failed_saves(viewer, work)
        check_huge_replay(viewer, work)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
    print(f"{len(failures)} failed" if failures else "viewer: ok")
    sys.exit(1 if failures else 0)
