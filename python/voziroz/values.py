"""Values with no Python type of their own: Empty (the automation Empty, as opposed to None,
which passes as Null) and ErrorValue (an error code carried as a value)."""


class _EmptyType:
    __slots__ = ()

    def __repr__(self):
        return "voziroz.Empty"

    def __bool__(self):
        return False


Empty = _EmptyType()


class ErrorValue(int):
    """An error code carried as a value (VT_ERROR), such as "parameter not found"."""

    def __repr__(self):
        return f"ErrorValue(0x{self & 0xFFFFFFFF:08X})"
