"""The binary shapes of the C interface (include/voziroz.h) for ctypes, and the platform library.

libvozcom.so is found through $VOZIROZ_VOZCOM (its full path), else beside the installed package
(_installed.py, written by `cmake --install`), else in the build folder of this source tree
($VOZIROZ_BUILD_DIR, default "build"), else on the system's library path.
"""
import ctypes
import ctypes.util
import os
from ctypes import (POINTER, Structure, Union, c_double, c_int8, c_int16, c_int32, c_int64,
                    c_uint8, c_uint16, c_uint32, c_uint64, c_void_p, c_char_p)

HRESULT = c_int32

S_OK = 0
S_FALSE = 1
DISP_E_EXCEPTION = -2147352567       # 0x80020009
DISP_E_UNKNOWNNAME = -2147352570     # 0x80020006
DISPID_PROPERTYPUT = -3

DISPATCH_METHOD = 1
DISPATCH_PROPERTYGET = 2
DISPATCH_PROPERTYPUT = 4

VT_EMPTY, VT_NULL, VT_I2, VT_I4, VT_R4, VT_R8 = 0, 1, 2, 3, 4, 5
VT_BSTR, VT_DISPATCH, VT_ERROR, VT_BOOL, VT_VARIANT, VT_UNKNOWN = 8, 9, 10, 11, 12, 13
VT_VOID = 24
VT_I1, VT_UI1, VT_UI2, VT_UI4, VT_I8, VT_UI8, VT_INT, VT_UINT = 16, 17, 18, 19, 20, 21, 22, 23
VT_ARRAY, VT_BYREF, VT_TYPEMASK = 0x2000, 0x4000, 0xFFF

INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF = 1, 2, 4, 8
PARAMFLAG_FOUT, PARAMFLAG_FOPT = 0x2, 0x10


class GUID(Structure):
    _fields_ = [("Data1", c_uint32), ("Data2", c_uint16), ("Data3", c_uint16),
                ("Data4", c_uint8 * 8)]

    @classmethod
    def parse(cls, text):
        hex_digits = text.strip("{}").replace("-", "")
        guid = cls(int(hex_digits[0:8], 16), int(hex_digits[8:12], 16),
                   int(hex_digits[12:16], 16))
        for i in range(8):
            guid.Data4[i] = int(hex_digits[16 + 2 * i:18 + 2 * i], 16)
        return guid


IID_NULL = GUID()
IID_IUnknown = GUID.parse("{00000000-0000-0000-C000-000000000046}")
IID_IDispatch = GUID.parse("{00020400-0000-0000-C000-000000000046}")


class SAFEARRAYBOUND(Structure):
    _fields_ = [("cElements", c_uint32), ("lLbound", c_int32)]


class SAFEARRAY(Structure):
    _fields_ = [("cDims", c_uint16), ("fFeatures", c_uint16), ("cbElements", c_uint32),
                ("cLocks", c_uint32), ("pvData", c_void_p), ("rgsabound", SAFEARRAYBOUND * 1)]


class _Record(Structure):
    _fields_ = [("pvRecord", c_void_p), ("pRecInfo", c_void_p)]


class _VariantValue(Union):
    _fields_ = [("llVal", c_int64), ("lVal", c_int32), ("bVal", c_uint8), ("iVal", c_int16),
                ("dblVal", c_double), ("boolVal", c_int16), ("scode", c_int32),
                ("bstrVal", c_void_p), ("punkVal", c_void_p), ("pdispVal", c_void_p),
                ("parray", POINTER(SAFEARRAY)), ("byref", c_void_p), ("cVal", c_int8),
                ("uiVal", c_uint16), ("ulVal", c_uint32), ("ullVal", c_uint64),
                ("brecVal", _Record)]


class VARIANT(Structure):
    _anonymous_ = ("value",)
    _fields_ = [("vt", c_uint16), ("wReserved1", c_uint16), ("wReserved2", c_uint16),
                ("wReserved3", c_uint16), ("value", _VariantValue)]


class DISPPARAMS(Structure):
    _fields_ = [("rgvarg", POINTER(VARIANT)), ("rgdispidNamedArgs", POINTER(c_int32)),
                ("cArgs", c_uint32), ("cNamedArgs", c_uint32)]


class EXCEPINFO(Structure):
    _fields_ = [("wCode", c_uint16), ("wReserved", c_uint16), ("bstrSource", c_void_p),
                ("bstrDescription", c_void_p), ("bstrHelpFile", c_void_p),
                ("dwHelpContext", c_uint32), ("pvReserved", c_void_p),
                ("pfnDeferredFillIn", c_void_p), ("scode", c_int32)]


class TYPEDESC(Structure):
    _fields_ = [("lptdesc", c_void_p), ("vt", c_uint16)]


class ELEMDESC(Structure):
    _fields_ = [("tdesc", TYPEDESC), ("dwReserved", c_void_p), ("wParamFlags", c_uint16)]


class TYPEATTR(Structure):
    _fields_ = [("guid", GUID), ("lcid", c_uint32), ("dwReserved", c_uint32),
                ("memidConstructor", c_int32), ("memidDestructor", c_int32),
                ("lpstrSchema", c_void_p), ("cbSizeInstance", c_uint32), ("typekind", c_int32),
                ("cFuncs", c_uint16), ("cVars", c_uint16), ("cImplTypes", c_uint16),
                ("cbSizeVft", c_uint16), ("cbAlignment", c_uint16), ("wTypeFlags", c_uint16),
                ("wMajorVerNum", c_uint16), ("wMinorVerNum", c_uint16),
                ("tdescAlias", TYPEDESC), ("idldescType", c_void_p * 2)]


class FUNCDESC(Structure):
    _fields_ = [("memid", c_int32), ("lprgscode", c_void_p),
                ("lprgelemdescParam", POINTER(ELEMDESC)), ("funckind", c_int32),
                ("invkind", c_int32), ("callconv", c_int32), ("cParams", c_int16),
                ("cParamsOpt", c_int16), ("oVft", c_int16), ("cScodes", c_int16),
                ("elemdescFunc", ELEMDESC), ("wFuncFlags", c_uint16)]


assert ctypes.sizeof(c_void_p) != 8 or ctypes.sizeof(VARIANT) == 24


def _find_vozcom():
    explicit = os.environ.get("VOZIROZ_VOZCOM")
    if explicit:
        return explicit
    if installed_library_folder():
        return os.path.join(installed_library_folder(), "libvozcom.so.1")
    built = os.path.join(build_folder(), "vozcom", "libvozcom.so")
    if os.path.exists(built):
        return built
    return ctypes.util.find_library("vozcom") or "libvozcom.so"


def installed_library_folder():
    """The folder of the installed libraries, or None for the package of a source tree."""
    try:
        from . import _installed
    except ImportError:
        return None
    here = os.path.dirname(os.path.abspath(__file__))
    return os.path.normpath(os.path.join(here, _installed.LIBRARY_FOLDER))


def build_folder():
    """The build folder of this source tree ($VOZIROZ_BUILD_DIR, relative to the tree's root)."""
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    return os.path.join(root, os.environ.get("VOZIROZ_BUILD_DIR", "build"))


vozcom = ctypes.CDLL(_find_vozcom())


def _declare(name, restype, *argtypes):
    function = getattr(vozcom, name)
    function.restype = restype
    function.argtypes = argtypes


_declare("vz_bstr_alloc_len", c_void_p, c_void_p, c_uint32)
_declare("vz_bstr_len", c_uint32, c_void_p)
_declare("vz_bstr_free", None, c_void_p)
_declare("vz_variant_init", None, POINTER(VARIANT))
_declare("vz_variant_clear", HRESULT, POINTER(VARIANT))
_declare("vz_safearray_create", POINTER(SAFEARRAY), c_uint16, c_uint32, POINTER(SAFEARRAYBOUND))
_declare("vz_safearray_destroy", HRESULT, POINTER(SAFEARRAY))
_declare("vz_safearray_get_dim", c_uint32, POINTER(SAFEARRAY))
_declare("vz_safearray_get_lbound", HRESULT, POINTER(SAFEARRAY), c_uint32, POINTER(c_int32))
_declare("vz_safearray_get_ubound", HRESULT, POINTER(SAFEARRAY), c_uint32, POINTER(c_int32))
_declare("vz_get_error_info", HRESULT, c_uint32, POINTER(c_void_p))
_declare("vz_create_object", HRESULT, c_char_p, POINTER(c_void_p))
_declare("vz_register_server", HRESULT, c_char_p)
_declare("vz_registry_path", HRESULT, POINTER(c_char_p))
_declare("vz_free", None, c_void_p)
_declare("vz_unregister_server", HRESULT, c_char_p)


# --- Interface functions: slot `index` of the function table of the interface at `pointer`.

_prototypes = {}


def call(pointer, index, restype, argtypes, *args):
    """Calls function number `index` of the interface `pointer` (a plain integer address)."""
    key = (restype, argtypes)
    prototype = _prototypes.get(key)
    if prototype is None:
        prototype = _prototypes[key] = ctypes.CFUNCTYPE(restype, c_void_p, *argtypes)
    table = ctypes.cast(c_void_p(pointer), POINTER(POINTER(c_void_p)))[0]
    return prototype(table[index])(pointer, *args)


def add_ref(pointer):
    return call(pointer, 1, c_uint32, ())


def release(pointer):
    return call(pointer, 2, c_uint32, ())


def query_interface(pointer, iid):
    """Another interface of the object (a new reference), or None."""
    out = c_void_p()
    hr = call(pointer, 0, HRESULT, (POINTER(GUID), POINTER(c_void_p)), ctypes.byref(iid),
              ctypes.byref(out))
    return out.value if hr == S_OK and out.value else None


# --- Strings

def bstr_from_str(text):
    """A new BSTR holding `text` (UTF-16, lone surrogates kept)."""
    data = text.encode("utf-16-le", "surrogatepass")
    bstr = vozcom.vz_bstr_alloc_len(data, len(data) // 2)
    if not bstr:
        raise MemoryError("no memory for a string")
    return bstr


def str_from_bstr(bstr):
    if not bstr:
        return ""
    return ctypes.string_at(bstr, 2 * vozcom.vz_bstr_len(bstr)).decode("utf-16-le",
                                                                       "surrogatepass")


def take_bstr(bstr):
    """The text of a BSTR, which is freed."""
    try:
        return str_from_bstr(bstr)
    finally:
        vozcom.vz_bstr_free(bstr)


def take_error_info():
    """(source, description) of the calling thread's error information, which is cleared."""
    info = c_void_p()
    if vozcom.vz_get_error_info(0, ctypes.byref(info)) != S_OK or not info.value:
        return "", ""
    try:
        texts = []
        for index in (4, 5):  # GetSource, GetDescription
            bstr = c_void_p()
            call(info.value, index, HRESULT, (POINTER(c_void_p),), ctypes.byref(bstr))
            texts.append(take_bstr(bstr.value))
        return tuple(texts)
    finally:
        release(info.value)
