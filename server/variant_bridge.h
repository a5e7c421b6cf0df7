// Values between the C interface's VARIANT and the automation core's Variant. Text changes from
// UTF-16 to Windows-1252 on the way in and back on the way out; a two-dimensional array is
// (row, column) on both sides.
#pragma once

#include "automation/variant.h"
#include "include/voziroz.h"

namespace voziroz {

// A caller's VARIANT as a Variant, following VT_BYREF. S_OK; DISP_E_TYPEMISMATCH for a kind
// the core has no value for (floating point, a foreign object, an array of more than two
// dimensions or of elements other than VARIANT, a null VT_BYREF, nesting deeper than 32);
// DISP_E_OVERFLOW for an integer outside 32 bits; DISP_E_BADVARTYPE for an unknown kind.
// A null object (VT_DISPATCH or VT_UNKNOWN without a pointer) becomes Empty. Throws
// std::bad_alloc.
HRESULT FromVariant(const VARIANT& in, Variant& out);

// `value` as a new VARIANT in `out`, which is overwritten, not freed. Throws std::bad_alloc
// (then `out` is VT_EMPTY and nothing leaks).
void ToVariant(const Variant& value, VARIANT& out);

// A new SAFEARRAY of the Array `value`, or null for the NullArray. Throws std::bad_alloc.
SAFEARRAY* ToSafeArray(const Variant& value);

// Stores `value` where the VT_BYREF argument `argument` points, converted to its kind (a VARIANT
// takes anything; BSTR, I4 and BOOL what converts), freeing what was there. False when the
// argument is not VT_BYREF or its kind cannot hold the value (nothing changes then).
bool WriteByRef(const Variant& value, const VARIANT& argument);

}  // namespace voziroz
