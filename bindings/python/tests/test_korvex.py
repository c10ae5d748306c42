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
        frames = []
        for _ in range(1 if into_caller_array else 3):
            simulator.deliver(1)
            frames.append(camera.export(caller_array, colour=colour))
    frame = frames[-1]
    assert frame.shape == shape and frame.dtype == np.uint8
    if into_caller_array:
        assert frame is caller_array
    else:  # a new array per export: each kept frame still holds its own picture
        assert [simulator.decode_stamp(kept).frame for kept in frames] == [0, 1, 2]

    # Not capturing now, so the C export returns the newest buffer at once: the same frame.
    expected = np.zeros(shape, np.uint8)
    assert session.library.ZqExportImageData(1, expected.ctypes.data, width, height, 1 if colour else 0, 1) == 1
    stamp = simulator.decode_stamp(expected)
    assert (stamp.device, stamp.frame) == (1, len(frames) - 1)
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
        (lambda: camera.grab(), RuntimeError, r"camera 1 is capturing: .*stop capture first"),
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


def test_calls_on_a_closed_session_are_refused_without_reaching_the_adapter(session, simulator, capfd):
    camera = session.camera(1)
    session.close()
    cases = [
        (lambda: camera.start(), "start"),
        (lambda: camera.capture().__enter__(), "start"),
        (lambda: camera.export(), "export"),
        (lambda: camera.grab(), "grab"),
        (lambda: setattr(camera, "exposure", 0.01), "exposure"),
        (lambda: camera.set_exposure(10, "ms"), "set_exposure"),
        (lambda: setattr(camera, "gain", 20), "gain"),
        (lambda: camera.set_channel_gain(0, 20), "set_channel_gain"),
        (lambda: setattr(camera, "white_balance", (1.0, 1.0)), "white_balance"),
        (lambda: camera.auto_white_balance(), "auto_white_balance"),
        (lambda: setattr(camera, "gamma", 2.0), "gamma"),
        (lambda: camera.reset_colour_tables(), "reset_colour_tables"),
        (lambda: camera.set_adc(level=1), "set_adc"),
        (lambda: camera.set_blanking(0, 0), "set_blanking"),
        (lambda: camera.set_snap_mode(0), "set_snap_mode"),
        (lambda: camera.trigger(), "trigger"),
        (lambda: camera.resolution, "resolution"),
        (lambda: setattr(camera, "resolution_mode", 1), "resolution_mode"),
        (lambda: setattr(camera, "window", (0, 0, 64, 64)), "window"),
        (lambda: camera.serial, "serial"),
        (lambda: camera.hardware_version, "hardware_version"),
        (lambda: camera.status, "status"),
        (lambda: camera.stop(), "stop"),
        (lambda: setattr(session, "timeout", 1), "timeout"),
        (lambda: session.set_cross_hair((0, 0, 16, 16)), "set_cross_hair"),
        (lambda: session.allocate(), "allocate"),
    ]
    capfd.readouterr()
    calls_before = len(simulator.logged_operations())
    for action, operation in cases:
        with pytest.raises(RuntimeError, match=rf": {operation} needs an open session; this one is closed") as raised:
            action()
        assert not isinstance(raised.value, korvex.KorvexError), operation
    assert len(simulator.logged_operations()) == calls_before
    assert capfd.readouterr().err == ""  # no misuse message from the adapter
    assert camera.model == "HV1300UC"  # read while open, still known


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
