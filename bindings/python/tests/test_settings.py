import math
import warnings

import pytest

import korvex

NAN, INF = math.nan, math.inf


def test_values_outside_their_range_are_refused_before_any_call(session, simulator):
    camera = session.camera(1)
    cases = [
        (lambda: setattr(camera, "exposure", NAN), "exposure must be a finite number"),
        (lambda: setattr(camera, "exposure", INF), "exposure must be a finite number"),
        (lambda: setattr(camera, "exposure", -0.001), "exposure must be 0..32767 s"),
        (lambda: camera.set_exposure(10, "min"), "exposure unit must be one of us, ms, s"),
        (lambda: setattr(camera, "gain", NAN), "gain must be a finite number"),
        (lambda: setattr(camera, "gain", 300), r"gain must be 0\.\.255, not 300"),
        (lambda: camera.set_channel_gain(4, 20), r"channel must be 0\.\.3"),
        (lambda: camera.set_channel_gain(0, -1), r"gain must be 0\.\.255"),
        (lambda: setattr(camera, "white_balance", (NAN, 1.0)), "red ratio must be a finite number"),
        (lambda: setattr(camera, "white_balance", (1.0, -INF)), "blue ratio must be a finite number"),
        (lambda: setattr(camera, "white_balance", (1.0, -0.5)), r"blue ratio must be 0\.\.327\.67"),
        (lambda: setattr(camera, "gamma", NAN), "gamma must be a finite number"),
        (lambda: setattr(camera, "gamma", 0), r"gamma must be 0\.1\.\.10\.0, not 0"),
        (lambda: setattr(session, "timeout", NAN), "timeout must be a finite number"),
        (lambda: setattr(session, "timeout", INF), "timeout must be a finite number"),
        (lambda: setattr(session, "timeout", 40), r"timeout must be None or 0\.\.32\.767 seconds"),
        (lambda: camera.set_adc(value=300), r"converter value must be -255\.\.264"),
        (lambda: camera.set_adc(level=NAN), "converter level must be a finite number"),
        (lambda: camera.set_blanking(INF, 0), "horizontal blanking must be a finite number"),
        (lambda: camera.set_snap_mode(4), r"snap mode must be 0\.\.3"),
        (lambda: session.set_cross_hair((0, 0, NAN, 10)), "cross-hair width must be a finite number"),
        (lambda: session.set_cross_hair((0, 0, 10, 10), thickness=1.5), "cross-hair thickness must be a whole number"),
        (lambda: setattr(camera, "window", (0, 0, NAN, 10)), "window width must be a finite number"),
        (lambda: setattr(camera, "resolution_mode", NAN), "resolution mode must be a finite number"),
        (lambda: setattr(camera, "layout", 0), r"Bayer layout must be 1\.\.4, not 0"),
    ]
    calls_before = len(simulator.logged_operations())
    for action, text in cases:
        with pytest.raises(ValueError, match=text):
            action()
    assert len(simulator.logged_operations()) == calls_before
    assert (camera.exposure, camera.gain, camera.white_balance, camera.gamma) == (None, None, None, None)


# Worked by hand from the adapter's conversion at the full-sensor width (mode 0): rows for 10 ms,
# the time those rows stand for, and the longest count.
#   HV13xx, width 1280: (240000 + 180) // 1524 = 157 rows; 157 * 1524 - 180 = 239088 clocks.
#   HV20xx, width 1600: row 1958; (240180 / 1958 + 1 = 123.67) -> 124; 123 * 1958 - 180 = 240654.
#   HV30xx, width 2048: row 2559; (240199 / 2559 = 93.86) -> 94; 94 * 2559 - 199 = 240347.
@pytest.mark.parametrize("model, rows, clocks, limit", [
    ("HV1300UC", 157, 239088, 16383),
    ("HV2000UC", 124, 240654, 16383),
    ("HV3000UC", 94, 240347, 1048575),
    ("SV1300FC", None, 240000, None),  # takes the time as sent; its limits are its own
])
def test_exposure_reads_back_what_the_camera_received(library, simulator, model, rows, clocks, limit):
    simulator.configure(model)
    with korvex.open(1, library=library) as session:
        camera = session.camera(1)
        with warnings.catch_warnings():
            warnings.simplefilter("error")
            camera.exposure = 0.01
        assert camera.exposure == pytest.approx(clocks / 24e6)
        if rows is None:
            state = simulator.state(1)
            assert (state.exposureUnit, state.exposureValue) == (0, 10000)  # 10000 us
            return
        assert simulator.state(1).exposureRows == rows

        with pytest.warns(UserWarning, match="longest time"):
            camera.exposure = 1000
        longest = camera.exposure
        assert simulator.state(1).exposureRows == limit and 0.1 < longest < 1000
        with warnings.catch_warnings():
            warnings.simplefilter("error")
            camera.exposure = longest * 0.99  # within the range: no warning
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")  # a warning where the formula gives less than a row
            camera.exposure = 0
        assert simulator.state(1).exposureRows == 1
        assert camera.exposure < 2 * clocks / 24e6 / rows  # within a row or two of nothing


def test_colour_settings_read_back_as_applied(session, simulator):
    camera = session.camera(1)
    camera.white_balance = (1.234, 0.876)
    assert camera.white_balance == korvex.WhiteBalance(1.23, 0.88)  # hundredths
    camera.gamma = 1.5
    assert camera.gamma == 1.0  # the whole part
    camera.gamma = 0.5
    assert camera.gamma == 1.0  # identity tables
    camera.gain = 20.0
    assert camera.gain == 20 and list(simulator.state(1).gain) == [20] * 4
    with camera.capture():
        simulator.deliver(1)
        camera.export(colour=True)
        camera.auto_white_balance()
    assert camera.white_balance is None  # the adapter does not tell the ratios it chose


def test_resolution_mode_follows_allocation(session, simulator):
    camera = session.camera(1)
    camera.resolution_mode = 1
    assert (camera.resolution_mode, camera.frame_size) == (1, (640, 512))
    session.allocate()
    assert simulator.state(1).resolutionMode == 0
    assert (camera.resolution_mode, camera.frame_size) == (0, (1280, 1024))
