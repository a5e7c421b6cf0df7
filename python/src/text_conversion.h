// Text between automation strings (UTF-16) and Python str, with no codec in between. Lone
// surrogates cross unchanged both ways (as Python's "surrogatepass" keeps them); a valid pair
// becomes one character above U+FFFF.
#ifndef VOZIROZ_PYTHON_TEXT_CONVERSION_H_
#define VOZIROZ_PYTHON_TEXT_CONVERSION_H_

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <cstddef>

#include "include/voziroz.h"

// A new str from `length` UTF-16 units; nullptr with a Python exception when memory runs out.
PyObject* StrFromUtf16(const OLECHAR* text, size_t length);
// The NULL BSTR is the empty string.
PyObject* StrFromBstr(BSTR text);
// A new BSTR (free with vz_bstr_free); nullptr with a Python exception.
BSTR BstrFromStr(PyObject* text);

#endif  // VOZIROZ_PYTHON_TEXT_CONVERSION_H_
