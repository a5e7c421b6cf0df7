// The runtime seam on Linux: libvozcom's strings, variants, arrays and error information, and
// the coercion of floating-point numbers that vozcom leaves to its callers.
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <string>

#include "com/runtime.h"

namespace voziroz {
namespace {

constexpr VARTYPE kCurrency = 6;  // VT_CY: a 64-bit integer of ten-thousandths

// The number a floating-point or currency value holds; false for other kinds.
bool NumberOf(const VARIANT& in, double& number, int& digits) {
  switch (in.vt) {
    case VT_R4:
      number = in.fltVal;
      digits = 7;
      return true;
    case VT_R8:
      number = in.dblVal;
      digits = 15;
      return true;
    case kCurrency:
      number = static_cast<double>(in.llVal) / 10000;
      digits = 15;
      return true;
    default:
      return false;
  }
}

}  // namespace

BSTR NewBstr(std::u16string_view text) {
  BSTR bstr = vz_bstr_alloc_len(reinterpret_cast<const OLECHAR*>(text.data()),
                                static_cast<UINT>(text.size()));
  if (!bstr) throw std::bad_alloc();
  return bstr;
}

std::u16string_view BstrView(BSTR text) {
  return {reinterpret_cast<const char16_t*>(text), vz_bstr_len(text)};
}

void FreeBstr(BSTR text) {
  vz_bstr_free(text);
}

void InitVariant(VARIANT& value) {
  vz_variant_init(&value);
}

void ClearVariant(VARIANT& value) {
  vz_variant_clear(&value);
}

SAFEARRAY* NewVariantArray(UINT dimensions, const SAFEARRAYBOUND* bounds) {
  SAFEARRAY* made = vz_safearray_create(VT_VARIANT, dimensions, bounds);
  if (!made) throw std::bad_alloc();
  return made;
}

void DestroyArray(SAFEARRAY* array) {
  vz_safearray_destroy(array);
}

VARTYPE ArrayElementType(SAFEARRAY* array) {
  return array->fFeatures & FADF_VARIANT ? VT_VARIANT : VT_EMPTY;
}

void SetThreadErrorInfo(std::u16string_view source, std::u16string_view description,
                        DWORD help_context) noexcept {
  IErrorInfo* info = nullptr;
  try {
    const std::u16string source_text(source);
    const std::u16string description_text(description);
    vz_create_error_info(&IID_IUnknown, reinterpret_cast<const OLECHAR*>(source_text.c_str()),
                         reinterpret_cast<const OLECHAR*>(description_text.c_str()), help_context,
                         &info);
  } catch (...) {
    info = nullptr;
  }
  vz_set_error_info(0, info);
  if (info) info->lpVtbl->Release(info);
}

void ClearThreadErrorInfo() noexcept {
  vz_set_error_info(0, nullptr);
}

HRESULT ChangeType(VARIANT& out, const VARIANT& in, VARTYPE type) {
  double number = 0;
  int digits = 0;
  if (!NumberOf(in, number, digits)) return DISP_E_TYPEMISMATCH;
  vz_variant_init(&out);
  switch (type) {
    case VT_I4: {
      const double rounded = std::nearbyint(number);  // the default mode rounds half to even
      if (!(rounded >= std::numeric_limits<LONG>::min() &&
            rounded <= std::numeric_limits<LONG>::max()))
        return DISP_E_OVERFLOW;
      out.lVal = static_cast<LONG>(rounded);
      out.vt = VT_I4;
      return S_OK;
    }
    case VT_BOOL:
      out.boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      out.vt = VT_BOOL;
      return S_OK;
    case VT_BSTR: {
      char text[32];
      std::snprintf(text, sizeof text, "%.*G", digits, number);
      out.bstrVal = vz_bstr_from_utf8(text);
      if (!out.bstrVal) throw std::bad_alloc();
      out.vt = VT_BSTR;
      return S_OK;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

}  // namespace voziroz
