#include "python/src/invoke.h"

#include <cstdint>
#include <new>

#include "python/src/automation_errors.h"
#include "python/src/host_classes.h"
#include "python/src/python_refs.h"
#include "python/src/variant_conversion.h"

namespace {

// VARIANTs of one call, VT_EMPTY at first and cleared at the end; calls of a few arguments
// (all of Voziroz's) need no heap.
class Variants {
 public:
  explicit Variants(Py_ssize_t count)
      : count_(count), data_(count <= kInline ? inline_ : new VARIANT[count]) {
    for (Py_ssize_t i = 0; i < count_; ++i) vz_variant_init(&data_[i]);
  }
  Variants(const Variants&) = delete;
  Variants& operator=(const Variants&) = delete;
  ~Variants() {
    for (Py_ssize_t i = 0; i < count_; ++i) vz_variant_clear(&data_[i]);
    if (data_ != inline_) delete[] data_;
  }

  VARIANT* data() { return data_; }
  VARIANT& operator[](Py_ssize_t i) { return data_[i]; }

 private:
  static constexpr Py_ssize_t kInline = 8;
  Py_ssize_t count_;
  VARIANT inline_[kInline];
  VARIANT* data_;
};

bool IsOut(uint32_t outs, Py_ssize_t position) {
  return position < 32 && (outs >> position) & 1;
}

// The result, or the tuple of the result (when the member has one) and the out-parameters.
PyObject* Results(const VARIANT& result, Variants& targets, uint32_t outs, Py_ssize_t count,
                  bool returns) {
  PyRef value(PythonFromVariant(result));
  if (!value || !outs) return value.release();
  PyRef all(PyList_New(0));
  if (!all || (returns && PyList_Append(all.get(), value.get()) < 0)) return nullptr;
  for (Py_ssize_t position = 0; position < count; ++position) {
    if (!IsOut(outs, position)) continue;
    PyRef out(PythonFromVariant(targets[position]));
    if (!out || PyList_Append(all.get(), out.get()) < 0) return nullptr;
  }
  return PyList_AsTuple(all.get());
}

PyObject* Invoke(DispatchObject* owner, MemberObject* member, WORD flags, PyObject* const* args,
                 Py_ssize_t given) {
  uint32_t outs = flags == DISPATCH_PROPERTYPUT ? 0 : member->out_positions;
  Py_ssize_t count = given;
  for (Py_ssize_t position = count; position < 32; ++position) {
    if (IsOut(outs, position)) count = position + 1;
  }
  if (count > INT32_MAX) {
    PyErr_SetString(PyExc_OverflowError, "too many arguments");
    return nullptr;
  }
  Variants reversed(count);  // the standard passes the last argument first
  Variants targets(count);   // where out-parameters land, by position
  for (Py_ssize_t position = 0; position < count; ++position) {
    PyObject* value = position < given ? args[position] : g_host.empty;
    VARIANT& slot = reversed[count - 1 - position];
    if (IsOut(outs, position) && value == g_host.empty) {
      slot.vt = VT_BYREF | VT_VARIANT;
      slot.pvarVal = &targets[position];
      continue;
    }
    outs &= ~(position < 32 ? 1u << position : 0u);  // supplied: passed as a value
    if (!FillVariant(slot, value)) return nullptr;
  }
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(count), 0};
  if (flags == DISPATCH_PROPERTYPUT) {  // the value is the named argument DISPID_PROPERTYPUT
    parameters.rgdispidNamedArgs = &named;
    parameters.cNamedArgs = 1;
  }
  Variants result(1);
  EXCEPINFO exception{};
  UINT argument_error = UINT(-1);
  IDispatch* object = owner->pointer;
  const HRESULT hr =
      object->lpVtbl->Invoke(object, member->dispid, &IID_NULL, 0, flags, &parameters,
                             result.data(), &exception, &argument_error);
  if (hr != S_OK) return RaiseFromInvoke(hr, exception, argument_error, parameters.cArgs);
  return Results(result[0], targets, outs, count, member->returns);
}

}  // namespace

PyObject* InvokeMember(DispatchObject* owner, MemberObject* member, WORD flags,
                       PyObject* const* args, Py_ssize_t count) {
  try {  // many arguments take their VARIANTs from the heap
    return Invoke(owner, member, flags, args, count);
  } catch (const std::bad_alloc&) {
    return PyErr_NoMemory();
  }
}
