#include "cli/script_object.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace voziroz::cli {
namespace {

struct BstrDeleter {
  void operator()(OLECHAR* text) const { vz_bstr_free(text); }
};
using Bstr = std::unique_ptr<OLECHAR, BstrDeleter>;

Bstr NewBstr(std::string_view utf8) {
  const std::string text(utf8);
  Bstr bstr(vz_bstr_from_utf8(text.c_str()));
  if (!bstr) throw std::bad_alloc();
  return bstr;
}

std::string Utf8(BSTR text) {
  std::unique_ptr<char, decltype(&vz_free)> utf8(vz_bstr_to_utf8(text), &vz_free);
  if (!utf8) throw std::bad_alloc();
  return utf8.get();
}

// The description of the thread's error information, if there is one.
std::string TakeErrorDescription() {
  IErrorInfo* info = nullptr;
  if (vz_get_error_info(0, &info) != S_OK || !info) return "";
  BSTR description = nullptr;
  info->lpVtbl->GetDescription(info, &description);
  info->lpVtbl->Release(info);
  Bstr owned(description);
  return Utf8(description);
}

[[noreturn]] void ThrowFailure(const std::string& what, std::string reason, HRESULT result) {
  if (result == E_OUTOFMEMORY) throw std::bad_alloc();
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(result));
  const std::string message =
      what + ": " + (reason.empty() ? "failed" : reason) + " (" + code + ")";
  throw ScriptError(message, std::move(reason));
}

// The arguments in the order Invoke takes them (last first); texts owned by `texts`.
std::vector<VARIANT> InvokeArguments(std::initializer_list<ScriptArg> args,
                                     std::vector<Bstr>& texts) {
  std::vector<VARIANT> variants(args.size());
  std::size_t i = args.size();
  for (const ScriptArg& arg : args) {
    VARIANT& v = variants[--i];
    vz_variant_init(&v);
    v.vt = arg.kind;
    if (arg.kind == VT_I4) v.lVal = arg.number;
    if (arg.kind == VT_DISPATCH) v.pdispVal = arg.object;
    if (arg.kind == VT_BSTR) v.bstrVal = texts.emplace_back(NewBstr(arg.text)).get();
  }
  return variants;
}

}  // namespace

void CheckCall(HRESULT result, const char* what) {
  if (FAILED(result)) ThrowFailure(what, TakeErrorDescription(), result);
}

DISPID ScriptObject::IdOf(const char* name) {
  for (const auto& [known, id] : ids_)
    if (known == name) return id;
  std::vector<OLECHAR> wide(name, name + std::strlen(name) + 1);  // member names are ASCII
  LPOLESTR names[] = {wide.data()};
  DISPID id = 0;
  const HRESULT found = object_->lpVtbl->GetIDsOfNames(object_, &IID_NULL, names, 1, 0, &id);
  if (FAILED(found)) ThrowFailure(std::string("no member ") + name, "", found);
  ids_.emplace_back(name, id);
  return id;
}

OwnedVariant ScriptObject::Call(const char* name, std::initializer_list<ScriptArg> args) {
  const DISPID id = IdOf(name);
  std::vector<Bstr> texts;
  std::vector<VARIANT> arguments = InvokeArguments(args, texts);
  DISPPARAMS params{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
  OwnedVariant result;
  EXCEPINFO error{};
  UINT bad_argument = 0;
  const HRESULT called =
      object_->lpVtbl->Invoke(object_, id, &IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                              &params, result.put(), &error, &bad_argument);
  if (SUCCEEDED(called)) return result;
  Bstr source(error.bstrSource), description(error.bstrDescription), help(error.bstrHelpFile);
  ThrowFailure(name, called == DISP_E_EXCEPTION ? Utf8(description.get()) : "",
               called == DISP_E_EXCEPTION ? error.scode : called);
}

std::int32_t IntOf(const VARIANT& value) {
  switch (value.vt) {
    case VT_I1:
      return value.cVal;
    case VT_UI1:
      return value.bVal;
    case VT_I2:
    case VT_BOOL:
      return value.iVal;
    case VT_I4:
      return value.lVal;
    default:
      return 0;
  }
}

bool BoolOf(const VARIANT& value) {
  return IntOf(value) != 0;
}

std::string TextOf(const VARIANT& value) {
  return value.vt == VT_BSTR ? Utf8(value.bstrVal) : std::string();
}

ArrayView::ArrayView(const VARIANT& value) {
  if (value.vt != (VT_ARRAY | VT_VARIANT) || !value.parray)
    throw ScriptError("the result is not an array");
  SAFEARRAY* array = value.parray;
  dimensions_ = static_cast<std::int32_t>(vz_safearray_get_dim(array));
  if (dimensions_ < 1 || dimensions_ > 2) throw ScriptError("the result is not a table");
  LONG low = 0, high = -1;
  vz_safearray_get_lbound(array, 1, &low);
  vz_safearray_get_ubound(array, 1, &high);
  rows_ = high - low + 1;
  if (dimensions_ == 2) {
    vz_safearray_get_lbound(array, 2, &low);
    vz_safearray_get_ubound(array, 2, &high);
    columns_ = high - low + 1;
  }
  elements_ = static_cast<const VARIANT*>(array->pvData);
}

}  // namespace voziroz::cli
