// Text between automation strings (UTF-16) and Python str, with no codec in between. Lone
// surrogates cross unchanged both ways (as Python's "surrogatepass" keeps them); a valid pair
// becomes one character above U+FFFF.
#ifndef VOZIROZ_PYTHON_TEXT_CONVERSION_H_
#define VOZIROZ_PYTHON_TEXT_CONVERSION_H_

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <cstddef>
#include <vector>

#include "include/voziroz.h"

// A new str from `length` UTF-16 units; nullptr with a Python exception when memory runs out.
PyObject* StrFromUtf16(const OLECHAR* text, size_t length);
// The NULL BSTR is the empty string.
PyObject* StrFromBstr(BSTR text);
// A new BSTR (free with vz_bstr_free); nullptr with a Python exception.
BSTR BstrFromStr(PyObject* text);

// Equal short texts met while reading one large array become one str object: a table's columns
// repeat their values (tags, places, names), and one object per value saves making and holding
// a copy for every cell. The BSTRs read, and the strs made, must outlive the cache.
class TextCache {
 public:
  // As StrFromBstr.
  PyObject* Str(BSTR text);

 private:
  struct Slot {
    const OLECHAR* text = nullptr;
    size_t length = 0;
    PyObject* str = nullptr;  // borrowed: the result being built holds it
  };
  static constexpr size_t kSlots = 8192;  // a power of two
  static constexpr size_t kLongest = 40;  // longer texts seldom repeat
  std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
};

#endif  // VOZIROZ_PYTHON_TEXT_CONVERSION_H_
