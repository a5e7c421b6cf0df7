// Conversions between the shared automation value (automation/variant.h) and the system's
// VARIANT, BSTR and SAFEARRAY.
//
// Incoming values are read, never changed or freed: VT_BYREF is followed, BSTRs become
// ANSI text, safe arrays of one or two dimensions become VariantArrays (rebased to lower
// bound 0), our own objects are unwrapped to the shared object and any other object is carried
// as a ForeignObject. Kinds the shared value has no room for are narrowed: integral numbers that
// fit 32 bits become I4, other numbers, dates and currency their text in the user's locale.
// Outgoing values are new: the caller owns the BSTRs, arrays and references put into them.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <string>
#include <string_view>

#include "automation/variant.h"

namespace voziroz {

// S_OK, or DISP_E_TYPEMISMATCH for a kind that cannot be carried (a record, an array of more
// than two dimensions, an array of records or of decimals). Throws std::bad_alloc.
HRESULT FromComVariant(const VARIANT& in, Variant& out);

// Fills `out` (taken as holding nothing) with a new VARIANT. E_OUTOFMEMORY when the system
// cannot allocate; `out` is then VT_EMPTY.
HRESULT ToComVariant(const Variant& in, VARIANT& out);

// A new BSTR with the text; null when out of memory.
BSTR NewBstr(std::string_view ansi);
// The text of a BSTR (a null BSTR is the empty text).
std::string BstrToAnsi(BSTR text);

}  // namespace voziroz
