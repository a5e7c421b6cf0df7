// Failed automation calls as voziroz.AutomationError (number, source, description and, for a
// refused argument, its position).
#ifndef VOZIROZ_PYTHON_AUTOMATION_ERRORS_H_
#define VOZIROZ_PYTHON_AUTOMATION_ERRORS_H_

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "include/voziroz.h"

// Raises `error_class`(hr, source, description, argument); `argument` < 0 means none and a
// null source or description an empty one. Returns nullptr.
PyObject* RaiseAutomationError(PyObject* error_class, HRESULT hr, PyObject* source,
                               PyObject* description, Py_ssize_t argument);
// For a failed vz_ function: the calling thread's error information gives source and
// description.
PyObject* RaiseFromErrorInfo(HRESULT hr);
// For a failed Invoke of `count` arguments: DISP_E_EXCEPTION carries the member's error in
// `exception` (whose strings are freed); other codes are the dispatch layer's refusals, naming
// the argument `argument_error` when it is one of them.
PyObject* RaiseFromInvoke(HRESULT hr, EXCEPINFO& exception, UINT argument_error, UINT count);

#endif  // VOZIROZ_PYTHON_AUTOMATION_ERRORS_H_
