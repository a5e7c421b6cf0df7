// Owning references for the extension: a Python object or an automation interface, given back
// when the holder goes out of scope, so that every early return releases what it took.
#ifndef VOZIROZ_PYTHON_PYTHON_REFS_H_
#define VOZIROZ_PYTHON_PYTHON_REFS_H_

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <utility>

class PyRef {
 public:
  PyRef() = default;
  explicit PyRef(PyObject* owned) : object_(owned) {}
  PyRef(const PyRef&) = delete;
  PyRef& operator=(const PyRef&) = delete;
  PyRef(PyRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  PyRef& operator=(PyRef&& other) noexcept {
    PyObject* old = std::exchange(object_, std::exchange(other.object_, nullptr));
    Py_XDECREF(old);
    return *this;
  }
  ~PyRef() { Py_XDECREF(object_); }

  PyObject* get() const { return object_; }
  PyObject* release() { return std::exchange(object_, nullptr); }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  PyObject* object_ = nullptr;
};

// Interface must be one of voziroz.h's interfaces (a struct whose lpVtbl starts with IUnknown's).
template <class Interface>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (pointer_) pointer_->lpVtbl->Release(pointer_);
  }

  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  // For a function that hands out a new reference through an out-parameter.
  Interface** out() { return &pointer_; }
  void** out_void() { return reinterpret_cast<void**>(&pointer_); }

 private:
  Interface* pointer_ = nullptr;
};

#endif  // VOZIROZ_PYTHON_PYTHON_REFS_H_
