#include "python/src/variant_conversion.h"

#include <cstdint>

#include "python/src/dispatch_object.h"
#include "python/src/host_classes.h"
#include "python/src/python_refs.h"
#include "python/src/text_conversion.h"

namespace {

bool FillArray(VARIANT& target, PyObject* sequence) {
  PyRef items(PySequence_Fast(sequence, "an array must be a list or a tuple"));
  if (!items) return false;
  const Py_ssize_t count = PySequence_Fast_GET_SIZE(items.get());
  if (count > INT32_MAX) {
    PyErr_SetString(PyExc_OverflowError, "an array of 2^31 elements or more cannot be passed");
    return false;
  }
  SAFEARRAYBOUND bound{static_cast<ULONG>(count), 0};
  SAFEARRAY* array = vz_safearray_create(VT_VARIANT, 1, &bound);
  if (!array) {
    PyErr_NoMemory();
    return false;
  }
  // A list that holds itself would recurse without end.
  if (Py_EnterRecursiveCall(" while converting a nested list")) {
    vz_safearray_destroy(array);
    return false;
  }
  VARIANT* elements = static_cast<VARIANT*>(array->pvData);
  PyObject** values = PySequence_Fast_ITEMS(items.get());
  bool filled = true;
  for (Py_ssize_t i = 0; i < count && filled; ++i) filled = FillVariant(elements[i], values[i]);
  Py_LeaveRecursiveCall();
  if (!filled) {
    vz_safearray_destroy(array);
    return false;
  }
  target.parray = array;
  target.vt = VT_ARRAY | VT_VARIANT;
  return true;
}

bool FillText(VARIANT& target, PyObject* text) {
  BSTR bstr = BstrFromStr(text);
  if (!bstr) return false;
  target.bstrVal = bstr;
  target.vt = VT_BSTR;
  return true;
}

bool FillInteger(VARIANT& target, PyObject* value) {
  int overflow = 0;
  const long long number = PyLong_AsLongLongAndOverflow(value, &overflow);
  if (overflow) {
    PyErr_Format(PyExc_OverflowError, "%R does not fit in 64 bits", value);
    return false;
  }
  if (number == -1 && PyErr_Occurred()) return false;
  if (number >= INT32_MIN && number <= INT32_MAX) {
    target.vt = VT_I4;
    target.lVal = static_cast<LONG>(number);
  } else {
    target.vt = VT_I8;
    target.llVal = number;
  }
  return true;
}

// A path (os.PathLike) passes as its text; anything else is refused.
bool FillOther(VARIANT& target, PyObject* value) {
  if (PyObject_HasAttrString(reinterpret_cast<PyObject*>(Py_TYPE(value)), "__fspath__")) {
    PyRef path(PyOS_FSPath(value));
    if (!path) return false;
    if (PyBytes_Check(path.get())) {
      path = PyRef(PyUnicode_DecodeFSDefaultAndSize(PyBytes_AS_STRING(path.get()),
                                                    PyBytes_GET_SIZE(path.get())));
      if (!path) return false;
    }
    return FillText(target, path.get());
  }
  PyErr_Format(PyExc_TypeError, "cannot pass a %s to an automation object",
               Py_TYPE(value)->tp_name);
  return false;
}

}  // namespace

bool FillVariant(VARIANT& target, PyObject* value) {
  if (value == g_host.empty) {
    target.vt = VT_EMPTY;
  } else if (value == Py_None) {
    target.vt = VT_NULL;
  } else if (PyBool_Check(value)) {
    target.vt = VT_BOOL;
    target.boolVal = value == Py_True ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (PyUnicode_Check(value)) {
    return FillText(target, value);
  } else if (g_host.error_value &&
             PyObject_TypeCheck(value, reinterpret_cast<PyTypeObject*>(g_host.error_value))) {
    const long code = PyLong_AsLong(value);
    if (code == -1 && PyErr_Occurred()) return false;
    target.vt = VT_ERROR;
    target.scode = static_cast<SCODE>(code);
  } else if (PyLong_Check(value)) {
    return FillInteger(target, value);
  } else if (PyFloat_Check(value)) {
    target.vt = VT_R8;
    target.dblVal = PyFloat_AS_DOUBLE(value);
  } else if (PyList_Check(value) || PyTuple_Check(value)) {
    return FillArray(target, value);
  } else if (IDispatch* pointer = DispatchPointer(value)) {
    pointer->lpVtbl->AddRef(pointer);
    target.vt = VT_DISPATCH;
    target.pdispVal = pointer;
  } else {
    return FillOther(target, value);
  }
  return true;
}
