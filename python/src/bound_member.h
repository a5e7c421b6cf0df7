// voziroz.BoundMember: a member of an object waiting for its arguments. Call it
// (`p.GetAncestors(3, 1)`), or index it for a property with arguments (`k.Item["a"]`,
// `k.Item["a"] = 5`). help() shows the member's parameters and help string.
#ifndef VOZIROZ_PYTHON_BOUND_MEMBER_H_
#define VOZIROZ_PYTHON_BOUND_MEMBER_H_

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "python/src/dispatch_object.h"
#include "python/src/member_table.h"

// Makes the type once, at import (nullptr with a Python exception); the module holds it.
PyTypeObject* MakeBoundMemberType();

// A new bound member holding references to both.
PyObject* NewBoundMember(DispatchObject* owner, MemberObject* member);

#endif  // VOZIROZ_PYTHON_BOUND_MEMBER_H_
