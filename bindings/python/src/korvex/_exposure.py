"""What the adapter makes of an exposure time, per camera family, so that the time applied can
be read back.

The HV cameras take their exposure as a count of row periods of a 24 MHz clock. The adapter
turns the time into rows by a formula of the camera's family (row length from the row width, and
for the HV30xx/31xx family from the resolution mode), clamps the count to 1..the family's limit
and sends it. The SV cameras take the time as given, within limits of their own that nobody can
read. The family follows from the model name: HV13xx, HV20xx, HV30xx and HV31xx, SV.
"""

from __future__ import annotations

import math
from typing import NamedTuple, Optional

_CLOCKS_PER_SECOND = 24_000_000
_SHORT_LIMIT = 16383  # 2**14 - 1 rows
_LONG_LIMIT = 1048575  # 2**20 - 1 rows


class Applied(NamedTuple):
    """An exposure as the camera received it: the time in seconds that the rows sent stand for,
    and how the request was clamped (-1 raised to the shortest, 0 not clamped, 1 cut to the
    longest)."""

    seconds: float
    clamped: int


def _half_down(q: float) -> int:
    # A fraction above one half gains 1; exactly one half does not, and a negative q never does.
    whole = math.trunc(q)
    return whole + 1 if q - whole > 0.5 else whole


class _RowFamily:
    """One family of row-counting cameras: row length, rounding, limit and the inverse."""

    def __init__(self, limit: int):
        self.limit = limit

    def row_clocks(self, width: int, mode: int) -> int:
        raise NotImplementedError

    def rows(self, clocks: int, row: int, mode: int) -> int:
        raise NotImplementedError

    def clocks(self, rows: int, row: int, mode: int) -> int:
        """The shortest time in clocks that the formula turns into rows."""
        raise NotImplementedError

    def apply(self, clocks: int, width: int, mode: int) -> Applied:
        row = self.row_clocks(width, mode)
        rows = self.rows(clocks, row, mode)
        clamped = 1 if rows > self.limit else -1 if rows < 1 else 0
        rows = min(max(rows, 1), self.limit)
        return Applied(max(self.clocks(rows, row, mode), 0) / _CLOCKS_PER_SECOND, clamped)


class _Hv13(_RowFamily):
    # rows = (clocks + 180) / (width + 244), truncated.
    def row_clocks(self, width, mode):
        return width + 244

    def rows(self, clocks, row, mode):
        return (clocks + 180) // row

    def clocks(self, rows, row, mode):
        return rows * row - 180


class _Hv20(_RowFamily):
    # rows = (clocks + 180) / max(width + 358, 617) + 1, rounded half down.
    def row_clocks(self, width, mode):
        return max(width + 358, 617)

    def rows(self, clocks, row, mode):
        return _half_down((clocks + 180) / row + 1.0)

    def clocks(self, rows, row, mode):
        return (rows - 1) * row - 180


class _Hv30(_RowFamily):
    # rows = (clocks + k - 132) / row length, rounded half down; mode 1 has its own line timing.
    @staticmethod
    def _constants(mode):
        return (673, 22, 632) if mode == 1 else (331, 38, 316)

    def row_clocks(self, width, mode):
        k, row_add, floor_base = self._constants(mode)
        return max(width + row_add + k + 142, floor_base + k)

    def rows(self, clocks, row, mode):
        k = self._constants(mode)[0]
        return _half_down((clocks + k - 132) / row)

    def clocks(self, rows, row, mode):
        k = self._constants(mode)[0]
        return rows * row - k + 132


def family(model: str) -> Optional[_RowFamily]:
    """The row family of a model name; None for SV models and names the adapter does not give
    (their limits cannot be known here)."""
    if model.startswith("HV13"):
        return _Hv13(_SHORT_LIMIT)
    if model.startswith("HV20"):
        return _Hv20(_SHORT_LIMIT)
    if model.startswith(("HV30", "HV31")):
        return _Hv30(_LONG_LIMIT)
    return None


def applied(model: str, value: int, unit_seconds: float, width: int, mode: Optional[int]) -> Optional[Applied]:
    """The exposure the camera receives for value units of unit_seconds at the given row width
    and resolution mode; None where the package cannot know it."""
    rows_family = family(model)
    if rows_family is None or (isinstance(rows_family, _Hv30) and mode is None):
        return None
    clocks = value * round(unit_seconds * _CLOCKS_PER_SECOND)
    return rows_family.apply(clocks, width, mode if mode is not None else 0)
