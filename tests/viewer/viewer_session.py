"""Runs korvex-viewer with a script on the X display of $DISPLAY and takes a screenshot of its
window (xwd) at each "mark" line of the script."""

import os
import subprocess
from pathlib import Path

from xwd import read_xwd


class Mark:
    """One screenshot: the window's pixels, where each camera's image lies in them and the camera
    the controls act on."""

    def __init__(self, line, screen):
        words = line.split()
        self.label = words[1]
        self.active = int(words[words.index("active") + 1]) if "active" in words else None
        self.screen = screen  # H x W x 3, R, G, B
        self.images = {}  # device -> (x, y, width, height, frame width, frame height)
        for k in range(len(words)):
            if words[k] == "image":
                self.images[int(words[k + 1])] = tuple(int(float(v)) for v in words[k + 2 : k + 8])

    def image(self, device):
        """The pixels of the camera's image area."""
        x, y, width, height = self.images[device][:4]
        return self.screen[y : y + height, x : x + width]


def viewer_environment(work):
    env = dict(os.environ)
    env.update(
        {
            "SDL_RENDER_DRIVER": "software",
            "SDL_VIDEODRIVER": "x11",
            "KORVEX_CONFIG_DIR": str(work),  # a fresh settings file: every ratio starts at 1.0
            "KORVEX_SIM_CAMERAS": "HV1300UC,HV1300UM",
            "KORVEX_DIALOG": "false",
        }
    )
    return env


def run_viewer(viewer, script, work, *args, output=None, cameras=None, errors=None):
    """Runs the viewer with the script text, its files going to output (default: work); returns
    (exit code, output lines, marks). Standard error goes to the file errors when given."""
    work = Path(work)
    (work / "script.txt").write_text(script)
    command = [viewer, "--test-script", str(work / "script.txt"), "--output", str(output or work),
               "--exit-after", "120", *args]
    env = viewer_environment(work)
    if cameras:
        env["KORVEX_SIM_CAMERAS"] = cameras
    process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, env=env,
                               stderr=open(errors, "w") if errors else None)
    lines, marks = [], []
    for line in process.stdout:
        lines.append(line.rstrip("\n"))
        if not line.startswith("mark "):
            continue
        dump = work / "window.xwd"
        subprocess.run(["xwd", "-silent", "-name", "korvex-viewer", "-out", str(dump)], check=True)
        marks.append(Mark(line, read_xwd(dump)))
        process.stdin.write("\n")
        process.stdin.flush()
    return process.wait(), lines, marks
