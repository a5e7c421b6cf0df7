#include "python/src/bound_member.h"

#include <structmember.h>

#include <cstddef>

#include "python/src/invoke.h"
#include "python/src/python_refs.h"

namespace {

struct BoundMemberObject {
  PyObject_HEAD DispatchObject* owner;
  MemberObject* member;
  vectorcallfunc vectorcall;
};

BoundMemberObject* AsBound(PyObject* self) {
  return reinterpret_cast<BoundMemberObject*>(self);
}

void Dealloc(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  Py_DECREF(AsBound(self)->owner);
  Py_DECREF(AsBound(self)->member);
  type->tp_free(self);
  Py_DECREF(type);
}

PyObject* Call(PyObject* self, PyObject* const* args, size_t flags_and_count, PyObject* names) {
  if (names && PyTuple_GET_SIZE(names) > 0) {
    PyErr_SetString(PyExc_TypeError, "automation members take no keyword arguments");
    return nullptr;
  }
  const MemberObject* member = AsBound(self)->member;
  WORD flags = member->method ? DISPATCH_METHOD : DISPATCH_PROPERTYGET;
  if (!member->method && member->get_params < 0) flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  return InvokeMember(AsBound(self)->owner, AsBound(self)->member, flags, args,
                      PyVectorcall_NARGS(flags_and_count));
}

// The arguments of an index: `k.Item["a"]` or `x.Member[1, 2]`, and for a put the value last.
PyRef IndexArguments(PyObject* key, PyObject* value) {
  PyRef keys(PyTuple_Check(key) ? PySequence_List(key) : Py_BuildValue("[O]", key));
  if (keys && value && PyList_Append(keys.get(), value) < 0) return PyRef();
  return keys;
}

PyObject* GetItem(PyObject* self, PyObject* key) {
  PyRef args = IndexArguments(key, nullptr);
  if (!args) return nullptr;
  return InvokeMember(AsBound(self)->owner, AsBound(self)->member, DISPATCH_PROPERTYGET,
                      PySequence_Fast_ITEMS(args.get()), PyList_GET_SIZE(args.get()));
}

int SetItem(PyObject* self, PyObject* key, PyObject* value) {
  if (!value) {
    PyErr_SetString(PyExc_TypeError, "automation properties cannot be deleted");
    return -1;
  }
  PyRef args = IndexArguments(key, value);
  if (!args) return -1;
  PyRef result(InvokeMember(AsBound(self)->owner, AsBound(self)->member, DISPATCH_PROPERTYPUT,
                            PySequence_Fast_ITEMS(args.get()), PyList_GET_SIZE(args.get())));
  return result ? 0 : -1;
}

PyObject* Repr(PyObject* self) {
  return PyUnicode_FromFormat("<member %U of %R>", AsBound(self)->member->name,
                              AsBound(self)->owner);
}

// With __get__ and no __set__ the object counts as a routine for inspect and pydoc, so that
// help() shows its signature and docstring instead of documenting the class.
PyObject* Get(PyObject* self, PyObject*, PyObject*) {
  return Py_NewRef(self);
}

PyObject* Doc(PyObject* self, void*) {
  return Py_NewRef(AsBound(self)->member->doc);
}
PyObject* Name(PyObject* self, void*) {
  return Py_NewRef(AsBound(self)->member->name);
}
PyObject* TextSignature(PyObject* self, void*) {
  return Py_NewRef(AsBound(self)->member->text_signature);
}

PyGetSetDef kGetSets[] = {
    {"__doc__", Doc, nullptr, nullptr, nullptr},
    {"__name__", Name, nullptr, nullptr, nullptr},
    {"__qualname__", Name, nullptr, nullptr, nullptr},
    {"__text_signature__", TextSignature, nullptr, nullptr, nullptr},
    {},
};

PyMemberDef kMembers[] = {
    {"__vectorcalloffset__", T_PYSSIZET, offsetof(BoundMemberObject, vectorcall), READONLY,
     nullptr},
    {},
};

PyType_Slot kSlots[] = {
    {Py_tp_dealloc, reinterpret_cast<void*>(Dealloc)},
    {Py_tp_repr, reinterpret_cast<void*>(Repr)},
    {Py_tp_call, reinterpret_cast<void*>(PyVectorcall_Call)},
    {Py_mp_subscript, reinterpret_cast<void*>(GetItem)},
    {Py_mp_ass_subscript, reinterpret_cast<void*>(SetItem)},
    {Py_tp_getset, kGetSets},
    {Py_tp_members, kMembers},
    {Py_tp_descr_get, reinterpret_cast<void*>(Get)},
    {},
};

PyType_Spec kSpec = {
    "voziroz.BoundMember", sizeof(BoundMemberObject), 0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_HAVE_VECTORCALL | Py_TPFLAGS_DISALLOW_INSTANTIATION, kSlots};

PyTypeObject* g_bound_member_type = nullptr;

}  // namespace

PyTypeObject* MakeBoundMemberType() {
  g_bound_member_type = reinterpret_cast<PyTypeObject*>(PyType_FromSpec(&kSpec));
  return g_bound_member_type;
}

PyObject* NewBoundMember(DispatchObject* owner, MemberObject* member) {
  auto* bound = PyObject_New(BoundMemberObject, g_bound_member_type);
  if (!bound) return nullptr;
  bound->owner = reinterpret_cast<DispatchObject*>(Py_NewRef(reinterpret_cast<PyObject*>(owner)));
  bound->member = reinterpret_cast<MemberObject*>(Py_NewRef(reinterpret_cast<PyObject*>(member)));
  bound->vectorcall = Call;
  return reinterpret_cast<PyObject*>(bound);
}
