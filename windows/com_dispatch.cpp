// IDispatch of the COM objects: names and calls go to the shared dispatcher.
#include <cwchar>
#include <string>
#include <vector>

#include "engine/windows1252.h"
#include "windows/com_error.h"
#include "windows/com_object.h"
#include "windows/com_value.h"

namespace voziroz {
namespace {

bool IsPut(WORD flags) {
  return flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
}

// Only a property put may name an argument, and only its value (DISPID_PROPERTYPUT).
bool NamedArgumentsAllowed(WORD flags, const DISPPARAMS& params) {
  if (params.cNamedArgs == 0) return true;
  return IsPut(flags) && params.cNamedArgs == 1 && params.rgdispidNamedArgs &&
         params.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
}

// Writes an [out] argument back into the caller's variable (VT_BYREF | VT_VARIANT or
// VT_BYREF | VT_BSTR); an argument passed by value is left alone.
HRESULT WriteBack(const Variant& value, VARIANT& argument) {
  if (V_VT(&argument) == (VT_BYREF | VT_VARIANT)) {
    VARIANT fresh;
    const HRESULT status = ToComVariant(value, fresh);
    if (FAILED(status)) return status;
    VariantClear(V_VARIANTREF(&argument));
    *V_VARIANTREF(&argument) = fresh;
    return S_OK;
  }
  if (V_VT(&argument) == (VT_BYREF | VT_BSTR)) {
    std::string text;
    if (TryToText(value, text) != Conversion::Ok) return DISP_E_TYPEMISMATCH;
    BSTR fresh = NewBstr(text);
    if (!fresh) return E_OUTOFMEMORY;
    SysFreeString(*V_BSTRREF(&argument));
    *V_BSTRREF(&argument) = fresh;
  }
  return S_OK;
}

// The caller's arguments, first parameter first (DISPPARAMS holds them last first).
HRESULT ReadArguments(const DISPPARAMS& params, std::vector<Variant>& args, UINT* arg_error) {
  const UINT count = params.cArgs;
  args.resize(count);
  for (UINT i = 0; i < count; ++i) {
    const HRESULT status = FromComVariant(params.rgvarg[count - 1 - i], args[i]);
    if (FAILED(status)) {
      if (arg_error) *arg_error = count - 1 - i;
      return status;
    }
  }
  return S_OK;
}

HRESULT WriteBackOutArguments(const MemberInfo& member, DISPPARAMS& params,
                              const std::vector<Variant>& args) {
  const UINT count = params.cArgs;
  for (UINT i = 0; i < count && i < member.Params.size(); ++i) {
    if (!member.Params[i].Out) continue;
    const HRESULT status = WriteBack(args[i], params.rgvarg[count - 1 - i]);
    if (FAILED(status)) return status;
  }
  return S_OK;
}

}  // namespace

HRESULT ComObjectCore::DispatchGetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (count == 0) return S_OK;
  if (!names || !ids) return E_INVALIDARG;
  try {
    std::vector<std::string> texts;
    for (UINT i = 0; i < count; ++i) {
      const auto* name = reinterpret_cast<const char16_t*>(names[i]);
      texts.push_back(name ? Utf16ToAnsi(std::u16string_view(name, std::wcslen(names[i])))
                           : std::string());
    }
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    std::vector<DispId> found(count);
    const HResult status = GetIDsOfNames(*Object().Class().Interface, views, found);
    std::copy(found.begin(), found.end(), ids);
    return status;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT ComObjectCore::DispatchInvoke(DISPID id, REFIID iid, WORD flags, DISPPARAMS* params,
                                      VARIANT* result, EXCEPINFO* exception, UINT* arg_error) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!params || (params->cArgs && !params->rgvarg)) return E_INVALIDARG;
  if (!NamedArgumentsAllowed(flags, *params)) return DISP_E_NONAMEDARGS;
  try {
    std::vector<Variant> args;
    HRESULT status = ReadArguments(*params, args, arg_error);
    if (FAILED(status)) return status;
    Variant value;
    const InvokeOutcome outcome = Invoke(Object(), id, flags, args, value);
    if (outcome.Status == kDispException) {
      if (exception)
        FillExcepInfo(outcome.Error, *exception);
      else
        SetSystemErrorInfo(outcome.Error);
      return DISP_E_EXCEPTION;
    }
    if (!outcome.Succeeded()) {
      if (outcome.ArgError >= 0 && arg_error)
        *arg_error = params->cArgs - 1 - static_cast<UINT>(outcome.ArgError);
      return outcome.Status;
    }
    status = WriteBackOutArguments(*FindInvokedMember(*Object().Class().Interface, id, flags),
                                   *params, args);
    if (SUCCEEDED(status) && result) status = ToComVariant(value, *result);
    return status;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace voziroz
