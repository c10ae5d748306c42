"""Camera settings: exposure, gain, white balance, gamma, converter, trigger and identification.

The adapter cannot read settings back, so each property returns what was applied through this
object: the value as the adapter received it, after the package's rounding and, for exposure,
after the clamping the adapter does (None before the first set).
"""

from __future__ import annotations

import ctypes
import warnings
from typing import Dict, NamedTuple, Optional, Tuple

from . import _exposure
from ._checks import finite, in_range, whole, whole_in_range
from ._library import Library
from ._open_state import OpenState, needs_open
from .errors import KorvexError


class WhiteBalance(NamedTuple):
    """White-balance ratios of red and blue to green (green stays 1.0)."""

    red: float
    blue: float


# Exposure units as the adapter numbers them, with their length in seconds.
_UNITS: Dict[str, Tuple[int, float]] = {"us": (0, 1e-6), "ms": (1, 1e-3), "s": (2, 1.0)}
_INT16_MAX = 32767
_RATIO_MAX = _INT16_MAX / 100  # ratios go in as hundredths in 16 bits


def _exposure_in_units(seconds: object) -> Tuple[int, str]:
    """The finest unit in which seconds fits the adapter's 16-bit value, rounded to it."""
    seconds = finite("exposure", seconds)
    if seconds < 0:
        raise ValueError(f"exposure must be 0..{_INT16_MAX} s, not {seconds!r}")
    for unit, (_, length) in _UNITS.items():
        value = round(seconds / length)
        if value <= _INT16_MAX:
            return value, unit
    raise ValueError(f"exposure must be 0..{_INT16_MAX} s, not {seconds!r}")


def _ratio(what: str, ratio: object) -> int:
    hundredths = round(finite(what, ratio) * 100)
    in_range(what, hundredths / 100, 0, _RATIO_MAX, given=ratio)
    return hundredths


def _text(raw: bytes) -> str:
    return raw.split(b"\0", 1)[0].decode("latin-1")


class CameraControls:
    """Settings of one camera; mixed into Camera, which provides _library, _state, _owner, device,
    frame_size and resolution_mode. Every call that reaches the adapter needs the session open."""

    _library: Library
    _state: OpenState
    _owner: str
    device: int
    frame_size: Tuple[int, int]  # the properties of Camera
    resolution_mode: Optional[int]

    def __init__(self) -> None:
        self._exposure: Optional[float] = None
        self._gain: Optional[int] = None
        self._white_balance: Optional[WhiteBalance] = None
        self._gamma: Optional[float] = None
        self._model: Optional[str] = None

    # ---- exposure and gain ----------------------------------------------------------------

    @property
    def exposure(self) -> Optional[float]:
        """Exposure time in seconds as the camera received it; None before the first set.

        Setting sends the time in the finest unit (us, ms, s) that holds it. HV cameras take it
        as a count of row periods, which the adapter clamps to the camera's shortest and longest
        time: reading gives the time those rows stand for, at the row width and resolution mode
        of the moment it was set (a later window or mode change alters the rows' length, so set
        the exposure again after one). A request outside the camera's range warns (UserWarning)
        and gives its longest or shortest time. SV models and cameras without a model name take
        the time as sent, within limits of their own that the adapter cannot read: reading gives
        the time sent.
        """
        return self._exposure

    @exposure.setter
    @needs_open
    def exposure(self, seconds: float) -> None:
        self._send_exposure(*_exposure_in_units(seconds))

    @needs_open
    def set_exposure(self, value: int, unit: str = "ms") -> None:
        """Exposure as the adapter takes it: a whole value 0..32767 in "us", "ms" or "s"."""
        self._send_exposure(value, unit)

    def _send_exposure(self, value: int, unit: str) -> None:
        # Called by the two public ways in, each one call below the open check, so that a clamp's
        # warning names the caller's line from either.
        if unit not in _UNITS:
            raise ValueError(f"exposure unit must be one of {', '.join(_UNITS)}, not {unit!r}")
        value = whole_in_range("exposure", value, 0, _INT16_MAX)
        code, length = _UNITS[unit]
        self._library.call("ZqSetShutter", self.device, code, value)
        applied = _exposure.applied(self.model, value, length, self.frame_size[0], self.resolution_mode)
        if applied is None:
            self._exposure = value * length
            return
        self._exposure = applied.seconds
        if applied.clamped:
            limit = "longest" if applied.clamped > 0 else "shortest"
            warnings.warn(f"camera {self.device}: exposure {value} {unit} is outside what the {self.model} takes; "
                          f"it got its {limit} time, {applied.seconds:.6g} s", stacklevel=4)

    @property
    def gain(self) -> Optional[int]:
        """Gain register 0..255 of all four channels; None before the first set."""
        return self._gain

    @gain.setter
    @needs_open
    def gain(self, value: int) -> None:
        value = whole_in_range("gain", value, 0, 255)
        self._library.call("ZqSetGain", self.device, 0, value)
        self._gain = value

    @needs_open
    def set_channel_gain(self, channel: int, value: int) -> None:
        """Gain register 0..255 of one channel 0..3 (colour sensors: R, G beside R, G beside B, B)."""
        channel = whole_in_range("channel", channel, 0, 3)
        value = whole_in_range("gain", value, 0, 255)
        self._library.call("ZqSetChannelGain", self.device, channel, value)

    # ---- colour ---------------------------------------------------------------------------

    @property
    def white_balance(self) -> Optional[WhiteBalance]:
        """WhiteBalance(red, blue) ratios relative to green, as applied: in hundredths, 0..327.67.

        None before the first set and after auto_white_balance(): the adapter has no function
        that returns the ratios it estimated. It stores them in its settings file (Korvex.ini)
        when the session closes.
        """
        return self._white_balance

    @white_balance.setter
    @needs_open
    def white_balance(self, ratios: Tuple[float, float]) -> None:
        red, blue = ratios
        red_hundredths = _ratio("red ratio", red)
        blue_hundredths = _ratio("blue ratio", blue)
        self._library.call("ZqSetWhiteBalanceRatio", self.device, blue_hundredths, red_hundredths)
        self._white_balance = WhiteBalance(red_hundredths / 100, blue_hundredths / 100)

    @needs_open
    def auto_white_balance(self) -> None:
        """Estimates the ratios from the newest frame, converted as the latest export was.

        Export at least one colour frame first; before that the ratios stay as they are and
        KorvexError is raised. The ratios chosen cannot be read back (see white_balance).
        """
        self._library.call("ZqAutoWhiteBalance", self.device)
        self._white_balance = None

    @property
    def gamma(self) -> Optional[float]:
        """Gamma of the colour tables as applied; None before the first set or after a reset.

        Set 0.1..10.0; it is sent in tenths, and the adapter builds the tables from its whole
        part: 1.5 reads back as 1.0, and below 1.0 the tables stay the identity (1.0).
        """
        return self._gamma

    @gamma.setter
    @needs_open
    def gamma(self, gamma: float) -> None:
        tenths = round(finite("gamma", gamma) * 10)
        in_range("gamma", tenths / 10, 0.1, 10.0, given=gamma)
        self._library.call("ZqSetGamma", self.device, tenths)
        self._gamma = float(max(tenths // 10, 1))

    @needs_open
    def reset_colour_tables(self) -> None:
        """Makes the colour tables the identity (no white balance, no gamma); the ratios stay."""
        self._library.call("ZqResetLutTable", self.device)
        self._gamma = None

    # ---- converter, timing and trigger ------------------------------------------------------

    @needs_open
    def set_adc(self, level: Optional[int] = None, enabled: Optional[bool] = None,
                value: Optional[int] = None) -> None:
        """Converter level (black offset steps), enable, and value -255..264 for all channels;
        None leaves a setting as it is."""
        if level is not None:
            self._library.call("ZqSetADCLevel", self.device, whole("converter level", level))
        if enabled is not None:
            self._library.call("ZqEnableADC", self.device, 1 if enabled else 0)
        if value is not None:
            self._library.call("ZqSetADCValue", self.device, whole_in_range("converter value", value, -255, 264))

    @needs_open
    def set_blanking(self, horizontal: int, vertical: int) -> None:
        """Blanking: horizontal in pixel clocks added to every row, vertical in rows added to every
        frame (0..4095 each on the simulated cameras). Longer blanking lengthens the readout and
        so the frame interval."""
        self._library.call("ZqSetBlanking", self.device, whole("horizontal blanking", horizontal),
                           whole("vertical blanking", vertical))

    @needs_open
    def set_snap_mode(self, mode: int) -> None:
        """0 continuous; 1..3 wait for a trigger per frame (see trigger())."""
        self._library.call("ZqSetSnapMode", self.device, whole_in_range("snap mode", mode, 0, 3))

    @needs_open
    def trigger(self) -> None:
        """Releases one frame in a triggered snap mode."""
        self._library.call("ZqTriggerShot", self.device)

    # ---- identification ---------------------------------------------------------------------

    @property
    def model(self) -> str:
        """The model name, read once when the session opened ("" for a type without a name)."""
        if self._model is None:
            self._model = self._identification("ZqGetDeviceType", 10)
        return self._model

    @property
    @needs_open
    def serial(self) -> str:
        """The camera's serial number (its first 30 characters), read from the camera each time."""
        return self._identification("ZqGetDeviceSeriesNum", 30)

    @property
    @needs_open
    def hardware_version(self) -> str:
        """The camera's hardware version as decimal text (at most 10 characters), read each time."""
        return self._identification("ZqGetHardwareVersion", 10)

    @property
    @needs_open
    def status(self) -> int:
        """1 good, -1 a fault reported by the camera."""
        return self._library.call("ZqGetLastStatus", self.device)

    def _identification(self, name: str, size: int) -> str:
        buffer = ctypes.create_string_buffer(size)
        if not getattr(self._library, name)(self.device, ctypes.addressof(buffer)):
            raise KorvexError(name, 0)
        return _text(buffer.raw)
