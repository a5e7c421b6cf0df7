#include "windows/com_call.h"

#include <new>

#include "windows/com_error.h"
#include "windows/com_object.h"
#include "windows/com_value.h"

namespace voziroz {
namespace {

std::uint16_t FlagsOf(MemberKind kind) {
  switch (kind) {
    case MemberKind::Method:
      return kInvokeMethod;
    case MemberKind::PropertyGet:
      return kInvokePropertyGet;
    case MemberKind::PropertyPut:
      return kInvokePropertyPut;
  }
  return kInvokeMethod;
}

// What an [out] pointer holds until the call succeeds: nothing.
void Clear(VARTYPE type, void* target) {
  switch (type) {
    case VT_VARIANT:
      VariantInit(static_cast<VARIANT*>(target));
      break;
    case VT_I4:
      *static_cast<LONG*>(target) = 0;
      break;
    case VT_BOOL:
      *static_cast<VARIANT_BOOL*>(target) = VARIANT_FALSE;
      break;
    case VT_BSTR:
      *static_cast<BSTR*>(target) = nullptr;
      break;
    default:
      *static_cast<SAFEARRAY**>(target) = nullptr;
      break;
  }
}

HRESULT StoreArray(const Variant& value, SAFEARRAY** target) {
  if (value.Kind() == VariantKind::NullArray) return S_OK;
  if (value.Kind() != VariantKind::Array) return DISP_E_TYPEMISMATCH;
  VARIANT array;
  const HRESULT status = ToComVariant(value, array);
  if (SUCCEEDED(status)) *target = V_ARRAY(&array);
  return status;
}

// Writes `value` through an [out] pointer of the given type.
HRESULT Store(const Variant& value, VARTYPE type, void* target) {
  switch (type) {
    case VT_VARIANT:
      return ToComVariant(value, *static_cast<VARIANT*>(target));
    case VT_I4: {
      std::int32_t number = 0;
      if (TryToInt32(value, number) != Conversion::Ok) return DISP_E_TYPEMISMATCH;
      *static_cast<LONG*>(target) = number;
      return S_OK;
    }
    case VT_BOOL: {
      bool flag = false;
      if (TryToBool(value, flag) != Conversion::Ok) return DISP_E_TYPEMISMATCH;
      *static_cast<VARIANT_BOOL*>(target) = flag ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    }
    case VT_BSTR: {
      std::string text;
      if (TryToText(value, text) != Conversion::Ok) return DISP_E_TYPEMISMATCH;
      BSTR made = NewBstr(text);
      if (!made) return E_OUTOFMEMORY;
      *static_cast<BSTR*>(target) = made;
      return S_OK;
    }
    default:
      return StoreArray(value, static_cast<SAFEARRAY**>(target));
  }
}

}  // namespace

ComCall::ComCall(AutomationObject& object, std::size_t member)
    : object_(object), member_(object.Class().Interface->Members[member]) {}

void ComCall::Add(const VARIANT& value) {
  if (FAILED(status_)) return;
  try {
    Variant converted;
    status_ = FromComVariant(value, converted);
    ins_.push_back(std::move(converted));
  } catch (const std::bad_alloc&) {
    status_ = E_OUTOFMEMORY;
  }
}

void ComCall::Add(LONG value) {
  ins_.push_back(Variant::I4(value));
}

void ComCall::Add(VARIANT_BOOL value) {
  ins_.push_back(Variant::Bool(value != VARIANT_FALSE));
}

void ComCall::Add(BSTR value) {
  try {
    ins_.push_back(Variant::Text(BstrToAnsi(value)));
  } catch (const std::bad_alloc&) {
    status_ = E_OUTOFMEMORY;
  }
}

void ComCall::Add(IUnknown* object) {
  try {
    ins_.push_back(object ? Variant::Object(AdoptComObject(object)) : Variant());
  } catch (const std::bad_alloc&) {
    status_ = E_OUTOFMEMORY;
  }
}

HRESULT ComCall::Run() {
  for (const OutSlot& out : outs_) {
    if (!out.Target) return E_POINTER;
    Clear(out.Type, out.Target);
  }
  if (FAILED(status_)) return status_;
  try {
    std::vector<Variant> args;
    std::size_t next_in = 0;
    for (const ParamInfo& param : member_.Params)
      args.push_back(param.Out ? Variant() : std::move(ins_.at(next_in++)));
    Variant result;
    const InvokeOutcome outcome = Invoke(object_, member_.Id, FlagsOf(member_.Kind), args, result);
    if (outcome.Status == kDispException) return SetSystemErrorInfo(outcome.Error);
    if (!outcome.Succeeded()) return outcome.Status;
    std::size_t slot = 0;
    HRESULT status = S_OK;
    for (std::size_t i = 0; i < args.size() && SUCCEEDED(status); ++i) {
      if (!member_.Params[i].Out) continue;
      const OutSlot& out = outs_.at(slot++);
      status = Store(args[i], out.Type, out.Target);
    }
    if (member_.Result != TypeKind::Void && SUCCEEDED(status))
      status = Store(result, outs_.at(slot).Type, outs_.at(slot).Target);
    return status;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {  // a function table that does not match the member's parameters
    return E_UNEXPECTED;
  }
}

}  // namespace voziroz
