"""Snaps one frame from a camera and saves it as a PNG file.

    python3 snap.py --device 1 --exposure-ms 20 snap.png

Colour cameras are white-balanced automatically from a first frame. Saving uses Pillow
(Debian python3-pil).
"""

import argparse

import numpy as np
from PIL import Image

import korvex


def save_png(frame, path):
    """Writes an H x W grey frame, or an H x W x 4 B,G,R,0 frame as R,G,B."""
    if frame.ndim == 2:
        Image.fromarray(frame, "L").save(path)
    else:
        Image.fromarray(np.ascontiguousarray(frame[:, :, 2::-1]), "RGB").save(path)


def main():
    parser = argparse.ArgumentParser(description="Snap one frame from a Korvex camera into a PNG file.")
    parser.add_argument("output", help="the PNG file to write")
    parser.add_argument("--device", type=int, default=1, help="camera number, from 1 (default 1)")
    parser.add_argument("--exposure-ms", type=float, default=10.0, help="exposure in milliseconds (default 10)")
    parser.add_argument("--layout", type=int, default=1, help="Bayer layout 1..4 of a colour sensor (default 1)")
    arguments = parser.parse_args()

    with korvex.open(arguments.device) as session:
        camera = session.camera(arguments.device)
        camera.layout = arguments.layout
        camera.exposure = arguments.exposure_ms / 1000
        with camera.capture():
            if camera.colour:
                camera.export()  # a frame to balance from
                camera.auto_white_balance()
            frame = camera.export()
        save_png(frame, arguments.output)
        print(f"camera {camera.device} ({camera.model}): {frame.shape[1]}x{frame.shape[0]} -> {arguments.output}")


if __name__ == "__main__":
    main()
