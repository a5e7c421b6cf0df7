// What an object's type information says about its members, read once per interface and kept
// for the life of the process: which names are methods, which are properties read on access,
// which take arguments, which parameters are out-parameters, and each member's docstring.
#ifndef VOZIROZ_PYTHON_MEMBER_TABLE_H_
#define VOZIROZ_PYTHON_MEMBER_TABLE_H_

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <cstdint>

#include "include/voziroz.h"

// One DISPID of an interface (a Python object so that dictionaries can hold it).
struct MemberObject {
  PyObject_HEAD PyObject* name;  // str, as the type information spells it
  PyObject* doc;                 // str: signature line and help string
  PyObject* text_signature;      // str "(ID, Generation)", or None when not expressible
  DISPID dispid;
  bool method;             // a method (not a property)
  bool put;                // the property can be assigned
  bool returns;            // the method or property get has a result
  short get_params;        // required parameters of the property get; -1: no get
  uint32_t out_positions;  // bit i: parameter i is an out-parameter
};

inline bool ReadOnAccess(const MemberObject* member) {
  return !member->method && member->get_params == 0;
}

// The members of an interface, by DISPID.
struct MemberTable {
  IID iid;              // IID_NULL for an object without type information
  PyObject* by_dispid;  // dict: int -> MemberObject
};

// The table of `object`'s interface, read from its type information on first sight of the
// interface. An object without type information gets an empty table. nullptr with a Python
// exception only when memory runs out.
const MemberTable* MemberTableOf(IDispatch* object);
// A member the type information does not list (known only by GetIDsOfNames).
MemberObject* NewPlainMember(PyObject* name, DISPID dispid);

// Makes the member type once, at import; false with a Python exception.
bool MakeMemberType();

#endif  // VOZIROZ_PYTHON_MEMBER_TABLE_H_
