import os
import pathlib
import re
import threading

import numpy as np
import pytest

import korvex

REPOSITORY = pathlib.Path(__file__).resolve().parents[3]


def test_the_same_loaded_library_is_one_library_whatever_its_path(library, session, tmp_path):
    folder, name = os.path.split(os.path.realpath(library.path))
    link = tmp_path / "libKorvex-link.so"
    link.symlink_to(os.path.join(folder, name))
    for alias in (os.path.join(folder, ".", name), str(link), os.path.relpath(os.path.join(folder, name))):
        assert korvex.Library.load(alias) is library, alias
        with pytest.raises(RuntimeError, match="already open"):
            korvex.open(1, library=alias)


def test_a_cross_hair_change_waits_for_a_grey_export_in_flight(session, simulator, monkeypatch):
    camera = session.camera(1)
    width, height = camera.frame_size
    # The caller's grey array is the front of a larger one: a 4-byte export would overwrite the rest.
    guarded = np.full(width * height * 4, 0xAA, np.uint8)
    grey = guarded[:width * height].reshape(height, width)

    order = []
    adapter_export = session.library.export_frame

    def switch_cross_hair_on():
        session.set_cross_hair((0, 0, 16, 16))
        order.append("cross-hair on")

    changer = threading.Thread(target=switch_cross_hair_on)

    def export_while_the_cross_hair_changes(*arguments):
        # The destination is sized already; another thread switches the cross-hair on now.
        changer.start()
        changer.join(0.5)  # long enough for the change to finish, were it not held back
        order.append("export")
        return adapter_export(*arguments)

    try:
        with camera.capture():
            simulator.deliver(1)
            monkeypatch.setattr(session.library, "export_frame", export_while_the_cross_hair_changes)
            assert camera.export(grey, colour=False) is grey
            monkeypatch.undo()
            changer.join()
            simulator.deliver(1)
            assert camera.export(colour=False).shape == (height, width, 4)  # the next one has the cross
    finally:
        session.set_cross_hair(None)
    assert order == ["export", "cross-hair on"]
    assert (guarded[width * height:] == 0xAA).all()
    assert simulator.decode_stamp(grey).frame == 0


def test_export_needs_capture_and_gives_rgb_views(session, simulator):
    camera = session.camera(1)
    with pytest.raises(RuntimeError, match=re.escape("camera 1 is not capturing: export() needs capture()")):
        camera.export()
    width, height = camera.frame_size
    for colour, bytes_per_pixel in ((True, 4), (False, 1)):
        with camera.capture():
            simulator.deliver(1)
            rgb = camera.export(colour=colour, rgb=True)
        assert rgb.shape == (height, width, 3) and rgb.base is not None  # a view
        # Not capturing now, so the C export gives the same frame.
        expected = np.zeros((height, width, bytes_per_pixel), np.uint8)
        assert session.library.ZqExportImageData(1, expected.ctypes.data, width, height, int(colour), 1) == 1
        np.testing.assert_array_equal(rgb, expected[:, :, 2::-1] if colour else np.repeat(expected, 3, axis=2))
    session.close()
    with pytest.raises(RuntimeError, match="closed"):
        camera.export()


def test_timeouts_in_a_row_point_at_the_log(session, simulator, monkeypatch):
    monkeypatch.delenv("KORVEX_LOG", raising=False)
    camera = session.camera(1)
    session.timeout = 0
    messages = []
    with camera.capture():
        for deliver in (False, True, False, False, False):
            if deliver:
                simulator.deliver(1)
            try:
                camera.export()
                messages.append("frame")
            except TimeoutError as error:
                messages.append("KORVEX_LOG=debug" in str(error))
    session.timeout = 5
    assert messages == [False, "frame", False, False, True]


def test_log_settings_go_to_the_environment_and_warn_once_too_late(library, simulator, monkeypatch):
    monkeypatch.delenv("KORVEX_LOG", raising=False)
    monkeypatch.delenv("KORVEX_LOG_FILE", raising=False)
    korvex.device_total(library)  # the adapter has been used in this process
    with pytest.warns(UserWarning, match="KORVEX_LOG=error comes after the adapter's first use"):
        korvex.open(1, library=library, log="error", log_file=os.devnull).close()
    assert (os.environ["KORVEX_LOG"], os.environ["KORVEX_LOG_FILE"]) == ("error", os.devnull)


def test_major_version_is_the_adapters():
    project = re.search(r"project\(Korvex VERSION (\S+)", (REPOSITORY / "CMakeLists.txt").read_text())
    assert korvex.__version__.split(".")[0] == project.group(1).split(".")[0]
    changes = (REPOSITORY / "bindings" / "python" / "CHANGELOG.md").read_text()
    assert re.search(r"^## (\S+)", changes, re.M).group(1) == korvex.__version__  # the newest entry
