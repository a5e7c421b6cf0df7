"""AutomationError: what a failed call on an automation object raises."""

# Standard texts of the codes a dispatch layer refuses a call with.
_MESSAGES = {
    0x80020003: "Member not found",
    0x80020004: "Parameter not found",
    0x80020005: "Type mismatch",
    0x80020006: "Unknown name",
    0x80020007: "No named arguments",
    0x80020008: "Bad variable type",
    0x8002000A: "Out of present range",
    0x8002000E: "Invalid number of parameters",
    0x80040111: "Class not available",
    0x800401F3: "Invalid class string",
    0x80004001: "Not implemented",
    0x80004005: "Unspecified error",
    0x8000FFFF: "Catastrophic failure",
}


def signed(code):
    """A 32-bit status code as the signed number a script sees (0x8000FFFF is -2147418113)."""
    code &= 0xFFFFFFFF
    return code - 0x100000000 if code & 0x80000000 else code


class AutomationError(Exception):
    """A call that failed: `number` (the status code, signed as scripts see it), `source` (the
    ProgID of the class that raised it, such as "Voziroz.Table"; empty for a refusal of the
    dispatch layer), `description` and, for a refused argument, `argument` (its 0-based
    position)."""

    def __init__(self, number, source="", description="", argument=None):
        self.number = signed(number)
        self.source = source or ""
        self.description = description or _MESSAGES.get(number & 0xFFFFFFFF, "Unknown error")
        self.argument = argument
        text = f"{self.description} (0x{number & 0xFFFFFFFF:08X})"
        if source:
            text = f"{source}: {text}"
        if argument is not None:
            text += f", argument {argument + 1}"
        super().__init__(text)


class UnknownNameError(AutomationError, AttributeError):
    """An object has no member of that name (DISP_E_UNKNOWNNAME)."""
