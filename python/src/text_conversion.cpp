#include "python/src/text_conversion.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

bool IsHighSurrogate(uint32_t unit) {
  return (unit & 0xFC00) == 0xD800;
}
bool IsLowSurrogate(uint32_t unit) {
  return (unit & 0xFC00) == 0xDC00;
}

// Text holding at least one surrogate: pairs become one character each.
PyObject* StrFromSurrogates(const OLECHAR* text, size_t length) {
  size_t pairs = 0;
  for (size_t i = 0; i + 1 < length; ++i) {
    if (IsHighSurrogate(text[i]) && IsLowSurrogate(text[i + 1])) ++pairs, ++i;
  }
  if (pairs == 0) {  // lone surrogates only: they fit two-byte characters as they stand
    PyObject* result = PyUnicode_New(length, 0xFFFF);
    if (result) std::memcpy(PyUnicode_2BYTE_DATA(result), text, 2 * length);
    return result;
  }
  PyObject* result = PyUnicode_New(length - pairs, 0x10FFFF);
  if (!result) return nullptr;
  Py_UCS4* out = PyUnicode_4BYTE_DATA(result);
  for (size_t i = 0; i < length; ++i) {
    uint32_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < length && IsLowSurrogate(text[i + 1])) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    *out++ = unit;
  }
  return result;
}

}  // namespace

PyObject* StrFromUtf16(const OLECHAR* text, size_t length) {
  uint32_t highest = 0;
  bool surrogates = false;
  for (size_t i = 0; i < length; ++i) {
    highest = std::max<uint32_t>(highest, text[i]);
    surrogates |= (text[i] & 0xF800) == 0xD800;
  }
  if (surrogates) return StrFromSurrogates(text, length);
  // One character below 256: CPython's shared single-character strings.
  if (length == 1 && highest < 0x100) return PyUnicode_FromOrdinal(text[0]);
  PyObject* result = PyUnicode_New(length, highest);
  if (!result) return nullptr;
  if (highest < 0x100) {
    Py_UCS1* out = PyUnicode_1BYTE_DATA(result);
    for (size_t i = 0; i < length; ++i) out[i] = static_cast<Py_UCS1>(text[i]);
  } else {
    std::memcpy(PyUnicode_2BYTE_DATA(result), text, 2 * length);
  }
  return result;
}

namespace {

// The length that stands before a BSTR's first character, in UTF-16 units.
size_t BstrLength(BSTR text) {
  uint32_t bytes = 0;
  if (text) std::memcpy(&bytes, reinterpret_cast<const char*>(text) - 4, 4);
  return bytes / 2;
}

}  // namespace

PyObject* StrFromBstr(BSTR text) {
  return StrFromUtf16(text, BstrLength(text));
}

PyObject* TextCache::Str(BSTR text) {
  const size_t length = BstrLength(text);
  if (length < 2 || length > kLongest) return StrFromUtf16(text, length);
  uint32_t hash = 2166136261u;  // FNV-1a
  for (size_t i = 0; i < length; ++i) hash = (hash ^ text[i]) * 16777619u;
  Slot& slot = slots_[hash & (kSlots - 1)];
  if (slot.str && slot.length == length && std::memcmp(slot.text, text, 2 * length) == 0) {
    return Py_NewRef(slot.str);
  }
  PyObject* str = StrFromUtf16(text, length);
  if (str) slot = {text, length, str};
  return str;
}

BSTR BstrFromStr(PyObject* text) {
  const Py_ssize_t length = PyUnicode_GET_LENGTH(text);
  const int kind = PyUnicode_KIND(text);
  const void* data = PyUnicode_DATA(text);
  size_t units = length;
  if (kind == PyUnicode_4BYTE_KIND) {
    const Py_UCS4* chars = static_cast<const Py_UCS4*>(data);
    units += std::count_if(chars, chars + length, [](Py_UCS4 c) { return c > 0xFFFF; });
  }
  if (units > 0x3FFFFFFF) {
    PyErr_SetString(PyExc_OverflowError, "a string of 2^30 characters or more cannot be passed");
    return nullptr;
  }
  BSTR result = vz_bstr_alloc_len(nullptr, static_cast<UINT>(units));
  if (!result) {
    PyErr_NoMemory();
    return nullptr;
  }
  if (kind == PyUnicode_2BYTE_KIND) {
    std::memcpy(result, data, 2 * length);
    return result;
  }
  OLECHAR* out = result;
  for (Py_ssize_t i = 0; i < length; ++i) {
    const Py_UCS4 c = PyUnicode_READ(kind, data, i);
    if (c > 0xFFFF) {
      *out++ = static_cast<OLECHAR>(0xD800 + ((c - 0x10000) >> 10));
      *out++ = static_cast<OLECHAR>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      *out++ = static_cast<OLECHAR>(c);
    }
  }
  return result;
}
