"""Camera settings: exposure, gain, white balance, gamma, converter, trigger and identification.

The adapter cannot read most settings back, so each property returns the value last set through
this object (None before the first).
"""

import collections
import ctypes

from .errors import KorvexError

WhiteBalance = collections.namedtuple("WhiteBalance", "red blue")

# Exposure units as the adapter numbers them, with their length in seconds.
_UNITS = {"us": (0, 1e-6), "ms": (1, 1e-3), "s": (2, 1.0)}
_INT16_MAX = 32767


def _exposure_in_units(seconds):
    """The finest unit in which seconds fits the adapter's 16-bit value, rounded to it."""
    if seconds < 0:
        raise ValueError("exposure must not be negative")
    for unit, (_, length) in _UNITS.items():
        value = round(seconds / length)
        if value <= _INT16_MAX:
            return value, unit
    raise ValueError(f"exposure {seconds} s is longer than {_INT16_MAX} s")


def _text(raw):
    return raw.split(b"\0", 1)[0].decode("latin-1")


class CameraControls:
    """Settings of one camera; mixed into Camera, which provides _library and device."""

    def __init__(self):
        self._exposure = None
        self._gain = None
        self._white_balance = None
        self._gamma = None
        self._model = None

    # ---- exposure and gain ----------------------------------------------------------------

    @property
    def exposure(self):
        """Exposure time in seconds, sent in the finest unit (us, ms, s) that holds it."""
        return self._exposure

    @exposure.setter
    def exposure(self, seconds):
        self.set_exposure(*_exposure_in_units(seconds))

    def set_exposure(self, value, unit="ms"):
        """Exposure as the adapter takes it: a whole value in "us", "ms" or "s"."""
        code, length = _UNITS[unit]
        self._library.call("ZqSetShutter", self.device, code, value)
        self._exposure = value * length

    @property
    def gain(self):
        """Gain of all four channels (0..255 on the maker's cameras)."""
        return self._gain

    @gain.setter
    def gain(self, value):
        self._library.call("ZqSetGain", self.device, 0, value)
        self._gain = value

    def set_channel_gain(self, channel, value):
        """Gain of one channel 0..3 (colour sensors: R, G beside R, G beside B, B)."""
        self._library.call("ZqSetChannelGain", self.device, channel, value)

    # ---- colour ---------------------------------------------------------------------------

    @property
    def white_balance(self):
        """WhiteBalance(red, blue) ratios relative to green, sent in hundredths."""
        return self._white_balance

    @white_balance.setter
    def white_balance(self, ratios):
        red, blue = ratios
        self._library.call("ZqSetWhiteBalanceRatio", self.device, round(blue * 100), round(red * 100))
        self._white_balance = WhiteBalance(red, blue)

    def auto_white_balance(self):
        """Estimates the ratios from the newest frame, converted as the latest export was.

        Export at least one colour frame first; before that the ratios stay as they are.
        """
        self._library.call("ZqAutoWhiteBalance", self.device)
        self._white_balance = None

    @property
    def gamma(self):
        """Gamma of the colour tables, sent in tenths (0.1..10.0). The adapter applies the whole
        part of it (1.5 acts as 1.0), and below 1.0 the tables stay the identity."""
        return self._gamma

    @gamma.setter
    def gamma(self, gamma):
        self._library.call("ZqSetGamma", self.device, round(gamma * 10))
        self._gamma = gamma

    def reset_colour_tables(self):
        """Makes the colour tables the identity (no white balance, no gamma); the ratios stay."""
        self._library.call("ZqResetLutTable", self.device)
        self._gamma = None

    # ---- converter, timing and trigger ------------------------------------------------------

    def set_adc(self, level=None, enabled=None, value=None):
        """Converter level, enable and value (-255..264); None leaves a setting as it is."""
        if level is not None:
            self._library.call("ZqSetADCLevel", self.device, level)
        if enabled is not None:
            self._library.call("ZqEnableADC", self.device, 1 if enabled else 0)
        if value is not None:
            self._library.call("ZqSetADCValue", self.device, value)

    def set_blanking(self, horizontal, vertical):
        self._library.call("ZqSetBlanking", self.device, horizontal, vertical)

    def set_snap_mode(self, mode):
        """0 continuous; other modes wait for a trigger per frame (see trigger())."""
        self._library.call("ZqSetSnapMode", self.device, mode)

    def trigger(self):
        """Releases one frame in a triggered snap mode."""
        self._library.call("ZqTriggerShot", self.device)

    # ---- identification ---------------------------------------------------------------------

    @property
    def model(self):
        """The model name, read once when the session opened ("" for a type without a name)."""
        if self._model is None:
            self._model = self._identification("ZqGetDeviceType", 10)
        return self._model

    @property
    def serial(self):
        return self._identification("ZqGetDeviceSeriesNum", 30)

    @property
    def hardware_version(self):
        return self._identification("ZqGetHardwareVersion", 10)

    @property
    def status(self):
        """1 good, -1 a fault reported by the camera."""
        return self._library.call("ZqGetLastStatus", self.device)

    def _identification(self, name, size):
        buffer = ctypes.create_string_buffer(size)
        if not getattr(self._library, name)(self.device, ctypes.addressof(buffer)):
            raise KorvexError(name, 0)
        return _text(buffer.raw)
