"""Whether a session is still open, shared by the session and its cameras.

A call on a closed session is refused here, in Python, before it reaches the adapter: the adapter
would answer with its misuse message and a bare 0, which says nothing about the cause.
"""

from __future__ import annotations

import functools
from typing import Any, Callable, TypeVar

Method = TypeVar("Method", bound=Callable[..., Any])


class OpenState:
    """The open flag and the allocation flag of one session, read by its cameras."""

    def __init__(self) -> None:
        self.open = False
        self.allocated = False


def closed_error(owner: str, operation: str) -> RuntimeError:
    """The error for operation on owner ("camera 1", "session") once the session is closed."""
    return RuntimeError(f"{owner}: {operation} needs an open session; this one is closed "
                        "(open another with korvex.open)")


def needs_open(method: Method) -> Method:
    """Refuses method, naming it, once the session of its object is closed.

    The object provides ``_state`` (an OpenState) and ``_owner`` (how errors name it).
    """
    operation = method.__name__

    @functools.wraps(method)
    def guarded(self: Any, *arguments: Any, **keywords: Any) -> Any:
        if not self._state.open:
            raise closed_error(self._owner, operation)
        return method(self, *arguments, **keywords)

    return guarded  # type: ignore[return-value]
