#include "python/src/dispatch_object.h"

#include <structmember.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "python/src/automation_errors.h"
#include "python/src/bound_member.h"
#include "python/src/host_classes.h"
#include "python/src/invoke.h"
#include "python/src/python_refs.h"
#include "python/src/text_conversion.h"

namespace {

PyTypeObject* g_dispatch_type = nullptr;

DispatchObject* AsDispatch(PyObject* self) {
  return reinterpret_cast<DispatchObject*>(self);
}

bool IsPythonName(PyObject* name) {
  return !PyUnicode_Check(name) || PyUnicode_GET_LENGTH(name) == 0 ||
         PyUnicode_READ_CHAR(name, 0) == '_';
}

// The member called `name` (borrowed: the object's dictionary keeps it), its DISPID found by
// GetIDsOfNames on the first use of that name on this object.
MemberObject* FindMember(DispatchObject* self, PyObject* name) {
  PyObject* known = PyDict_GetItemWithError(self->names, name);
  if (known || PyErr_Occurred()) return reinterpret_cast<MemberObject*>(known);
  BSTR text = BstrFromStr(name);
  if (!text) return nullptr;
  DISPID dispid = DISPID_UNKNOWN;
  const HRESULT hr =
      self->pointer->lpVtbl->GetIDsOfNames(self->pointer, &IID_NULL, &text, 1, 0, &dispid);
  vz_bstr_free(text);
  if (hr != S_OK) {
    if (hr != DISP_E_UNKNOWNNAME) {
      return reinterpret_cast<MemberObject*>(
          RaiseAutomationError(g_host.automation_error, hr, nullptr, nullptr, -1));
    }
    PyRef description(PyUnicode_FromFormat("Unknown name: %U", name));
    if (!description) return nullptr;
    return reinterpret_cast<MemberObject*>(
        RaiseAutomationError(g_host.unknown_name_error, hr, nullptr, description.get(), -1));
  }
  PyRef key(PyLong_FromLong(dispid));
  if (!key) return nullptr;
  PyRef member(Py_XNewRef(PyDict_GetItemWithError(self->members->by_dispid, key.get())));
  if (!member && !PyErr_Occurred()) {
    member = PyRef(reinterpret_cast<PyObject*>(NewPlainMember(name, dispid)));
  }
  if (!member || PyDict_SetItem(self->names, name, member.get()) < 0) return nullptr;
  return reinterpret_cast<MemberObject*>(member.get());  // the dictionary holds it
}

PyObject* GetAttr(PyObject* self, PyObject* name) {
  if (IsPythonName(name)) return PyObject_GenericGetAttr(self, name);
  MemberObject* member = FindMember(AsDispatch(self), name);
  if (!member) return nullptr;
  if (ReadOnAccess(member)) {
    return InvokeMember(AsDispatch(self), member, DISPATCH_PROPERTYGET, nullptr, 0);
  }
  return NewBoundMember(AsDispatch(self), member);
}

int SetAttr(PyObject* self, PyObject* name, PyObject* value) {
  if (IsPythonName(name)) return PyObject_GenericSetAttr(self, name, value);
  if (!value) {
    PyErr_SetString(PyExc_TypeError, "automation properties cannot be deleted");
    return -1;
  }
  MemberObject* member = FindMember(AsDispatch(self), name);
  if (!member) return -1;
  PyRef result(InvokeMember(AsDispatch(self), member, DISPATCH_PROPERTYPUT, &value, 1));
  return result ? 0 : -1;
}

void Dealloc(PyObject* self) {
  DispatchObject* object = AsDispatch(self);
  if (object->weak_references) PyObject_ClearWeakRefs(self);
  Py_XDECREF(object->names);
  if (object->pointer) object->pointer->lpVtbl->Release(object->pointer);
  PyTypeObject* type = Py_TYPE(self);
  type->tp_free(self);
  Py_DECREF(type);  // every instance holds its (heap) type
}

// The object's identity: its IUnknown pointer, as the binary standard defines it.
uintptr_t Identity(PyObject* self) {
  IDispatch* pointer = AsDispatch(self)->pointer;
  IUnknown* unknown = nullptr;
  if (pointer->lpVtbl->QueryInterface(pointer, &IID_IUnknown, reinterpret_cast<void**>(&unknown)) !=
          S_OK ||
      !unknown) {
    return reinterpret_cast<uintptr_t>(pointer);
  }
  unknown->lpVtbl->Release(unknown);
  return reinterpret_cast<uintptr_t>(unknown);
}

PyObject* Compare(PyObject* self, PyObject* other, int op) {
  if ((op != Py_EQ && op != Py_NE) || !PyObject_TypeCheck(other, g_dispatch_type)) {
    Py_RETURN_NOTIMPLEMENTED;
  }
  const bool same = Identity(self) == Identity(other);
  return Py_NewRef(same == (op == Py_EQ) ? Py_True : Py_False);
}

Py_hash_t Hash(PyObject* self) {
  const Py_hash_t hash = static_cast<Py_hash_t>(Identity(self) >> 4);
  return hash == -1 ? -2 : hash;
}

PyObject* Repr(PyObject* self) {
  PyRef name(PyType_GetName(Py_TYPE(self)));
  if (!name) return nullptr;
  return PyUnicode_FromFormat("<voziroz.%U at %p>", name.get(), AsDispatch(self)->pointer);
}

PyObject* Dir(PyObject* self, PyObject*) {
  PyRef names(PyList_New(0));
  if (!names) return nullptr;
  PyObject* member;
  Py_ssize_t position = 0;
  while (PyDict_Next(AsDispatch(self)->members->by_dispid, &position, nullptr, &member)) {
    if (PyList_Append(names.get(), reinterpret_cast<MemberObject*>(member)->name) < 0) {
      return nullptr;
    }
  }
  if (PyList_Sort(names.get()) < 0) return nullptr;
  return names.release();
}

PyMethodDef kMethods[] = {
    {"__dir__", Dir, METH_NOARGS, "The names of the object's members."},
    {},
};

PyMemberDef kMembers[] = {
    {"__weaklistoffset__", T_PYSSIZET, offsetof(DispatchObject, weak_references), READONLY,
     nullptr},
    {},
};

const char kDoc[] =
    "An automation object called late-bound, by member name.\n\n"
    "Properties without arguments are read on access (parser.LineCount); methods and\n"
    "properties with arguments are called (parser.Line(3)) or indexed (keys.Item['a'] = 5);\n"
    "out-parameters come back as a tuple. help(obj.Member) shows a member's parameters and\n"
    "help string; dir(obj) lists the members.";

PyType_Slot kSlots[] = {
    {Py_tp_dealloc, reinterpret_cast<void*>(Dealloc)},
    {Py_tp_repr, reinterpret_cast<void*>(Repr)},
    {Py_tp_hash, reinterpret_cast<void*>(Hash)},
    {Py_tp_getattro, reinterpret_cast<void*>(GetAttr)},
    {Py_tp_setattro, reinterpret_cast<void*>(SetAttr)},
    {Py_tp_richcompare, reinterpret_cast<void*>(Compare)},
    {Py_tp_methods, kMethods},
    {Py_tp_members, kMembers},
    {Py_tp_doc, const_cast<char*>(kDoc)},
    {},
};

PyType_Spec kSpec = {"voziroz.Dispatch", sizeof(DispatchObject), 0,
                     Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_DISALLOW_INSTANTIATION,
                     kSlots};

PyTypeObject* WrapperClass(const IID& iid) {
  if (std::memcmp(&iid, &IID_IParser, sizeof iid) == 0 && g_host.parser) return g_host.parser;
  if (std::memcmp(&iid, &IID_ITable, sizeof iid) == 0 && g_host.table) return g_host.table;
  return g_dispatch_type;
}

}  // namespace

PyTypeObject* MakeDispatchType() {
  g_dispatch_type = reinterpret_cast<PyTypeObject*>(PyType_FromSpec(&kSpec));
  return g_dispatch_type;
}

PyObject* WrapDispatch(IDispatch* pointer) {
  const MemberTable* members = MemberTableOf(pointer);
  if (!members) return nullptr;
  PyTypeObject* type = WrapperClass(members->iid);
  PyRef names(PyDict_New());
  if (!names) return nullptr;
  PyObject* self = type->tp_alloc(type, 0);
  if (!self) return nullptr;
  pointer->lpVtbl->AddRef(pointer);
  DispatchObject* object = AsDispatch(self);
  object->pointer = pointer;
  object->members = members;
  object->names = names.release();
  return self;
}

IDispatch* DispatchPointer(PyObject* value) {
  return PyObject_TypeCheck(value, g_dispatch_type) ? AsDispatch(value)->pointer : nullptr;
}
