import numpy as np
import pytest

import korvex


@pytest.mark.parametrize("colour", [True, False])
@pytest.mark.parametrize("into_caller_array", [False, True])
def test_export_gives_the_pixels_of_the_c_export_of_the_same_frame(session, simulator, colour, into_caller_array):
    camera = session.camera(1)
    width, height = camera.frame_size
    shape = (height, width, 4) if colour else (height, width)
    caller_array = np.zeros(shape, np.uint8) if into_caller_array else None
    with camera.capture():
        simulator.deliver(1)
        frame = camera.export(caller_array, colour=colour)
        if not into_caller_array:
            simulator.deliver(1)
            assert camera.export(colour=colour) is frame  # the same reusable array again
    assert frame.shape == shape and frame.dtype == np.uint8
    if into_caller_array:
        assert frame is caller_array

    # Not capturing now, so the C export returns the newest buffer at once: the same frame.
    expected = np.zeros(shape, np.uint8)
    assert session.library.ZqExportImageData(1, expected.ctypes.data, width, height, 1 if colour else 0, 1) == 1
    stamp = simulator.decode_stamp(expected)
    assert (stamp.device, stamp.frame) == (1, 0 if into_caller_array else 1)
    np.testing.assert_array_equal(frame, expected)


def test_failures_raise_errors_that_name_the_function(library, session, simulator, capfd):
    camera = session.camera(1)
    cases = [
        (lambda: camera.trigger(), korvex.KorvexError, "ZqTriggerShot"),  # not capturing
        (lambda: setattr(camera, "window", (0, 0, 2000, 2000)), korvex.KorvexError, "ZqSetAOI"),
        (lambda: setattr(camera, "resolution_mode", 9), korvex.KorvexError, "ZqSetResolution"),
        (lambda: setattr(camera, "gain", 65536 + 20), ValueError, "gain must be 0..255"),  # not wrapped to 20
        (lambda: camera.export(layout=5), ValueError, "layout"),
        (lambda: korvex.open(1, library=library), RuntimeError, "already open"),
        (lambda: camera.export(np.zeros((1024, 1280), np.uint16)), ValueError, "dtype"),
        (lambda: camera.export(np.zeros((1024, 1280, 3), np.uint8)), ValueError, "shape"),
        (lambda: camera.export(np.zeros((1024, 1280, 4), np.uint8)[:, ::-1]), ValueError, "contiguous"),
        (lambda: korvex.Library.load("/nonexistent/libKorvex.so"), OSError, "/nonexistent/libKorvex.so"),
    ]
    with camera.capture():  # exports refuse a camera that is not capturing before anything else
        for action, error, text in cases:
            with pytest.raises(error, match=text):
                action()

    session.timeout = 0.05
    with camera.capture(), pytest.raises(TimeoutError, match="ZqExportImageData"):
        camera.export()  # manual frames and none delivered
    session.timeout = 5

    # Misuse: the adapter's message goes to standard error instead of waiting for a click.
    session.close()
    capfd.readouterr()
    with pytest.raises(korvex.KorvexError, match="ZqOpenDevice"):
        korvex.open(11, library=library)
    assert "Too many device!" in capfd.readouterr().err


def test_explicit_path_comes_before_the_environment(library, monkeypatch):
    monkeypatch.setenv("KORVEX_LIBRARY", "/nonexistent/libKorvex.so")
    assert korvex.Library.load(library.path).path == library.path
    with pytest.raises(OSError, match="KORVEX_LIBRARY"):
        korvex.Library.load()


def test_leaving_with_blocks_on_an_error_stops_capture_and_closes(library, simulator):
    with pytest.raises(RuntimeError, match="host failure"):
        with korvex.open(2, library=library) as session:
            session.camera(2).start()
            with session.camera(1).capture():
                assert simulator.open_and_capturing(1) == (True, True)
                assert simulator.open_and_capturing(2) == (True, True)
                raise RuntimeError("host failure")
    assert session.closed
    assert simulator.open_and_capturing(1) == (False, False)
    assert simulator.open_and_capturing(2) == (False, False)
    # Each capture was stopped by the host before the cameras were ended.
    operations = simulator.logged_operations()
    stops = [n for n, op in enumerate(operations) if op == simulator.CLOSE_SNAP]
    assert len(stops) == 2 and max(stops) < operations.index(simulator.END_DEVICE)
