#include "server/variant_bridge.h"

#include <cstring>
#include <limits>

#include "engine/windows1252.h"
#include "server/com_object.h"
#include "vozcom/c_boundary.h"

namespace voziroz {
namespace {

constexpr int kMaxDepth = 32;

HRESULT Convert(const VARIANT& in, Variant& out, int depth);

// The bytes a VT_BYREF of `base` points to; 0 for a kind that cannot be referenced here.
std::size_t ReferencedSize(VARTYPE base) {
  if (base & VT_ARRAY) return sizeof(SAFEARRAY*);
  switch (base) {
    case VT_I1:
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_ERROR:
    case VT_R4:
      return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
      return 8;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return sizeof(void*);
    default:
      return 0;
  }
}

HRESULT ConvertReference(const VARIANT& in, Variant& out, int depth) {
  const VARTYPE base = in.vt & ~VT_BYREF;
  if (!in.byref) return DISP_E_TYPEMISMATCH;
  if (base == VT_VARIANT) return Convert(*in.pvarVal, out, depth + 1);
  const std::size_t size = ReferencedSize(base);
  if (size == 0) return DISP_E_BADVARTYPE;
  VARIANT value{};
  value.vt = base;
  std::memcpy(&value.llVal, in.byref, size);
  return Convert(value, out, depth + 1);
}

HRESULT Integer(LONGLONG number, Variant& out) {
  if (number < std::numeric_limits<std::int32_t>::min() ||
      number > std::numeric_limits<std::int32_t>::max())
    return DISP_E_OVERFLOW;
  out = Variant::I4(static_cast<std::int32_t>(number));
  return S_OK;
}

HRESULT ConvertArray(const SAFEARRAY* array, Variant& out, int depth) {
  if (!array) {
    out = Variant::NullArray();
    return S_OK;
  }
  if (array->cDims < 1 || array->cDims > 2) return DISP_E_TYPEMISMATCH;
  for (USHORT d = 0; d < array->cDims; ++d)
    if (array->rgsabound[d].cElements > std::numeric_limits<std::int32_t>::max())
      return DISP_E_TYPEMISMATCH;
  const auto* elements = static_cast<const VARIANT*>(array->pvData);
  const auto rows = static_cast<std::int32_t>(array->rgsabound[array->cDims - 1].cElements);
  if (array->cDims == 1) {
    std::vector<Variant> values(static_cast<std::size_t>(rows));
    for (std::int32_t i = 0; i < rows; ++i)
      if (const HRESULT hr = Convert(elements[i], values[i], depth + 1); FAILED(hr)) return hr;
    out = Variant::Array(VariantArray(std::move(values)));
    return S_OK;
  }
  const auto columns = static_cast<std::int32_t>(array->rgsabound[0].cElements);
  VariantArray values(rows, columns);
  for (std::int32_t c = 0; c < columns; ++c)
    for (std::int32_t r = 0; r < rows; ++r)
      if (const HRESULT hr =
              Convert(elements[r + static_cast<std::size_t>(rows) * c], values.At(r, c), depth + 1);
          FAILED(hr))
        return hr;
  out = Variant::Array(std::move(values));
  return S_OK;
}

HRESULT ConvertObject(IUnknown* unknown, Variant& out) {
  if (!unknown) {
    out = Variant();
    return S_OK;
  }
  AutomationObject* object = ComObject::ObjectBehind(unknown);
  if (!object) return DISP_E_TYPEMISMATCH;
  out = Variant::Object(ObjectPtr<AutomationObject>(object));
  return S_OK;
}

HRESULT Convert(const VARIANT& in, Variant& out, int depth) {
  if (depth > kMaxDepth) return DISP_E_TYPEMISMATCH;
  if (in.vt & VT_BYREF) return ConvertReference(in, out, depth);
  if (in.vt & VT_ARRAY)
    return (in.vt & VT_TYPEMASK) == VT_VARIANT ? ConvertArray(in.parray, out, depth)
                                               : DISP_E_TYPEMISMATCH;
  switch (in.vt) {
    case VT_EMPTY:
      out = Variant();
      return S_OK;
    case VT_NULL:
      out = Variant::Null();
      return S_OK;
    case VT_I1:
      out = Variant::I1(static_cast<std::int8_t>(in.cVal));
      return S_OK;
    case VT_UI1:
      out = Variant::UI1(in.bVal);
      return S_OK;
    case VT_I2:
      return Integer(in.iVal, out);
    case VT_UI2:
      return Integer(in.uiVal, out);
    case VT_I4:
    case VT_INT:
      return Integer(in.lVal, out);
    case VT_UI4:
    case VT_UINT:
      return Integer(in.ulVal, out);
    case VT_I8:
      return Integer(in.llVal, out);
    case VT_UI8:
      return in.ullVal > std::numeric_limits<std::uint32_t>::max() ? DISP_E_OVERFLOW
                                                                   : Integer(in.llVal, out);
    case VT_BOOL:
      out = Variant::Bool(in.boolVal != 0);
      return S_OK;
    case VT_ERROR:
      out = Variant::Error(in.scode);
      return S_OK;
    case VT_BSTR:
      out = Variant::Text(Utf16ToAnsi(BstrView(in.bstrVal)));
      return S_OK;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return ConvertObject(in.punkVal, out);
    case VT_R4:
    case VT_R8:
    case 6:   // VT_CY
    case 7:   // VT_DATE
    case 14:  // VT_DECIMAL
      return DISP_E_TYPEMISMATCH;
    default:
      return DISP_E_BADVARTYPE;
  }
}

// Fills `out` (overwritten) and may throw; the caller cleans up.
void Fill(const Variant& value, VARIANT& out) {
  vz_variant_init(&out);
  value.Visit([&](const auto& v) {
    using T = std::decay_t<decltype(v)>;
    if constexpr (std::is_same_v<T, EmptyValue>) {
      out.vt = VT_EMPTY;
    } else if constexpr (std::is_same_v<T, NullValue>) {
      out.vt = VT_NULL;
    } else if constexpr (std::is_same_v<T, std::int8_t>) {
      out.vt = VT_I1;
      out.cVal = static_cast<CHAR>(v);
    } else if constexpr (std::is_same_v<T, std::uint8_t>) {
      out.vt = VT_UI1;
      out.bVal = v;
    } else if constexpr (std::is_same_v<T, std::int32_t>) {
      out.vt = VT_I4;
      out.lVal = v;
    } else if constexpr (std::is_same_v<T, bool>) {
      out.vt = VT_BOOL;
      out.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
    } else if constexpr (std::is_same_v<T, ErrorValue>) {
      out.vt = VT_ERROR;
      out.scode = v.Code;
    } else if constexpr (std::is_same_v<T, std::string>) {
      out.bstrVal = NewBstr(AnsiToUtf16(v));
      out.vt = VT_BSTR;
    } else if constexpr (std::is_same_v<T, ArrayPtr> || std::is_same_v<T, NullArrayValue>) {
      out.parray = ToSafeArray(value);
      out.vt = VT_ARRAY | VT_VARIANT;
    } else {
      static_assert(std::is_same_v<T, ObjectPtr<AutomationObject>>);
      out.pdispVal = ComObject::DispatchFor(v);
      out.vt = VT_DISPATCH;
    }
  });
}

}  // namespace

HRESULT FromVariant(const VARIANT& in, Variant& out) {
  return Convert(in, out, 0);
}

void ToVariant(const Variant& value, VARIANT& out) {
  try {
    Fill(value, out);
  } catch (...) {
    vz_variant_clear(&out);
    throw;
  }
}

SAFEARRAY* ToSafeArray(const Variant& value) {
  if (value.Kind() == VariantKind::NullArray) return nullptr;
  const VariantArray& array = value.AsArray();
  const std::int32_t rows = array.Length();
  const std::int32_t columns = array.Dimensions() == 2 ? array.Columns() : 1;
  const SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 0},
                                    {static_cast<ULONG>(columns), 0}};
  SAFEARRAY* made = vz_safearray_create(VT_VARIANT, array.Dimensions(), bounds);
  if (!made) throw std::bad_alloc();
  auto* elements = static_cast<VARIANT*>(made->pvData);
  try {
    for (std::int32_t r = 0; r < rows; ++r)
      for (std::int32_t c = 0; c < columns; ++c)
        ToVariant(array.Dimensions() == 2 ? array.At(r, c) : array[r],
                  elements[r + static_cast<std::size_t>(rows) * c]);
  } catch (...) {
    vz_safearray_destroy(made);
    throw;
  }
  return made;
}

bool WriteByRef(const Variant& value, const VARIANT& argument) {
  if (!(argument.vt & VT_BYREF) || !argument.byref) return false;
  switch (argument.vt & ~VT_BYREF) {
    case VT_VARIANT: {
      VARIANT made;
      ToVariant(value, made);
      vz_variant_clear(argument.pvarVal);
      *argument.pvarVal = made;
      return true;
    }
    case VT_BSTR: {
      std::string text;
      if (TryToText(value, text) != Conversion::Ok) return false;
      BSTR made = NewBstr(AnsiToUtf16(text));
      vz_bstr_free(*argument.pbstrVal);
      *argument.pbstrVal = made;
      return true;
    }
    case VT_I4: {
      std::int32_t number = 0;
      if (TryToInt32(value, number) != Conversion::Ok) return false;
      *argument.plVal = number;
      return true;
    }
    case VT_BOOL: {
      bool flag = false;
      if (TryToBool(value, flag) != Conversion::Ok) return false;
      *argument.pboolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace voziroz
