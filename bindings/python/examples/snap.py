"""Opens the cameras, captures from one, exports frames in a loop, balances the white, and saves
the last frame as a PNG file; the with blocks stop capture and close the cameras, also on errors.

    python3 snap.py snap.png [--device 1] [--frames 10] [--exposure-ms 10] [--layout 1]

layout is the sensor's Bayer layout, 1..4 (1 = B G / G R, the HV1300UC's). Saving uses Pillow
(Debian python3-pil).
"""

import argparse

from PIL import Image

import korvex


def describe(frame):
    """The mean colour of an R,G,B frame and its cast, or the mean of a grey one."""
    if frame.ndim == 2:
        return f"mean grey {frame.mean():.1f}"
    red, green, blue = frame.mean(axis=(0, 1))
    return (f"mean B {blue:.1f} G {green:.1f} R {red:.1f}, "
            f"red/green {red / green:.2f}, blue/green {blue / green:.2f}")


def save_png(frame, path):
    """Writes a grey (H x W) or R,G,B (H x W x 3) frame; Pillow copies a view as it needs."""
    Image.fromarray(frame).save(path)


def main():
    parser = argparse.ArgumentParser(description="Snap frames from a Korvex camera; save the last as PNG.")
    parser.add_argument("output", help="the PNG file to write")
    parser.add_argument("--device", type=int, default=1, help="camera number, from 1 (default 1)")
    parser.add_argument("--frames", type=int, default=10, help="frames to export before white balance")
    parser.add_argument("--exposure-ms", type=float, default=10.0, help="exposure in milliseconds (default 10)")
    parser.add_argument("--layout", type=int, default=1, help="Bayer layout 1..4 of a colour sensor (default 1)")
    arguments = parser.parse_args()

    # 1-2. Open every camera the camera library sees, and allocate their buffers.
    with korvex.open() as session:
        camera = session.camera(arguments.device)
        camera.layout = arguments.layout
        camera.exposure = arguments.exposure_ms / 1000
        width, height = camera.frame_size
        print(f"{len(session.cameras)} camera(s); camera {camera.device} is a {camera.model}, {width}x{height}")

        # 3. Capture; an export waits at most one second for a new frame.
        session.timeout = 1.0
        with camera.capture():
            # 4. The export loop: each call waits for the next frame and returns it as a new
            #    array; rgb=True gives colour as an R,G,B view of it.
            for n in range(arguments.frames):
                print(f"frame {n + 1}: {describe(camera.export(rgb=camera.colour))}")
            # 5. White balance from the newest frame at the latest export's size and layout; the
            #    ratios are kept in the settings file when the cameras close.
            if camera.colour:
                camera.auto_white_balance()
            frame = camera.export(rgb=camera.colour)
            print(f"{'after white balance' if camera.colour else 'last frame'}: {describe(frame)}")
        # 6. Capture stopped at the end of the with block; the cameras close at the next.
        save_png(frame, arguments.output)
        print(f"wrote {arguments.output}")


if __name__ == "__main__":
    main()
