"""Makes the README's screenshot of korvex-viewer: both simulated cameras side by side, white
balanced, with the cross-hair on.

    screenshot.py VIEWER OUTPUT.png     (run under xvfb-run; tools/viewer-screenshot.sh does)
"""

import sys
import tempfile

from PIL import Image

from viewer_session import run_viewer

SCRIPT = """
wait-frames 5
click Cross-hair
click Auto white balance
wait-frames 8
mark readme
key Q
"""


def main(viewer, output):
    with tempfile.TemporaryDirectory() as work:
        code, lines, marks = run_viewer(viewer, SCRIPT, work, "--show", "1,2", "--size", "1360x880")
        if code != 0 or len(marks) != 1:
            sys.exit(f"korvex-viewer failed ({code}): {lines}")
        # 256 colours keep the file small; the UI and the chart lose nothing visible.
        Image.fromarray(marks[0].screen).quantize(256).save(output, optimize=True)
        print(f"screenshot written to {output}")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
