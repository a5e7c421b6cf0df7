#include <memory>
#include <new>
#include <vector>

#include "python/src/dispatch_object.h"
#include "python/src/host_classes.h"
#include "python/src/python_refs.h"
#include "python/src/text_conversion.h"
#include "python/src/variant_conversion.h"

namespace {

// Arrays of at least this many elements share equal texts and read with the collector paused.
constexpr Py_ssize_t kLargeArray = 1024;

// An array's elements and where each dimension's neighbours lie (in memory the first index
// varies fastest).
struct ArrayShape {
  const VARIANT* elements;
  std::vector<Py_ssize_t> counts;   // first dimension first
  std::vector<Py_ssize_t> strides;  // elements between neighbours of each dimension
  Py_ssize_t total = 1;
};

// Python's cyclic collector paused while a large array becomes lists: they hold no cycles, and
// a collection every few hundred new lists would revisit them all again and again.
class CollectorPause {
 public:
  CollectorPause() : was_enabled_(PyGC_Disable()) {}
  CollectorPause(const CollectorPause&) = delete;
  CollectorPause& operator=(const CollectorPause&) = delete;
  ~CollectorPause() {
    if (was_enabled_) PyGC_Enable();
  }

 private:
  int was_enabled_;
};

class Reader {
 public:
  explicit Reader(TextCache* texts) : texts_(texts) {}
  PyObject* Read(const VARIANT& source);

 private:
  PyObject* FromReference(const VARIANT& source);
  PyObject* FromArray(SAFEARRAY* array);
  PyObject* NestedList(const ArrayShape& shape, size_t dim, Py_ssize_t offset);

  TextCache* texts_;  // nullptr outside a large array
};

PyObject* FromObject(IUnknown* unknown) {
  if (!unknown) Py_RETURN_NONE;
  ComRef<IDispatch> dispatch;
  if (unknown->lpVtbl->QueryInterface(unknown, &IID_IDispatch, dispatch.out_void()) != S_OK ||
      !dispatch.get()) {
    return PyErr_Format(PyExc_TypeError, "an object without IDispatch cannot be called");
  }
  return WrapDispatch(dispatch.get());
}

PyObject* Reader::FromReference(const VARIANT& source) {
  if (source.vt != (VT_BYREF | VT_VARIANT)) {
    return PyErr_Format(PyExc_TypeError, "cannot read a reference of variant type %d", source.vt);
  }
  if (!source.pvarVal) Py_RETURN_NONE;
  return Read(*source.pvarVal);
}

// The elements of dimension `dim` from `offset`, one list per dimension, the first outermost.
PyObject* Reader::NestedList(const ArrayShape& shape, size_t dim, Py_ssize_t offset) {
  const Py_ssize_t count = shape.counts[dim];
  const Py_ssize_t stride = shape.strides[dim];
  const bool innermost = dim + 1 == shape.counts.size();
  PyObject* list = PyList_New(count);
  if (!list) return nullptr;
  for (Py_ssize_t i = 0; i < count; ++i) {
    const Py_ssize_t at = offset + i * stride;
    PyObject* item = innermost ? Read(shape.elements[at]) : NestedList(shape, dim + 1, at);
    if (!item) {
      Py_DECREF(list);
      return nullptr;
    }
    PyList_SET_ITEM(list, i, item);
  }
  return list;
}

PyObject* Reader::FromArray(SAFEARRAY* array) {
  if (!array) Py_RETURN_NONE;
  if (array->cbElements != sizeof(VARIANT)) {
    return PyErr_Format(PyExc_TypeError, "cannot read an array of %u-byte elements",
                        array->cbElements);
  }
  ArrayShape shape{static_cast<const VARIANT*>(array->pvData), {}, {}};
  const UINT dims = vz_safearray_get_dim(array);
  if (dims == 0) return PyList_New(0);
  for (UINT dim = 1; dim <= dims; ++dim) {
    LONG lower = 0, upper = -1;
    vz_safearray_get_lbound(array, dim, &lower);
    vz_safearray_get_ubound(array, dim, &upper);
    const Py_ssize_t count = static_cast<Py_ssize_t>(upper) - lower + 1;
    shape.counts.push_back(count);
    shape.strides.push_back(shape.total);
    shape.total *= count;
  }
  if (Py_EnterRecursiveCall(" while reading a nested array")) return nullptr;
  PyObject* result;
  if (texts_ || shape.total < kLargeArray) {
    result = NestedList(shape, 0, 0);
  } else {
    auto texts = std::make_unique<TextCache>();
    CollectorPause pause;
    result = Reader(texts.get()).NestedList(shape, 0, 0);
  }
  Py_LeaveRecursiveCall();
  return result;
}

PyObject* Reader::Read(const VARIANT& source) {
  const VARTYPE kind = source.vt;
  if (kind & VT_BYREF) return FromReference(source);
  if (kind & VT_ARRAY) {
    if ((kind & VT_TYPEMASK) != VT_VARIANT) {
      return PyErr_Format(PyExc_TypeError, "cannot read an array of variant type %d", kind);
    }
    return FromArray(source.parray);
  }
  switch (kind) {
    case VT_EMPTY:
    case VT_NULL:
      Py_RETURN_NONE;
    case VT_BSTR:
      return texts_ ? texts_->Str(source.bstrVal) : StrFromBstr(source.bstrVal);
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
      return Py_NewRef(source.boolVal ? Py_True : Py_False);
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

}  // namespace

PyObject* PythonFromVariant(const VARIANT& source) {
  try {  // an array's shape and text cache are C++ allocations
    return Reader(nullptr).Read(source);
  } catch (const std::bad_alloc&) {
    return PyErr_NoMemory();
  }
}
