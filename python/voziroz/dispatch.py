"""Dispatch: a late-bound automation object. Every attribute read, call and assignment goes
through the object's GetIDsOfNames and Invoke; the object's type information says which names
are properties (read on access), which are methods or properties with arguments (called), and
which parameters are out-parameters (returned as a tuple).
"""
import ctypes
from ctypes import POINTER, c_int32, c_uint16, c_uint32, c_void_p

from . import _native as native
from . import values
from .errors import AutomationError, UnknownNameError


class Member:
    """What the type information says about one DISPID."""

    def __init__(self, name, dispid):
        self.name = name
        self.dispid = dispid
        self.method = False
        self.get_params = None  # required parameters of the property get, if there is one
        self.put = False
        self.out_positions = ()  # positions of out-parameters of the method or get
        self.returns = False  # the method or get has a result

    @property
    def read_on_access(self):
        """A property that takes no argument: reading the attribute calls it."""
        return not self.method and self.get_params == 0


_members_by_interface = {}  # bytes of the interface's IID -> {DISPID: Member}


def _type_members(pointer):
    """{DISPID: Member} from the object's type information ({} when it has none)."""
    info = c_void_p()
    hr = native.call(pointer, 4, native.HRESULT, (c_uint32, c_uint32, POINTER(c_void_p)), 0, 0,
                     ctypes.byref(info))
    if hr != native.S_OK or not info.value:
        return {}
    try:
        return _read_type_info(info.value)
    finally:
        native.release(info.value)


def _read_type_info(info):
    attr = POINTER(native.TYPEATTR)()
    native.call(info, 3, native.HRESULT, (POINTER(POINTER(native.TYPEATTR)),), ctypes.byref(attr))
    key = bytes(attr.contents.guid)
    count = attr.contents.cFuncs
    native.call(info, 19, None, (POINTER(native.TYPEATTR),), attr)
    if key in _members_by_interface:
        return _members_by_interface[key]
    members = {}
    for index in range(count):
        desc = POINTER(native.FUNCDESC)()
        native.call(info, 5, native.HRESULT, (c_uint32, POINTER(POINTER(native.FUNCDESC))), index,
                    ctypes.byref(desc))
        _add_function(info, desc.contents, members)
        native.call(info, 20, None, (POINTER(native.FUNCDESC),), desc)
    _members_by_interface[key] = members
    return members


def _add_function(info, desc, members):
    member = members.get(desc.memid)
    if member is None:
        name = c_void_p()
        native.call(info, 12, native.HRESULT,
                    (c_int32, POINTER(c_void_p), c_void_p, c_void_p, c_void_p), desc.memid,
                    ctypes.byref(name), None, None, None)
        member = members[desc.memid] = Member(native.take_bstr(name.value), desc.memid)
    flags = [desc.lprgelemdescParam[i].wParamFlags for i in range(desc.cParams)]
    required = sum(1 for f in flags if not f & (native.PARAMFLAG_FOPT | native.PARAMFLAG_FOUT))
    outs = tuple(i for i, f in enumerate(flags) if f & native.PARAMFLAG_FOUT)
    if desc.invkind == native.INVOKE_PROPERTYPUT:
        member.put = True
        return
    if desc.invkind == native.INVOKE_FUNC:
        member.method = True
    else:
        member.get_params = required
    member.out_positions = member.out_positions or outs
    member.returns = member.returns or desc.elemdescFunc.tdesc.vt != native.VT_VOID


class Dispatch:
    """An automation object called late-bound. Holds one reference to it."""

    __slots__ = ("_pointer", "_members", "_ids", "__weakref__")

    def __init__(self, pointer):
        """Takes over the reference that `pointer` (an IDispatch) carries."""
        object.__setattr__(self, "_pointer", pointer)
        object.__setattr__(self, "_members", _type_members(pointer))
        object.__setattr__(self, "_ids", {})

    def __del__(self):
        pointer = getattr(self, "_pointer", None)
        if pointer:
            object.__setattr__(self, "_pointer", None)
            try:
                native.release(pointer)
            except (AttributeError, TypeError):  # the interpreter is shutting down
                pass

    def __getattr__(self, name):
        if name.startswith("_"):  # no member's name does; keeps half-made objects safe
            raise AttributeError(name)
        member = self._member(name)
        if member.read_on_access:
            return self._invoke(member, native.DISPATCH_PROPERTYGET, ())
        return BoundMember(self, member)

    def __setattr__(self, name, value):
        self._invoke(self._member(name), native.DISPATCH_PROPERTYPUT, (value,))

    def __dir__(self):
        return sorted(m.name for m in self._members.values())

    def __eq__(self, other):
        return isinstance(other, Dispatch) and self._identity() == other._identity()

    def __hash__(self):
        return hash(self._identity())

    def __repr__(self):
        return f"<voziroz.Dispatch at 0x{self._pointer:x}>"

    def _identity(self):
        unknown = native.query_interface(self._pointer, native.IID_IUnknown)
        if unknown:
            native.release(unknown)
        return unknown

    def _member(self, name):
        """The member called `name`, its DISPID found by GetIDsOfNames."""
        key = name.lower()
        dispid = self._ids.get(key)
        if dispid is None:
            dispid = self._ids[key] = self._dispid_of(name)
        return self._members.get(dispid) or Member(name, dispid)

    def _dispid_of(self, name):
        buffer = ctypes.create_string_buffer(name.encode("utf-16-le", "surrogatepass") + b"\0\0")
        names = (c_void_p * 1)(ctypes.addressof(buffer))
        dispid = c_int32()
        hr = native.call(self._pointer, 5, native.HRESULT,
                         (POINTER(native.GUID), POINTER(c_void_p), c_uint32, c_uint32,
                          POINTER(c_int32)),
                         ctypes.byref(native.IID_NULL), names, 1, 0, ctypes.byref(dispid))
        if hr == native.DISP_E_UNKNOWNNAME:
            raise UnknownNameError(hr, description=f"Unknown name: {name}")
        if hr != native.S_OK:
            raise AutomationError(hr)
        return dispid.value

    def _invoke(self, member, flags, args):
        """Invokes the member with `args` (declaration order). Out-parameters the caller did not
        supply are passed by reference; with any, the result is a tuple of the return value
        (when there is one) and the out-parameters."""
        return _Call(self, member, flags, args).run()


class BoundMember:
    """A member of an object waiting for its arguments: call it, or index it for a property
    with arguments (`k.Item["a"]`, `k.Item["a"] = 5`)."""

    __slots__ = ("_object", "_member")

    def __init__(self, owner, member):
        self._object = owner
        self._member = member

    def __call__(self, *args):
        flags = native.DISPATCH_METHOD if self._member.method else native.DISPATCH_PROPERTYGET
        if self._member.get_params is None and not self._member.method:
            flags = native.DISPATCH_METHOD | native.DISPATCH_PROPERTYGET
        return self._object._invoke(self._member, flags, args)

    def __getitem__(self, key):
        keys = key if isinstance(key, tuple) else (key,)
        return self._object._invoke(self._member, native.DISPATCH_PROPERTYGET, keys)

    def __setitem__(self, key, value):
        keys = key if isinstance(key, tuple) else (key,)
        self._object._invoke(self._member, native.DISPATCH_PROPERTYPUT, keys + (value,))

    def __repr__(self):
        return f"<member {self._member.name} of {self._object!r}>"


def _pointer_of(value):
    return value._pointer if isinstance(value, Dispatch) else None


def _wrap(pointer):
    native.add_ref(pointer)
    return Dispatch(pointer)


class _Call:
    """One Invoke: its arguments as VARIANTs, its result, and what it frees afterwards."""

    def __init__(self, owner, member, flags, args):
        self.owner, self.member, self.flags = owner, member, flags
        outs = member.out_positions if flags != native.DISPATCH_PROPERTYPUT else ()
        self.out_targets = {}
        self.args = list(args) + [values.Empty] * max(0, (max(outs) + 1 if outs else 0) -
                                                      len(args))
        for position in outs:
            if self.args[position] is values.Empty:
                self.out_targets[position] = values.new_variant()

    def run(self):
        count = len(self.args)
        reversed_args = (native.VARIANT * max(count, 1))()
        for v in reversed_args:
            native.vozcom.vz_variant_init(ctypes.byref(v))
        named = c_int32(native.DISPID_PROPERTYPUT)
        params = native.DISPPARAMS(reversed_args, None, count, 0)
        if self.flags == native.DISPATCH_PROPERTYPUT:
            params.rgdispidNamedArgs, params.cNamedArgs = ctypes.pointer(named), 1
        result = values.new_variant()
        exception = native.EXCEPINFO()
        argument_error = c_uint32(0xFFFFFFFF)
        try:
            for position, value in enumerate(self.args):
                self._fill(reversed_args[count - 1 - position], position, value)
            hr = native.call(self.owner._pointer, 6, native.HRESULT,
                             (c_int32, POINTER(native.GUID), c_uint32, c_uint16,
                              POINTER(native.DISPPARAMS), POINTER(native.VARIANT),
                              POINTER(native.EXCEPINFO), POINTER(c_uint32)),
                             self.member.dispid, ctypes.byref(native.IID_NULL), 0, self.flags,
                             ctypes.byref(params), ctypes.byref(result),
                             ctypes.byref(exception), ctypes.byref(argument_error))
            if hr != native.S_OK:
                raise _error(hr, exception, argument_error.value, count)
            value = values.read(result, _wrap)
            if not self.out_targets:
                return value
            outs = tuple(values.read(v, _wrap) for _, v in sorted(self.out_targets.items()))
            return (value,) + outs if self.member.returns else outs
        finally:
            for v in reversed_args:
                values.clear(v)
            for v in self.out_targets.values():
                values.clear(v)
            values.clear(result)

    def _fill(self, v, position, value):
        target = self.out_targets.get(position)
        if target is not None:
            v.vt, v.byref = native.VT_BYREF | native.VT_VARIANT, ctypes.addressof(target)
        else:
            values.fill(v, value, _pointer_of)


def _error(hr, exception, argument_error, count):
    if hr == native.DISP_E_EXCEPTION:
        source = native.take_bstr(exception.bstrSource)
        description = native.take_bstr(exception.bstrDescription)
        native.vozcom.vz_bstr_free(exception.bstrHelpFile)
        return AutomationError(exception.scode or hr, source, description)
    argument = count - 1 - argument_error if argument_error < count else None
    return AutomationError(hr, argument=argument)
