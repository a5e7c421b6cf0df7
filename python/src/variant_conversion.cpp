#include "python/src/variant_conversion.h"

#include <cstdint>
#include <vector>

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

PyObject* ListFromArray(SAFEARRAY* array);

PyObject* FromReference(const VARIANT& source) {
  if (source.vt != (VT_BYREF | VT_VARIANT)) {
    return PyErr_Format(PyExc_TypeError, "cannot read a reference of variant type %d", source.vt);
  }
  if (!source.pvarVal) Py_RETURN_NONE;
  return PythonFromVariant(*source.pvarVal);
}

PyObject* FromObject(IUnknown* unknown) {
  if (!unknown) Py_RETURN_NONE;
  ComRef<IDispatch> dispatch;
  if (unknown->lpVtbl->QueryInterface(unknown, &IID_IDispatch, dispatch.out_void()) != S_OK ||
      !dispatch.get()) {
    return PyErr_Format(PyExc_TypeError, "an object without IDispatch cannot be called");
  }
  return WrapDispatch(dispatch.get());
}

PyObject* Boolean(bool value) {
  return Py_NewRef(value ? Py_True : Py_False);
}

// Arrays: the elements of dimension `dim` from `offset`, nested one list per dimension with the
// first dimension outermost (in memory the first index varies fastest).
struct ArrayShape {
  const VARIANT* elements;
  std::vector<Py_ssize_t> counts;   // first dimension first
  std::vector<Py_ssize_t> strides;  // elements between neighbours of each dimension
};

PyObject* NestedList(const ArrayShape& shape, size_t dim, Py_ssize_t offset) {
  const Py_ssize_t count = shape.counts[dim];
  const Py_ssize_t stride = shape.strides[dim];
  const bool innermost = dim + 1 == shape.counts.size();
  PyObject* list = PyList_New(count);
  if (!list) return nullptr;
  for (Py_ssize_t i = 0; i < count; ++i) {
    const Py_ssize_t at = offset + i * stride;
    PyObject* item =
        innermost ? PythonFromVariant(shape.elements[at]) : NestedList(shape, dim + 1, at);
    if (!item) {
      Py_DECREF(list);
      return nullptr;
    }
    PyList_SET_ITEM(list, i, item);
  }
  return list;
}

PyObject* ListFromArray(SAFEARRAY* array) {
  if (!array) Py_RETURN_NONE;
  if (array->cbElements != sizeof(VARIANT)) {
    return PyErr_Format(PyExc_TypeError, "cannot read an array of %u-byte elements",
                        array->cbElements);
  }
  ArrayShape shape{static_cast<const VARIANT*>(array->pvData), {}, {}};
  const UINT dims = vz_safearray_get_dim(array);
  if (dims == 0) return PyList_New(0);
  Py_ssize_t stride = 1;
  for (UINT dim = 1; dim <= dims; ++dim) {
    LONG lower = 0, upper = -1;
    vz_safearray_get_lbound(array, dim, &lower);
    vz_safearray_get_ubound(array, dim, &upper);
    const Py_ssize_t count = static_cast<Py_ssize_t>(upper) - lower + 1;
    shape.counts.push_back(count);
    shape.strides.push_back(stride);
    stride *= count;
  }
  if (Py_EnterRecursiveCall(" while reading a nested array")) return nullptr;
  PyObject* result = NestedList(shape, 0, 0);
  Py_LeaveRecursiveCall();
  return result;
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
  } else if (PyObject_TypeCheck(value, reinterpret_cast<PyTypeObject*>(g_host.error_value))) {
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

PyObject* PythonFromVariant(const VARIANT& source) {
  const VARTYPE kind = source.vt;
  if (kind & VT_BYREF) return FromReference(source);
  if (kind & VT_ARRAY) {
    if ((kind & VT_TYPEMASK) != VT_VARIANT) {
      return PyErr_Format(PyExc_TypeError, "cannot read an array of variant type %d", kind);
    }
    return ListFromArray(source.parray);
  }
  switch (kind) {
    case VT_EMPTY:
    case VT_NULL:
      Py_RETURN_NONE;
    case VT_BSTR:
      return StrFromBstr(source.bstrVal);
    case VT_I4:
    case VT_INT:
      return PyLong_FromLong(source.lVal);
    case VT_I1:
      return PyLong_FromLong(static_cast<signed char>(source.cVal));
    case VT_UI1:
      return PyLong_FromLong(source.bVal);
    case VT_I2:
      return PyLong_FromLong(source.iVal);
    case VT_UI2:
      return PyLong_FromLong(source.uiVal);
    case VT_UI4:
    case VT_UINT:
      return PyLong_FromUnsignedLong(source.ulVal);
    case VT_I8:
      return PyLong_FromLongLong(source.llVal);
    case VT_UI8:
      return PyLong_FromUnsignedLongLong(source.ullVal);
    case VT_BOOL:
      return Boolean(source.boolVal != 0);
    case VT_ERROR:
      return PyObject_CallFunction(g_host.error_value, "l", static_cast<long>(source.scode));
    case VT_R8:
      return PyFloat_FromDouble(source.dblVal);
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return FromObject(source.punkVal);
    default:
      return PyErr_Format(PyExc_TypeError, "cannot read a value of variant type %d", kind);
  }
}
