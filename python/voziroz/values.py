"""Python values to and from VARIANTs.

Going in: None is Null, `Empty` is Empty, bool a boolean, int a 32-bit integer (64-bit when it
does not fit, which the server refuses), float a double (refused by Voziroz's members), str a
string, a list or tuple an array of values, an automation object itself, an ErrorValue an error
code. Coming out: Empty and Null are None, integers int, booleans bool, strings str, arrays lists
(a two-dimensional array a list of rows), a null array None, objects Dispatch objects.
"""
import ctypes
from ctypes import POINTER, c_int32

from . import _native as native
from ._native import VARIANT


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


def new_variant():
    v = VARIANT()
    native.vozcom.vz_variant_init(ctypes.byref(v))
    return v


def clear(v):
    native.vozcom.vz_variant_clear(ctypes.byref(v))


def fill(v, value, dispatch_pointer):
    """Makes the initialised VARIANT `v` hold `value`; `dispatch_pointer(value)` gives the
    interface pointer of an automation object, or None for anything else."""
    if value is Empty:
        v.vt = native.VT_EMPTY
    elif value is None:
        v.vt = native.VT_NULL
    elif isinstance(value, bool):
        v.vt, v.boolVal = native.VT_BOOL, -1 if value else 0
    elif isinstance(value, ErrorValue):
        v.vt, v.scode = native.VT_ERROR, value
    elif isinstance(value, int):
        if -2**31 <= value < 2**31:
            v.vt, v.lVal = native.VT_I4, value
        elif -2**63 <= value < 2**63:
            v.vt, v.llVal = native.VT_I8, value
        else:
            raise OverflowError(f"{value} does not fit in 64 bits")
    elif isinstance(value, float):
        v.vt, v.dblVal = native.VT_R8, value
    elif isinstance(value, str):
        v.bstrVal = native.bstr_from_str(value)
        v.vt = native.VT_BSTR
    elif isinstance(value, (list, tuple)):
        v.parray = _new_array(value, dispatch_pointer)
        v.vt = native.VT_ARRAY | native.VT_VARIANT
    else:
        pointer = dispatch_pointer(value)
        if pointer is None:
            raise TypeError(f"cannot pass a {type(value).__name__} to an automation object")
        native.add_ref(pointer)
        v.vt, v.pdispVal = native.VT_DISPATCH, pointer


def _new_array(items, dispatch_pointer):
    bound = native.SAFEARRAYBOUND(len(items), 0)
    array = native.vozcom.vz_safearray_create(native.VT_VARIANT, 1, ctypes.byref(bound))
    if not array:
        raise MemoryError("no memory for an array")
    elements = (VARIANT * len(items)).from_address(array.contents.pvData)
    try:
        for element, item in zip(elements, items):
            fill(element, item, dispatch_pointer)
    except BaseException:
        native.vozcom.vz_safearray_destroy(array)
        raise
    return array


_INTEGER_FIELDS = {
    native.VT_I1: "cVal", native.VT_UI1: "bVal", native.VT_I2: "iVal", native.VT_UI2: "uiVal",
    native.VT_I4: "lVal", native.VT_INT: "lVal", native.VT_UI4: "ulVal",
    native.VT_UINT: "ulVal", native.VT_I8: "llVal", native.VT_UI8: "ullVal",
}


def read(v, wrap_dispatch):
    """The Python value of VARIANT `v` (which stays the caller's); `wrap_dispatch(pointer)`
    makes an object of an interface pointer, taking a new reference."""
    kind = v.vt
    if kind & native.VT_BYREF:
        return _read_reference(v, wrap_dispatch)
    if kind & native.VT_ARRAY:
        return _read_array(v.parray, wrap_dispatch) if v.parray else None
    if kind in (native.VT_EMPTY, native.VT_NULL):
        return None
    if kind in _INTEGER_FIELDS:
        return getattr(v, _INTEGER_FIELDS[kind])
    if kind == native.VT_BOOL:
        return v.boolVal != 0
    if kind == native.VT_ERROR:
        return ErrorValue(v.scode)
    if kind == native.VT_BSTR:
        return native.str_from_bstr(v.bstrVal)
    if kind == native.VT_R8:
        return v.dblVal
    if kind in (native.VT_DISPATCH, native.VT_UNKNOWN):
        return wrap_dispatch(v.pdispVal) if v.pdispVal else None
    raise TypeError(f"cannot read a value of variant type {kind}")


def _read_reference(v, wrap_dispatch):
    if v.vt != native.VT_BYREF | native.VT_VARIANT:
        raise TypeError(f"cannot read a reference of variant type {v.vt}")
    return read(VARIANT.from_address(v.byref), wrap_dispatch) if v.byref else None


def _read_array(array, wrap_dispatch):
    dims = native.vozcom.vz_safearray_get_dim(array)
    counts = []
    for dim in range(1, dims + 1):
        lower, upper = c_int32(), c_int32()
        native.vozcom.vz_safearray_get_lbound(array, dim, ctypes.byref(lower))
        native.vozcom.vz_safearray_get_ubound(array, dim, ctypes.byref(upper))
        counts.append(upper.value - lower.value + 1)
    total = 1
    for count in counts:
        total *= count
    elements = (VARIANT * total).from_address(array.contents.pvData) if total else []
    values = [read(element, wrap_dispatch) for element in elements]
    return _nest(values, counts)


def _nest(values, counts):
    """Nested lists, first index outermost, from elements stored first index fastest."""
    if len(counts) == 1:
        return values
    first = counts[0]
    # Element (i, rest...) sits at i + first * (position of rest).
    return [_nest(values[i::first], counts[1:]) for i in range(first)]
