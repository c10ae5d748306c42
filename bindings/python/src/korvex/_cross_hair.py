"""The cross-hair switch, and the turns it takes with grey exports.

A grey export's destination holds 1 byte per pixel while the cross-hair is off and 4 while it is
on, so the switch must not change between the moment an export sizes its destination and the
moment the adapter has written it: an adapter that read the switch after sizing would write four
times the array. Grey exports therefore count themselves in flight, and a change of the switch
waits until none is, holding new grey exports back meanwhile. Colour exports always write 4 bytes
per pixel and take no part. The switch is one for the whole loaded library, and so is this gate.
"""

from __future__ import annotations

import contextlib
import threading
from typing import Iterator


class CrossHairGate:
    """The cross-hair's on/off state with the grey exports in flight under it."""

    def __init__(self) -> None:
        # Exports take the lock directly (the cheapest way in and out); waits go through the
        # condition on the same lock.
        self._lock = threading.Lock()
        self._condition = threading.Condition(self._lock)
        self._in_flight = 0
        self._changing = False
        self._enabled = False

    @property
    def enabled(self) -> bool:
        """Whether exports get the cross-hair (as last switched through this gate)."""
        return self._enabled

    def begin_grey(self) -> bool:
        """Counts a grey export in flight and returns the switch it sizes for; waits while a
        change is under way."""
        with self._lock:
            while self._changing:
                self._condition.wait()
            self._in_flight += 1
            return self._enabled

    def end_grey(self) -> None:
        """Ends a grey export begun with begin_grey, waking a change that waits for it."""
        with self._lock:
            self._in_flight -= 1
            if self._changing and self._in_flight == 0:
                self._condition.notify_all()

    @contextlib.contextmanager
    def change(self, enabled: bool) -> Iterator[None]:
        """Holds the switch for a change to enabled: waits until no grey export is in flight and
        keeps new ones back until the block ends. The state becomes enabled only when the block
        ends without an exception."""
        with self._lock:
            while self._changing:
                self._condition.wait()
            self._changing = True
            while self._in_flight:
                self._condition.wait()
        succeeded = False
        try:
            yield
            succeeded = True
        finally:
            with self._lock:
                if succeeded:
                    self._enabled = enabled
                self._changing = False
                self._condition.notify_all()
