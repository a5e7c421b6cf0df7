// One IDispatch::Invoke of a member with Python arguments, and its result as a Python value.
#ifndef VOZIROZ_PYTHON_INVOKE_H_
#define VOZIROZ_PYTHON_INVOKE_H_

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "include/voziroz.h"
#include "python/src/dispatch_object.h"
#include "python/src/member_table.h"

// Calls `member` of `owner` with `args` in declaration order (`flags`: DISPATCH_METHOD,
// DISPATCH_PROPERTYGET, both, or DISPATCH_PROPERTYPUT with the value last). Out-parameters that
// the caller leaves out (or passes as voziroz.Empty) are passed by reference; with any, the
// result is a tuple of the return value (when the member has one) and the out-parameters.
// A failed call raises voziroz.AutomationError.
PyObject* InvokeMember(DispatchObject* owner, MemberObject* member, WORD flags,
                       PyObject* const* args, Py_ssize_t count);

#endif  // VOZIROZ_PYTHON_INVOKE_H_
