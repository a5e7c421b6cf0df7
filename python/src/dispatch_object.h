// voziroz.Dispatch: an automation object called late-bound. Reading an attribute looks the name
// up once per object (GetIDsOfNames) and then reads a property that takes no argument at once,
// or gives a voziroz.BoundMember to call or index; assigning an attribute puts the property.
// Names that begin with "_" are Python's own: no member's name does.
#ifndef VOZIROZ_PYTHON_DISPATCH_OBJECT_H_
#define VOZIROZ_PYTHON_DISPATCH_OBJECT_H_

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "include/voziroz.h"
#include "python/src/member_table.h"

struct DispatchObject {
  PyObject_HEAD IDispatch* pointer;  // one reference, released with the object
  const MemberTable* members;        // of its interface, shared
  PyObject* names;                   // dict: attribute name -> MemberObject, this object's lookups
  PyObject* weak_references;
};

// Makes the type once, at import (nullptr with a Python exception); the module holds it.
PyTypeObject* MakeDispatchType();

// A new wrapper holding its own reference to `pointer`: voziroz.Parser or voziroz.Table for
// those interfaces, else voziroz.Dispatch. nullptr with a Python exception.
PyObject* WrapDispatch(IDispatch* pointer);
// The interface pointer of a voziroz.Dispatch (borrowed), else nullptr.
IDispatch* DispatchPointer(PyObject* value);

#endif  // VOZIROZ_PYTHON_DISPATCH_OBJECT_H_
