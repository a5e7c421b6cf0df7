#include "server/dispatch_bridge.h"

#include <string>
#include <vector>

#include "automation/dispatch.h"
#include "engine/windows1252.h"
#include "server/error_bridge.h"
#include "server/guids.h"
#include "server/variant_bridge.h"
#include "vozcom/c_boundary.h"

namespace voziroz {
namespace {

// The caller's arguments in declaration order, each with its place in rgvarg.
struct Arguments {
  std::vector<const VARIANT*> values;
  std::vector<UINT> positions;
};

HRESULT CollectArguments(const DISPPARAMS* params, WORD flags, Arguments& out) {
  if (!params) return S_OK;
  if ((params->cArgs > 0 && !params->rgvarg) || params->cNamedArgs > params->cArgs ||
      (params->cNamedArgs > 0 && !params->rgdispidNamedArgs))
    return E_INVALIDARG;
  const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
  const VARIANT* put_value = nullptr;
  UINT put_position = 0;
  for (UINT i = 0; i < params->cNamedArgs; ++i) {
    const DISPID name = params->rgdispidNamedArgs[i];
    if (name == DISPID_THIS) continue;
    if (name != DISPID_PROPERTYPUT || !put || put_value) return DISP_E_NONAMEDARGS;
    put_value = &params->rgvarg[i];
    put_position = i;
  }
  for (UINT i = params->cArgs; i-- > params->cNamedArgs;) {
    out.values.push_back(&params->rgvarg[i]);
    out.positions.push_back(i);
  }
  if (put_value) {
    out.values.push_back(put_value);
    out.positions.push_back(put_position);
  }
  return S_OK;
}

void SetArgumentError(UINT* argument_error, const Arguments& arguments, std::int32_t index) {
  if (argument_error && index >= 0 && static_cast<std::size_t>(index) < arguments.positions.size())
    *argument_error = arguments.positions[static_cast<std::size_t>(index)];
}

// Writes the [out] parameters back through the caller's VT_BYREF arguments.
void WriteBack(const MemberInfo& member, const Arguments& arguments,
               const std::vector<Variant>& values) {
  for (std::size_t i = 0; i < values.size() && i < member.Params.size(); ++i)
    if (member.Params[i].Out) WriteByRef(values[i], *arguments.values[i]);
}

HRESULT ReportException(const ErrorInfo& error, EXCEPINFO* exception) {
  if (exception)
    FillExceptionInfo(error, *exception);
  else
    SetErrorInfoOf(error);
  return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT GetIDsOfNamesOf(const InterfaceInfo& iface, LPOLESTR* names, UINT count, DISPID* ids) {
  if (count > 0 && (!names || !ids)) return E_INVALIDARG;
  return Guarded("Voziroz", [&] {
    std::vector<std::string> ansi;
    for (UINT i = 0; i < count; ++i)
      ansi.push_back(
          Utf16ToAnsi(names[i] ? std::u16string_view(reinterpret_cast<const char16_t*>(names[i]))
                               : std::u16string_view()));
    const std::vector<std::string_view> views(ansi.begin(), ansi.end());
    return GetIDsOfNames(iface, views, std::span<DISPID>(ids, count));
  });
}

HRESULT InvokeOf(AutomationObject& object, DISPID id, REFIID iid, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* exception, UINT* argument_error) {
  if (!iid || !SameGuid(iid, &IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  return Guarded("Voziroz", [&]() -> HRESULT {
    Arguments arguments;
    if (const HRESULT hr = CollectArguments(params, flags, arguments); FAILED(hr)) return hr;
    std::vector<Variant> values(arguments.values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (const HRESULT hr = FromVariant(*arguments.values[i], values[i]); FAILED(hr)) {
        SetArgumentError(argument_error, arguments, static_cast<std::int32_t>(i));
        return hr;
      }
    }
    Variant value;
    const InvokeOutcome outcome = Invoke(object, id, flags, values, value);
    if (outcome.Status == kDispException) return ReportException(outcome.Error, exception);
    if (!outcome.Succeeded()) {
      SetArgumentError(argument_error, arguments, outcome.ArgError);
      return outcome.Status;
    }
    WriteBack(*FindInvokedMember(*object.Class().Interface, id, flags), arguments, values);
    if (result) ToVariant(value, *result);
    return S_OK;
  });
}

}  // namespace voziroz
