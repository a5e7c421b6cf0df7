// VARIANTs: what each kind owns, and how it is freed and copied.
#include "vozcom/c_boundary.h"

namespace {

// Kinds that own nothing: clearing forgets them, copying copies their bits.
bool IsPlainKind(VARTYPE vt) {
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case 6:  // VT_CY
    case 7:  // VT_DATE
    case VT_ERROR:
    case VT_BOOL:
    case 14:  // VT_DECIMAL
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

bool IsKnownKind(VARTYPE vt) {
  if (vt & VT_BYREF) return true;  // points to something the variant does not own
  if (vt & VT_ARRAY) return (vt & VT_TYPEMASK) == VT_VARIANT;
  return IsPlainKind(vt) || vt == VT_BSTR || vt == VT_DISPATCH || vt == VT_UNKNOWN;
}

}  // namespace

extern "C" {

VZ_API void vz_variant_init(VARIANT* value) {
  if (!value) return;
  value->vt = VT_EMPTY;
  value->wReserved1 = value->wReserved2 = value->wReserved3 = 0;
  value->llVal = 0;
}

VZ_API HRESULT vz_variant_clear(VARIANT* value) {
  if (!value) return E_INVALIDARG;
  if (!IsKnownKind(value->vt)) return DISP_E_BADVARTYPE;
  if (value->vt == VT_BSTR) vz_bstr_free(value->bstrVal);
  if ((value->vt == VT_DISPATCH || value->vt == VT_UNKNOWN) && value->punkVal)
    value->punkVal->lpVtbl->Release(value->punkVal);
  if (value->vt & VT_ARRAY && !(value->vt & VT_BYREF)) vz_safearray_destroy(value->parray);
  vz_variant_init(value);
  return S_OK;
}

VZ_API HRESULT vz_variant_copy(VARIANT* destination, const VARIANT* source) {
  if (!destination || !source) return E_INVALIDARG;
  if (destination == source) return S_OK;
  if (!IsKnownKind(source->vt)) return DISP_E_BADVARTYPE;
  const HRESULT cleared = vz_variant_clear(destination);
  if (FAILED(cleared)) return cleared;
  VARIANT copy = *source;
  if (source->vt == VT_BSTR && source->bstrVal) {
    copy.bstrVal = vz_bstr_alloc_len(source->bstrVal, vz_bstr_len(source->bstrVal));
    if (!copy.bstrVal) return E_OUTOFMEMORY;
  }
  if ((source->vt & (VT_ARRAY | VT_BYREF)) == VT_ARRAY) {
    const HRESULT copied = vz_safearray_copy(source->parray, &copy.parray);
    if (FAILED(copied)) return copied;
  }
  if ((source->vt == VT_DISPATCH || source->vt == VT_UNKNOWN) && source->punkVal)
    source->punkVal->lpVtbl->AddRef(source->punkVal);
  *destination = copy;
  return S_OK;
}

}  // extern "C"
