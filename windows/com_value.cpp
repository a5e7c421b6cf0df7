#include "windows/com_value.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "engine/windows1252.h"
#include "windows/com_object.h"

namespace voziroz {
namespace {

// A shallow VARIANT holding the value that a VT_BYREF variant points to (nothing is copied or
// owned). VT_BYREF | VT_VARIANT is followed to the variant it designates.
const VARIANT* Dereferenced(const VARIANT& in, VARIANT& direct) {
  if (!(V_VT(&in) & VT_BYREF)) return &in;
  const VARTYPE type = V_VT(&in) & ~VT_BYREF;
  if (type == VT_VARIANT) return V_VARIANTREF(&in) ? V_VARIANTREF(&in) : nullptr;
  VariantInit(&direct);
  if (type == VT_DECIMAL) {
    direct.decVal = *V_DECIMALREF(&in);  // a DECIMAL covers the whole VARIANT, type field too
    V_VT(&direct) = VT_DECIMAL;
    return &direct;
  }
  if (type & VT_ARRAY) {
    V_ARRAY(&direct) = *V_ARRAYREF(&in);
  } else {
    switch (type) {
      case VT_I1:
      case VT_UI1:
        V_UI1(&direct) = *V_UI1REF(&in);
        break;
      case VT_I2:
      case VT_UI2:
      case VT_BOOL:
        V_I2(&direct) = *V_I2REF(&in);
        break;
      case VT_I4:
      case VT_UI4:
      case VT_INT:
      case VT_UINT:
      case VT_R4:
      case VT_ERROR:
        V_I4(&direct) = *V_I4REF(&in);
        break;
      case VT_I8:
      case VT_UI8:
      case VT_R8:
      case VT_CY:
      case VT_DATE:
        V_I8(&direct) = *V_I8REF(&in);
        break;
      case VT_BSTR:
        V_BSTR(&direct) = *V_BSTRREF(&in);
        break;
      case VT_UNKNOWN:
      case VT_DISPATCH:
        V_UNKNOWN(&direct) = *V_UNKNOWNREF(&in);
        break;
      default:
        return nullptr;
    }
  }
  V_VT(&direct) = type;
  return &direct;
}

// Numbers, dates and currency: an integral number that fits 32 bits becomes I4, anything else
// its text (a date is always text, never its serial number).
HRESULT Narrowed(const VARIANT& in, Variant& out) {
  if (V_VT(&in) != VT_DATE) {
    VARIANT number;
    VariantInit(&number);
    if (SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(&in), 0, VT_R8))) {
      const double d = V_R8(&number);
      if (std::trunc(d) == d && d >= std::numeric_limits<std::int32_t>::min() &&
          d <= std::numeric_limits<std::int32_t>::max()) {
        out = Variant::I4(static_cast<std::int32_t>(d));
        return S_OK;
      }
    }
  }
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&in), 0, VT_BSTR)))
    return DISP_E_TYPEMISMATCH;
  out = Variant::Text(BstrToAnsi(V_BSTR(&text)));
  VariantClear(&text);
  return S_OK;
}

// Reads the element at `indexes` of an array whose elements are of type `element`.
HRESULT FromElement(SAFEARRAY* array, VARTYPE element, LONG* indexes, Variant& out) {
  void* cell = nullptr;
  HRESULT status = SafeArrayPtrOfIndex(array, indexes, &cell);
  if (FAILED(status)) return status;
  VARIANT reference;
  VariantInit(&reference);
  V_VT(&reference) = static_cast<VARTYPE>(VT_BYREF | element);
  V_BYREF(&reference) = cell;
  return FromComVariant(reference, out);
}

HRESULT FromSafeArray(SAFEARRAY* array, Variant& out) {
  if (!array) {
    out = Variant::NullArray();
    return S_OK;
  }
  const UINT dimensions = SafeArrayGetDim(array);
  VARTYPE element = VT_EMPTY;
  if (dimensions < 1 || dimensions > 2 || FAILED(SafeArrayGetVartype(array, &element)) ||
      element == VT_RECORD || element == VT_DECIMAL)
    return DISP_E_TYPEMISMATCH;
  LONG lower[2] = {0, 0};
  LONG upper[2] = {-1, -1};
  for (UINT d = 0; d < dimensions; ++d) {
    SafeArrayGetLBound(array, d + 1, &lower[d]);
    SafeArrayGetUBound(array, d + 1, &upper[d]);
  }
  const std::int32_t rows = upper[0] - lower[0] + 1;
  if (dimensions == 1) {
    std::vector<Variant> elements(static_cast<std::size_t>(rows));
    for (std::int32_t i = 0; i < rows; ++i) {
      LONG index = lower[0] + i;
      if (HRESULT s = FromElement(array, element, &index, elements[i]); FAILED(s)) return s;
    }
    out = Variant::Array(VariantArray(std::move(elements)));
    return S_OK;
  }
  const std::int32_t columns = upper[1] - lower[1] + 1;
  VariantArray grid(rows, columns);
  for (std::int32_t r = 0; r < rows; ++r) {
    for (std::int32_t c = 0; c < columns; ++c) {
      LONG indexes[2] = {lower[0] + r, lower[1] + c};
      if (HRESULT s = FromElement(array, element, indexes, grid.At(r, c)); FAILED(s)) return s;
    }
  }
  out = Variant::Array(std::move(grid));
  return S_OK;
}

HRESULT FromDirect(const VARIANT& in, Variant& out) {
  if (V_VT(&in) & VT_ARRAY) return FromSafeArray(V_ARRAY(&in), out);
  switch (V_VT(&in)) {
    case VT_EMPTY:
      out = Variant();
      return S_OK;
    case VT_NULL:
      out = Variant::Null();
      return S_OK;
    case VT_I1:
      out = Variant::I1(V_I1(&in));
      return S_OK;
    case VT_UI1:
      out = Variant::UI1(V_UI1(&in));
      return S_OK;
    case VT_I4:
      out = Variant::I4(V_I4(&in));
      return S_OK;
    case VT_BOOL:
      out = Variant::Bool(V_BOOL(&in) != VARIANT_FALSE);
      return S_OK;
    case VT_ERROR:
      out = Variant::Error(V_ERROR(&in));
      return S_OK;
    case VT_BSTR:
      out = Variant::Text(BstrToAnsi(V_BSTR(&in)));
      return S_OK;
    case VT_UNKNOWN:
    case VT_DISPATCH:
      // A null reference (a script's Nothing) carries no value.
      out = V_UNKNOWN(&in) ? Variant::Object(AdoptComObject(V_UNKNOWN(&in))) : Variant();
      return S_OK;
    case VT_I2:
    case VT_UI2:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_DECIMAL:
      return Narrowed(in, out);
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

// Fills `out` with a new array of VARIANTs holding the elements.
HRESULT ToSafeArray(const VariantArray& array, VARIANT& out) {
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(array.Length()), 0},
                              {static_cast<ULONG>(array.Columns()), 0}};
  SAFEARRAY* made = SafeArrayCreate(VT_VARIANT, static_cast<UINT>(array.Dimensions()), bounds);
  if (!made) return E_OUTOFMEMORY;
  const std::int32_t columns = array.Dimensions() == 2 ? array.Columns() : 1;
  std::int32_t position = 0;
  for (const Variant& element : array.Elements()) {
    LONG indexes[2] = {position / columns, position % columns};
    ++position;
    void* cell = nullptr;
    HRESULT status = SafeArrayPtrOfIndex(made, indexes, &cell);
    if (SUCCEEDED(status)) status = ToComVariant(element, *static_cast<VARIANT*>(cell));
    if (FAILED(status)) {
      SafeArrayDestroy(made);
      return status;
    }
  }
  V_VT(&out) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&out) = made;
  return S_OK;
}

struct ToCom {
  VARIANT& out;

  HRESULT operator()(EmptyValue) const { return S_OK; }
  HRESULT operator()(NullValue) const { return Set(VT_NULL); }
  HRESULT operator()(std::int8_t v) const {
    V_I1(&out) = static_cast<CHAR>(v);
    return Set(VT_I1);
  }
  HRESULT operator()(std::uint8_t v) const {
    V_UI1(&out) = v;
    return Set(VT_UI1);
  }
  HRESULT operator()(std::int32_t v) const {
    V_I4(&out) = v;
    return Set(VT_I4);
  }
  HRESULT operator()(bool v) const {
    V_BOOL(&out) = v ? VARIANT_TRUE : VARIANT_FALSE;
    return Set(VT_BOOL);
  }
  HRESULT operator()(ErrorValue v) const {
    V_ERROR(&out) = v.Code;
    return Set(VT_ERROR);
  }
  HRESULT operator()(const std::string& v) const {
    V_BSTR(&out) = NewBstr(v);
    return V_BSTR(&out) ? Set(VT_BSTR) : E_OUTOFMEMORY;
  }
  HRESULT operator()(const ArrayPtr& v) const { return ToSafeArray(*v, out); }
  HRESULT operator()(NullArrayValue) const {
    V_ARRAY(&out) = nullptr;
    return Set(VT_ARRAY | VT_VARIANT);
  }
  HRESULT operator()(const ObjectPtr<AutomationObject>& v) const { return ComReferenceTo(v, out); }

  HRESULT Set(VARTYPE type) const {
    V_VT(&out) = type;
    return S_OK;
  }
};

}  // namespace

HRESULT FromComVariant(const VARIANT& in, Variant& out) {
  VARIANT direct;
  const VARIANT* value = Dereferenced(in, direct);
  return value ? FromDirect(*value, out) : DISP_E_TYPEMISMATCH;
}

HRESULT ToComVariant(const Variant& in, VARIANT& out) {
  VariantInit(&out);
  HRESULT status = E_OUTOFMEMORY;
  try {
    status = in.Visit(ToCom{out});
  } catch (const std::bad_alloc&) {
  }
  if (FAILED(status)) VariantInit(&out);
  return status;
}

BSTR NewBstr(std::string_view ansi) {
  try {
    const std::u16string wide = AnsiToUtf16(ansi);
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()),
                             static_cast<UINT>(wide.size()));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::string BstrToAnsi(BSTR text) {
  if (!text) return {};
  return Utf16ToAnsi(
      std::u16string_view(reinterpret_cast<const char16_t*>(text), SysStringLen(text)));
}

}  // namespace voziroz
