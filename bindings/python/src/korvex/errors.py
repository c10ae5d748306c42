"""Exceptions raised for the adapter's failure results."""

from __future__ import annotations


class KorvexError(RuntimeError):
    """An adapter function refused or failed.

    ``function`` is the exported name that failed, ``result`` the value it returned (0 for most;
    ZqSetAOI returns the camera's status).
    """

    def __init__(self, function: str, result: int, detail: str = ""):
        self.function = function
        self.result = result
        message = f"{function} failed (result {result})"
        super().__init__(f"{message}: {detail}" if detail else message)
