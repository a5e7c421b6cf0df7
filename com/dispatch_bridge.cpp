#include "com/dispatch_bridge.h"

#include <string>
#include <vector>

#include "automation/dispatch.h"
#include "com/error_bridge.h"
#include "com/guard.h"
#include "com/guids.h"
#include "com/value_bridge.h"
#include "engine/windows1252.h"

namespace voziroz {
namespace {

// The caller's arguments in declaration order, each with its place in rgvarg.
struct Arguments {
  std::vector<const VARIANT*> values;
  std::vector<UINT> positions;
};

HRESULT CollectArguments(const DISPPARAMS& params, WORD flags, Arguments& out) {
  if ((params.cArgs > 0 && !params.rgvarg) || params.cNamedArgs > params.cArgs ||
      (params.cNamedArgs > 0 && !params.rgdispidNamedArgs))
    return E_INVALIDARG;
  const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
  const VARIANT* put_value = nullptr;
  UINT put_position = 0;
  for (UINT i = 0; i < params.cNamedArgs; ++i) {
    const DISPID name = params.rgdispidNamedArgs[i];
    if (name == DISPID_THIS) continue;
    if (name != DISPID_PROPERTYPUT || !put || put_value) return DISP_E_NONAMEDARGS;
    put_value = &params.rgvarg[i];
    put_position = i;
  }
  for (UINT i = params.cArgs; i-- > params.cNamedArgs;) {
    out.values.push_back(&params.rgvarg[i]);
    out.positions.push_back(i);
  }
  if (put_value) {
    out.values.push_back(put_value);
    out.positions.push_back(put_position);
  }
  return S_OK;
}

HRESULT Refuse(HRESULT status, UINT* argument_error, const Arguments& arguments,
               std::int32_t index) {
  if (argument_error && index >= 0 && static_cast<std::size_t>(index) < arguments.positions.size())
    *argument_error = arguments.positions[static_cast<std::size_t>(index)];
  return status;
}

// The declared type of the argument at `index`; VARIANT where the member has no such parameter.
TypeKind DeclaredType(const MemberInfo* member, std::size_t index) {
  return member && index < member->Params.size() ? member->Params[index].Type : TypeKind::Variant;
}

bool IsOutParameter(const MemberInfo& member, std::size_t index) {
  return index < member.Params.size() && member.Params[index].Out;
}

// The caller's arguments as Variants of their declared types.
HRESULT ReadArguments(const MemberInfo* member, const Arguments& arguments,
                      std::vector<Variant>& values, UINT* argument_error) {
  values.resize(arguments.values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    const VARIANT& argument = *arguments.values[i];
    HRESULT status = FromArgument(argument, DeclaredType(member, i), values[i]);
    // An [out] argument by reference must be a variable that can take the value.
    if (SUCCEEDED(status) && member && IsOutParameter(*member, i) && (argument.vt & VT_BYREF) &&
        !CanWriteByRef(argument))
      status = DISP_E_TYPEMISMATCH;
    if (FAILED(status))
      return Refuse(status, argument_error, arguments, static_cast<std::int32_t>(i));
  }
  return S_OK;
}

// Writes the [out] parameters back through the caller's VT_BYREF arguments; one passed by value
// (as JScript passes everything) is left alone.
HRESULT WriteBack(const MemberInfo& member, const Arguments& arguments,
                  const std::vector<Variant>& values, UINT* argument_error) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!IsOutParameter(member, i) || !(arguments.values[i]->vt & VT_BYREF)) continue;
    if (const HRESULT status = WriteByRef(values[i], *arguments.values[i]); FAILED(status))
      return Refuse(status, argument_error, arguments, static_cast<std::int32_t>(i));
  }
  return S_OK;
}

HRESULT ReportException(const ErrorInfo& error, EXCEPINFO* exception) {
  if (exception)
    FillExceptionInfo(error, *exception);
  else
    SetErrorInfoOf(error);
  return DISP_E_EXCEPTION;
}

// A NUL-terminated OLE string.
std::u16string_view OleText(LPOLESTR text) {
  if (!text) return {};
  const auto* characters = reinterpret_cast<const char16_t*>(text);
  std::size_t length = 0;
  while (characters[length] != 0) ++length;
  return {characters, length};
}

}  // namespace

HRESULT GetIDsOfNamesOf(const InterfaceInfo& iface, LPOLESTR* names, UINT count, DISPID* ids) {
  if (count > 0 && (!names || !ids)) return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    std::vector<std::string> ansi;
    for (UINT i = 0; i < count; ++i) ansi.push_back(Utf16ToAnsi(OleText(names[i])));
    const std::vector<std::string_view> views(ansi.begin(), ansi.end());
    std::vector<DispId> found(count);
    const HResult status = GetIDsOfNames(iface, views, found);
    for (UINT i = 0; i < count; ++i) ids[i] = found[i];
    return status;
  });
}

HRESULT InvokeOf(AutomationObject& object, DISPID id, const IID* iid, WORD flags,
                 DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* argument_error) {
  if (!SameGuid(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!params) return E_INVALIDARG;
  return Guarded([&]() -> HRESULT {
    Arguments arguments;
    if (const HRESULT hr = CollectArguments(*params, flags, arguments); FAILED(hr)) return hr;
    const MemberInfo* member = FindInvokedMember(*object.Class().Interface, id, flags);
    std::vector<Variant> values;
    if (const HRESULT hr = ReadArguments(member, arguments, values, argument_error); FAILED(hr))
      return hr;
    Variant value;
    const InvokeOutcome outcome = Invoke(object, id, flags, values, value);
    if (outcome.Status == kDispException) return ReportException(outcome.Error, exception);
    if (!outcome.Succeeded())
      return Refuse(outcome.Status, argument_error, arguments, outcome.ArgError);
    if (const HRESULT hr = WriteBack(*member, arguments, values, argument_error); FAILED(hr))
      return hr;
    if (result) ToVariant(value, *result);
    return S_OK;
  });
}

}  // namespace voziroz
