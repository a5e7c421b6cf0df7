// Values between the binary standard's VARIANT and the automation core's Variant. Text changes
// from UTF-16 to the ANSI code page on the way in (keeping the exact string where the code page
// loses characters, automation/script_text.h) and back on the way out; a two-dimensional
// array is (row, column) on both sides.
//
// Incoming values are read, never changed or freed. VT_BYREF is followed; arrays of one or two
// dimensions of any element kind become VariantArrays rebased to lower bound 0; our own objects
// become the object itself and any other object is carried as a ForeignObject; a null object
// is Empty. Numbers the core has no kind for are narrowed: a whole number that fits 32 bits
// becomes I4, any other number, a date or a currency amount its text (the runtime's
// conversion).
#pragma once

#include "automation/interfaces.h"
#include "automation/variant.h"
#include "com/platform.h"

namespace voziroz {

// S_OK; DISP_E_TYPEMISMATCH for what cannot be carried (a record, an array of more than two
// dimensions, a null VT_BYREF, nesting deeper than 32); DISP_E_BADVARTYPE for an unknown kind.
// Throws std::bad_alloc.
HRESULT FromVariant(const VARIANT& in, Variant& out);

// An argument for a parameter of type `declared`. A floating-point, currency, date or decimal
// value where I4, BOOL or BSTR is declared is converted as the runtime's VariantChangeType does
// (an I4 rounded half to even): DISP_E_OVERFLOW when out of range, DISP_E_TYPEMISMATCH when it
// cannot convert. Everything else as FromVariant; the dispatcher converts it further.
HRESULT FromArgument(const VARIANT& in, TypeKind declared, Variant& out);

// `value` as a new VARIANT in `out`, which is overwritten, not freed. Throws std::bad_alloc
// (then `out` is VT_EMPTY and nothing leaks).
void ToVariant(const Variant& value, VARIANT& out);

// A new SAFEARRAY of the Array `value`, or null for the NullArray. Throws std::bad_alloc.
SAFEARRAY* ToSafeArray(const Variant& value);

// True when `argument` is a VT_BYREF of a kind that WriteByRef can store into: VARIANT, BSTR,
// BOOL, the integer kinds, R4 and R8.
bool CanWriteByRef(const VARIANT& argument);

// Stores `value` where the VT_BYREF argument points, converted to the kind it refers to,
// freeing what was there. S_OK; DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW when the value does not
// convert (nothing changes then). Throws std::bad_alloc.
HRESULT WriteByRef(const Variant& value, const VARIANT& argument);

}  // namespace voziroz
