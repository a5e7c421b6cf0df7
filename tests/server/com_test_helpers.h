// Helpers for tests that use objects through the C interface, as a host does.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <utility>
#include <vector>

#include "include/voziroz.h"
#include "tests/temp_dir.h"

namespace voziroz::testing {

// An owned interface pointer, released at the end.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* adopted) : pointer_(adopted) {}
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() { reset(); }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  void reset() {
    if (pointer_) pointer_->lpVtbl->Release(pointer_);
    pointer_ = nullptr;
  }
  // For functions that hand out a pointer.
  T** put() {
    reset();
    return &pointer_;
  }
  void** out() { return reinterpret_cast<void**>(put()); }

 private:
  T* pointer_ = nullptr;
};

// Another interface of the same object (null when it has none).
template <class To, class From>
ComPtr<To> Query(From* from, const IID& iid) {
  ComPtr<To> to;
  from->lpVtbl->QueryInterface(from, &iid, to.out());
  return to;
}

// A VARIANT that frees what it holds.
struct Value : VARIANT {
  Value() { vz_variant_init(this); }
  Value(const Value&) = delete;
  ~Value() { vz_variant_clear(this); }
};

inline std::string Utf8(BSTR text) {
  char* utf8 = vz_bstr_to_utf8(text);
  std::string result = utf8 ? utf8 : "";
  vz_free(utf8);
  return result;
}

// The registry of a test: a store in a fresh folder, named by VOZIROZ_REGISTRY meanwhile.
class ScopedRegistry {
 public:
  ScopedRegistry() : path_((folder_.path() / "registry").string()) {
    setenv("VOZIROZ_REGISTRY", path_.c_str(), 1);
  }
  ~ScopedRegistry() { unsetenv("VOZIROZ_REGISTRY"); }
  const std::string& path() const { return path_; }

 private:
  TempDir folder_;
  std::string path_;
};

// The error information the calling thread holds: source and description, then cleared.
inline std::pair<std::string, std::string> TakeErrorInfo() {
  IErrorInfo* raw = nullptr;
  if (vz_get_error_info(0, &raw) != S_OK) return {};
  ComPtr<IErrorInfo> info(raw);
  BSTR source = nullptr;
  BSTR description = nullptr;
  info->lpVtbl->GetSource(info.get(), &source);
  info->lpVtbl->GetDescription(info.get(), &description);
  std::pair<std::string, std::string> result{Utf8(source), Utf8(description)};
  vz_bstr_free(source);
  vz_bstr_free(description);
  return result;
}

// The DISPID of a member name, through GetIDsOfNames.
inline DISPID IdOf(IDispatch* object, const char* name) {
  BSTR wide = vz_bstr_from_utf8(name);
  DISPID id = DISPID_UNKNOWN;
  object->lpVtbl->GetIDsOfNames(object, &IID_NULL, &wide, 1, LOCALE_USER_DEFAULT, &id);
  vz_bstr_free(wide);
  return id;
}

// Invokes `name` with `args` in declaration order (they are moved into the call and cleared).
inline HRESULT InvokeByName(IDispatch* object, const char* name, WORD flags,
                            std::vector<VARIANT> args, VARIANT* result,
                            EXCEPINFO* exception = nullptr, UINT* argument_error = nullptr) {
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &put;
    params.cNamedArgs = 1;
  }
  const HRESULT hr =
      object->lpVtbl->Invoke(object, IdOf(object, name), &IID_NULL, LOCALE_USER_DEFAULT, flags,
                             &params, result, exception, argument_error);
  for (VARIANT& v : reversed) vz_variant_clear(&v);
  return hr;
}

inline VARIANT Text(const char* text) {
  VARIANT v;
  vz_variant_init(&v);
  v.vt = VT_BSTR;
  v.bstrVal = vz_bstr_from_utf8(text);
  return v;
}

// A VT_BYREF argument of kind `vt` pointing at `target`.
inline VARIANT Reference(VARTYPE vt, void* target) {
  VARIANT v;
  vz_variant_init(&v);
  v.vt = VT_BYREF | vt;
  v.byref = target;
  return v;
}

// A VT_DISPATCH argument that does not own its reference (for objects that count none).
inline VARIANT Borrowed(IDispatch* object) {
  VARIANT v;
  vz_variant_init(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  return v;
}

inline VARIANT Number(LONG number) {
  VARIANT v;
  vz_variant_init(&v);
  v.vt = VT_I4;
  v.lVal = number;
  return v;
}

}  // namespace voziroz::testing
