#include "com/value_bridge.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "automation/script_text.h"
#include "com/com_object.h"
#include "com/foreign_object.h"
#include "com/runtime.h"
#include "engine/windows1252.h"

namespace voziroz {
namespace {

constexpr int kMaxDepth = 32;
// Kinds that include/voziroz.h does not name.
constexpr VARTYPE kCurrency = 6;
constexpr VARTYPE kDate = 7;
constexpr VARTYPE kDecimal = 14;
constexpr VARTYPE kRecord = 36;
constexpr std::size_t kDecimalSize = 16;  // a DECIMAL fills a VARIANT's first 16 bytes

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
    case kCurrency:
    case kDate:
      return 8;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return sizeof(void*);
    default:
      return 0;
  }
}

// A shallow VARIANT holding what a VT_BYREF (other than to a VARIANT) points to.
HRESULT Dereferenced(const VARIANT& in, VARIANT& direct) {
  const VARTYPE base = in.vt & ~VT_BYREF;
  InitVariant(direct);
  if (base == kDecimal) {
    std::memcpy(static_cast<void*>(&direct), in.byref, kDecimalSize);
  } else {
    const std::size_t size = ReferencedSize(base);
    if (size == 0) return DISP_E_BADVARTYPE;
    std::memcpy(&direct.llVal, in.byref, size);
  }
  direct.vt = base;
  return S_OK;
}

HRESULT ConvertReference(const VARIANT& in, Variant& out, int depth) {
  if (!in.byref) return DISP_E_TYPEMISMATCH;
  if ((in.vt & ~VT_BYREF) == VT_VARIANT) return Convert(*in.pvarVal, out, depth + 1);
  VARIANT direct;
  if (const HRESULT hr = Dereferenced(in, direct); FAILED(hr)) return hr;
  return Convert(direct, out, depth + 1);
}

// A whole number: I4 when it fits 32 bits, else its decimal text.
template <class Number>
void Integer(Number number, Variant& out) {
  out = std::in_range<std::int32_t>(number) ? Variant::I4(static_cast<std::int32_t>(number))
                                            : Variant::Text(std::to_string(number));
}

// The whole number a floating-point or currency value holds, if it holds one that fits.
bool WholeNumber(const VARIANT& in, std::int32_t& number) {
  double value = 0;
  if (in.vt == VT_R4)
    value = in.fltVal;
  else if (in.vt == VT_R8)
    value = in.dblVal;
  else if (in.vt == kCurrency && in.llVal % 10000 == 0)
    value = static_cast<double>(in.llVal / 10000);
  else
    return false;
  if (!(std::trunc(value) == value && value >= std::numeric_limits<std::int32_t>::min() &&
        value <= std::numeric_limits<std::int32_t>::max()))
    return false;
  number = static_cast<std::int32_t>(value);
  return true;
}

// The result of the runtime's coercion as a Variant.
HRESULT Coerced(const VARIANT& in, VARTYPE type, Variant& out) {
  VARIANT converted;
  const HRESULT status = ChangeType(converted, in, type);
  if (FAILED(status)) return status;
  const HRESULT read = Convert(converted, out, 0);
  ClearVariant(converted);
  return read;
}

// Numbers, dates and currency where any value may go: I4 for a whole number that fits, else the
// text (a date always as text).
HRESULT Narrowed(const VARIANT& in, Variant& out) {
  std::int32_t number = 0;
  if (WholeNumber(in, number)) {
    out = Variant::I4(number);
    return S_OK;
  }
  return Coerced(in, VT_BSTR, out);
}

HRESULT ConvertArray(SAFEARRAY* array, Variant& out, int depth) {
  if (!array) {
    out = Variant::NullArray();
    return S_OK;
  }
  const VARTYPE element = ArrayElementType(array);
  if (array->cDims < 1 || array->cDims > 2 || !array->pvData || element == VT_EMPTY ||
      element == kRecord || (element != VT_VARIANT && ReferencedSize(element) == 0))
    return DISP_E_TYPEMISMATCH;
  for (USHORT d = 0; d < array->cDims; ++d)
    if (array->rgsabound[d].cElements > std::numeric_limits<std::int32_t>::max())
      return DISP_E_TYPEMISMATCH;
  // rgsabound holds the last dimension first; the first index varies fastest in memory.
  const auto rows = static_cast<std::int32_t>(array->rgsabound[array->cDims - 1].cElements);
  const std::int32_t columns =
      array->cDims == 2 ? static_cast<std::int32_t>(array->rgsabound[0].cElements) : 1;
  auto cell = [&](std::int32_t r, std::int32_t c, Variant& value) {
    VARIANT reference;
    InitVariant(reference);
    reference.vt = static_cast<VARTYPE>(VT_BYREF | element);
    reference.byref = static_cast<BYTE*>(array->pvData) +
                      (r + static_cast<std::size_t>(rows) * c) * array->cbElements;
    return Convert(reference, value, depth + 1);
  };
  if (array->cDims == 1) {
    std::vector<Variant> values(static_cast<std::size_t>(rows));
    for (std::int32_t r = 0; r < rows; ++r)
      if (const HRESULT hr = cell(r, 0, values[r]); FAILED(hr)) return hr;
    out = Variant::Array(VariantArray(std::move(values)));
    return S_OK;
  }
  VariantArray values(rows, columns);
  for (std::int32_t c = 0; c < columns; ++c)
    for (std::int32_t r = 0; r < rows; ++r)
      if (const HRESULT hr = cell(r, c, values.At(r, c)); FAILED(hr)) return hr;
  out = Variant::Array(std::move(values));
  return S_OK;
}

HRESULT ConvertObject(IUnknown* unknown, Variant& out) {
  if (!unknown) {
    out = Variant();
    return S_OK;
  }
  AutomationObject* ours = ComObject::ObjectBehind(unknown);
  out = ours ? Variant::Object(ObjectPtr<AutomationObject>(ours))
             : Variant::Object(MakeObject<ForeignObject>(unknown));
  return S_OK;
}

HRESULT Convert(const VARIANT& in, Variant& out, int depth) {
  if (depth > kMaxDepth) return DISP_E_TYPEMISMATCH;
  if (in.vt & VT_BYREF) return ConvertReference(in, out, depth);
  if (in.vt & VT_ARRAY) return ConvertArray(in.parray, out, depth);
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
      out = Variant::I4(in.iVal);
      return S_OK;
    case VT_UI2:
      out = Variant::I4(in.uiVal);
      return S_OK;
    case VT_I4:
    case VT_INT:
      out = Variant::I4(in.lVal);
      return S_OK;
    case VT_UI4:
    case VT_UINT:
      Integer(in.ulVal, out);
      return S_OK;
    case VT_I8:
      Integer(in.llVal, out);
      return S_OK;
    case VT_UI8:
      Integer(in.ullVal, out);
      return S_OK;
    case VT_BOOL:
      out = Variant::Bool(in.boolVal != 0);
      return S_OK;
    case VT_ERROR:
      out = Variant::Error(in.scode);
      return S_OK;
    case VT_BSTR:
      out = ScriptText(BstrView(in.bstrVal));
      return S_OK;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return ConvertObject(in.punkVal, out);
    case VT_R4:
    case VT_R8:
    case kCurrency:
    case kDate:
    case kDecimal:
      return Narrowed(in, out);
    case kRecord:
      return DISP_E_TYPEMISMATCH;
    default:
      return DISP_E_BADVARTYPE;
  }
}

// The kind a declared parameter type is coerced to by the runtime; VT_EMPTY for none.
VARTYPE CoercionOf(TypeKind declared) {
  switch (declared) {
    case TypeKind::I4:
      return VT_I4;
    case TypeKind::Bool:
      return VT_BOOL;
    case TypeKind::Bstr:
      return VT_BSTR;
    default:
      return VT_EMPTY;
  }
}

bool NeedsRuntimeCoercion(VARTYPE kind) {
  return kind == VT_R4 || kind == VT_R8 || kind == kCurrency || kind == kDate || kind == kDecimal;
}

HRESULT ForeignReference(const ForeignObject& object, VARIANT& out) {
  IUnknown* unknown = object.Get();
  IDispatch* dispatch = nullptr;
  if (SUCCEEDED(unknown->lpVtbl->QueryInterface(unknown, RefIid(IID_IDispatch),
                                                reinterpret_cast<void**>(&dispatch))) &&
      dispatch) {
    out.pdispVal = dispatch;
    out.vt = VT_DISPATCH;
    return S_OK;
  }
  unknown->lpVtbl->AddRef(unknown);
  out.punkVal = unknown;
  out.vt = VT_UNKNOWN;
  return S_OK;
}

// Fills `out` (overwritten) and may throw; the caller cleans up.
void Fill(const Variant& value, VARIANT& out) {
  InitVariant(out);
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
      if (const auto* foreign = dynamic_cast<const ForeignObject*>(v.get())) {
        ForeignReference(*foreign, out);
      } else {
        out.pdispVal = ComObject::DispatchFor(v);
        out.vt = VT_DISPATCH;
      }
    }
  });
}

// The status of a failed conversion of the core.
HRESULT StatusOf(Conversion conversion) {
  return conversion == Conversion::Overflow ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
}

template <class Number>
HRESULT StoreNumber(std::int32_t number, void* target) {
  if constexpr (std::is_integral_v<Number>)
    if (!std::in_range<Number>(number)) return DISP_E_OVERFLOW;
  *static_cast<Number*>(target) = static_cast<Number>(number);
  return S_OK;
}

// Stores a number into a referenced integer or floating-point kind.
HRESULT StoreNumberOfKind(const Variant& value, VARTYPE kind, void* target) {
  std::int32_t number = 0;
  if (const Conversion c = TryToInt32(value, number); c != Conversion::Ok) return StatusOf(c);
  switch (kind) {
    case VT_I1:
      return StoreNumber<std::int8_t>(number, target);
    case VT_UI1:
      return StoreNumber<std::uint8_t>(number, target);
    case VT_I2:
      return StoreNumber<std::int16_t>(number, target);
    case VT_UI2:
      return StoreNumber<std::uint16_t>(number, target);
    case VT_UI4:
    case VT_UINT:
      return StoreNumber<std::uint32_t>(number, target);
    case VT_R4:
      return StoreNumber<float>(number, target);
    case VT_R8:
      return StoreNumber<double>(number, target);
    default:
      return StoreNumber<std::int32_t>(number, target);
  }
}

}  // namespace

HRESULT FromVariant(const VARIANT& in, Variant& out) {
  return Convert(in, out, 0);
}

HRESULT FromArgument(const VARIANT& in, TypeKind declared, Variant& out) {
  const VARTYPE target = CoercionOf(declared);
  if (target == VT_EMPTY) return FromVariant(in, out);
  VARIANT direct;
  const VARIANT* value = &in;
  if ((in.vt & VT_BYREF) && in.byref && (in.vt & ~VT_BYREF) != VT_VARIANT) {
    if (FAILED(Dereferenced(in, direct))) return FromVariant(in, out);
    value = &direct;
  } else if (in.vt == (VT_BYREF | VT_VARIANT) && in.pvarVal) {
    value = in.pvarVal;
  }
  return NeedsRuntimeCoercion(value->vt) ? Coerced(*value, target, out) : FromVariant(in, out);
}

void ToVariant(const Variant& value, VARIANT& out) {
  try {
    Fill(value, out);
  } catch (...) {
    ClearVariant(out);
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
  SAFEARRAY* made = NewVariantArray(static_cast<UINT>(array.Dimensions()), bounds);
  auto* elements = static_cast<VARIANT*>(made->pvData);
  try {
    for (std::int32_t r = 0; r < rows; ++r)
      for (std::int32_t c = 0; c < columns; ++c)
        ToVariant(array.Dimensions() == 2 ? array.At(r, c) : array[r],
                  elements[r + static_cast<std::size_t>(rows) * c]);
  } catch (...) {
    DestroyArray(made);
    throw;
  }
  return made;
}

bool CanWriteByRef(const VARIANT& argument) {
  if (!(argument.vt & VT_BYREF) || !argument.byref) return false;
  switch (argument.vt & ~VT_BYREF) {
    case VT_VARIANT:
    case VT_BSTR:
    case VT_BOOL:
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
      return true;
    default:
      return false;
  }
}

HRESULT WriteByRef(const Variant& value, const VARIANT& argument) {
  if (!CanWriteByRef(argument)) return DISP_E_TYPEMISMATCH;
  const VARTYPE kind = argument.vt & ~VT_BYREF;
  if (kind == VT_VARIANT) {
    VARIANT made;
    ToVariant(value, made);
    ClearVariant(*argument.pvarVal);
    *argument.pvarVal = made;
    return S_OK;
  }
  if (kind == VT_BSTR) {
    std::string text;
    if (const Conversion c = TryToText(value, text); c != Conversion::Ok) return StatusOf(c);
    BSTR made = NewBstr(AnsiToUtf16(text));
    FreeBstr(*argument.pbstrVal);
    *argument.pbstrVal = made;
    return S_OK;
  }
  if (kind == VT_BOOL) {
    bool flag = false;
    if (const Conversion c = TryToBool(value, flag); c != Conversion::Ok) return StatusOf(c);
    *argument.pboolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  return StoreNumberOfKind(value, kind, argument.byref);
}

}  // namespace voziroz
