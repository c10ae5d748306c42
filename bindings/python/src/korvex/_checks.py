"""Checks of the values a caller passes in, made before any call into the adapter.

Every range error reads "<what> must be <low>..<high>, not <value>", and every value that is not
a finite number is refused with ValueError: NaN passes every comparison and would reach the
camera as whatever the conversion makes of it.
"""

from __future__ import annotations

import math
import numbers


def finite(what: str, value: object) -> float:
    """value as a float; ValueError for NaN and infinities, TypeError for a non-number."""
    if not isinstance(value, numbers.Real) or isinstance(value, bool):
        raise TypeError(f"{what} must be a number, not {value!r}")
    number = float(value)
    if not math.isfinite(number):
        raise ValueError(f"{what} must be a finite number, not {value!r}")
    return number


def whole(what: str, value: object) -> int:
    """value as an int; a float is taken when it is finite and has no fraction (20.0 is 20)."""
    if isinstance(value, numbers.Integral):
        return int(value)
    number = finite(what, value)
    if not number.is_integer():
        raise ValueError(f"{what} must be a whole number, not {value!r}")
    return int(number)


def in_range(what: str, value: float, low: float, high: float, given: object = None) -> None:
    """ValueError naming low..high unless low <= value <= high; the message shows given (the
    caller's value, before rounding) when there is one."""
    if not low <= value <= high:
        raise ValueError(f"{what} must be {low}..{high}, not {value if given is None else given!r}")


def whole_in_range(what: str, value: object, low: int, high: int) -> int:
    """whole(value), refused outside low..high."""
    number = whole(what, value)
    in_range(what, number, low, high)
    return number
