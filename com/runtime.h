// The runtime seam: the few services of the automation runtime that the core uses, taken from
// libvozcom on Linux (runtime_vozcom.cpp) and from oleaut32 on Windows (runtime_oleaut.cpp).
//
// Errors: the functions that allocate throw std::bad_alloc when memory runs out; ChangeType
// answers with the runtime's status.
#pragma once

#include <string_view>

#include "com/platform.h"

namespace voziroz {

// A new BSTR holding `text`.
BSTR NewBstr(std::u16string_view text);
// The characters of a BSTR (empty for a null BSTR).
std::u16string_view BstrView(BSTR text);
void FreeBstr(BSTR text);

// Makes `value` VT_EMPTY without freeing anything.
void InitVariant(VARIANT& value);
// Frees what `value` owns and makes it VT_EMPTY.
void ClearVariant(VARIANT& value);

// A new array of VT_EMPTY VARIANTs with one or two dimensions, bounds first dimension first.
SAFEARRAY* NewVariantArray(UINT dimensions, const SAFEARRAYBOUND* bounds);
// Clears every element and frees the array (nothing for null).
void DestroyArray(SAFEARRAY* array);
// The type of an array's elements; VT_EMPTY when the runtime cannot tell.
VARTYPE ArrayElementType(SAFEARRAY* array);

// Makes the error the calling thread's error information (interface IUnknown's GUID). Never
// throws; when memory runs out the thread is left without error information.
void SetThreadErrorInfo(std::u16string_view source, std::u16string_view description,
                        DWORD help_context) noexcept;
void ClearThreadErrorInfo() noexcept;

// The runtime's coercion of a floating-point, currency, date or decimal value `in` (not by
// reference) to VT_I4 (rounded half to even), VT_BOOL or VT_BSTR, into `out` (overwritten).
// S_OK, DISP_E_OVERFLOW for a number out of range, DISP_E_TYPEMISMATCH for what cannot convert.
HRESULT ChangeType(VARIANT& out, const VARIANT& in, VARTYPE type);

}  // namespace voziroz
