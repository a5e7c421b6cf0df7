// The package's own Python classes that the extension creates or recognises. voziroz/__init__.py
// hands them over once, through _voziroz._setup, before any object is made.
#ifndef VOZIROZ_PYTHON_HOST_CLASSES_H_
#define VOZIROZ_PYTHON_HOST_CLASSES_H_

#define PY_SSIZE_T_CLEAN
#include <Python.h>

struct HostClasses {
  PyObject* automation_error = nullptr;    // voziroz.AutomationError
  PyObject* unknown_name_error = nullptr;  // voziroz.UnknownNameError
  PyObject* empty = nullptr;               // voziroz.Empty, the one value that passes as Empty
  PyObject* error_value = nullptr;         // voziroz.ErrorValue, an int subclass
  PyTypeObject* parser = nullptr;          // voziroz.Parser: wraps IParser objects
  PyTypeObject* table = nullptr;           // voziroz.Table: wraps ITable objects
};

extern HostClasses g_host;

#endif  // VOZIROZ_PYTHON_HOST_CLASSES_H_
