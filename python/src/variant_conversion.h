// Python values to and from VARIANTs.
//
// Going in: voziroz.Empty is Empty, None is Null, bool a boolean, voziroz.ErrorValue an error
// code, int a 32-bit integer (64-bit when it does not fit, which the server refuses), float a
// double (refused by Voziroz's members), str a string, an os.PathLike its path as a string, a
// list or tuple an array of values, a voziroz.Dispatch the object itself.
// Coming out: Empty and Null are None, integers int, booleans bool, error codes ErrorValue,
// strings str, arrays lists (a two-dimensional array a list of rows, in one pass), a null array
// None, objects voziroz.Dispatch (voziroz.Parser and voziroz.Table for those interfaces).
#ifndef VOZIROZ_PYTHON_VARIANT_CONVERSION_H_
#define VOZIROZ_PYTHON_VARIANT_CONVERSION_H_

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "include/voziroz.h"

// Makes the VT_EMPTY VARIANT `target` hold `value`. On failure: false with a Python exception,
// `target` still VT_EMPTY.
bool FillVariant(VARIANT& target, PyObject* value);
// A new Python value for `source`, which stays the caller's; nullptr with a Python exception.
PyObject* PythonFromVariant(const VARIANT& source);

#endif  // VOZIROZ_PYTHON_VARIANT_CONVERSION_H_
