// Helpers for tests that use objects through their binary interfaces, as a host does. The same
// sources run natively on Linux and under Wine on Windows, over the core's runtime seam.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "automation/interfaces.h"
#include "com/factory_object.h"
#include "com/guids.h"
#include "com/runtime.h"
#include "engine/windows1252.h"

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
  from->lpVtbl->QueryInterface(from, RefIid(iid), to.out());
  return to;
}

// A new object of `cls` through its class factory, as IDispatch.
inline ComPtr<IDispatch> NewObject(const ClassInfo& cls) {
  const GUID clsid = ToCGuid(cls.Clsid);
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(GetClassFactory(&clsid, &IID_IClassFactory, factory.out()), S_OK);
  ComPtr<IDispatch> object;
  EXPECT_EQ(
      factory->lpVtbl->CreateInstance(factory.get(), nullptr, RefIid(IID_IDispatch), object.out()),
      S_OK);
  return object;
}

// A VARIANT that frees what it holds.
struct Value : VARIANT {
  Value() { InitVariant(*this); }
  Value(const Value&) = delete;
  ~Value() { ClearVariant(*this); }
};

inline std::string Ansi(BSTR text) {
  return Utf16ToAnsi(BstrView(text));
}

inline BSTR NewText(const char* ansi) {
  return NewBstr(AnsiToUtf16(ansi));
}

// The error information the calling thread holds: source and description, then cleared.
inline std::pair<std::string, std::string> TakeErrorInfo() {
  IErrorInfo* raw = nullptr;
#ifdef _WIN32
  if (GetErrorInfo(0, &raw) != S_OK) return {};
#else
  if (vz_get_error_info(0, &raw) != S_OK) return {};
#endif
  ComPtr<IErrorInfo> info(raw);
  BSTR source = nullptr;
  BSTR description = nullptr;
  info->lpVtbl->GetSource(info.get(), &source);
  info->lpVtbl->GetDescription(info.get(), &description);
  std::pair<std::string, std::string> result{Ansi(source), Ansi(description)};
  FreeBstr(source);
  FreeBstr(description);
  return result;
}

// The DISPID of a member name, through GetIDsOfNames.
inline DISPID IdOf(IDispatch* object, const char* name) {
  BSTR wide = NewText(name);
  DISPID id = DISPID_UNKNOWN;
  object->lpVtbl->GetIDsOfNames(object, RefIid(IID_NULL), &wide, 1, 0, &id);
  FreeBstr(wide);
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
  const HRESULT hr = object->lpVtbl->Invoke(object, IdOf(object, name), RefIid(IID_NULL), 0, flags,
                                            &params, result, exception, argument_error);
  for (VARIANT& v : reversed) ClearVariant(v);
  return hr;
}

inline VARIANT Of(VARTYPE vt) {
  VARIANT v;
  InitVariant(v);
  v.vt = vt;
  return v;
}

inline VARIANT Text(const char* text) {
  VARIANT v = Of(VT_BSTR);
  v.bstrVal = NewText(text);
  return v;
}

inline VARIANT Number(LONG number) {
  VARIANT v = Of(VT_I4);
  v.lVal = number;
  return v;
}

inline VARIANT Real(double number) {
  VARIANT v = Of(VT_R8);
  v.dblVal = number;
  return v;
}

// A VT_BYREF argument of kind `vt` pointing at `target`.
inline VARIANT Reference(VARTYPE vt, void* target) {
  VARIANT v = Of(static_cast<VARTYPE>(VT_BYREF | vt));
  v.byref = target;
  return v;
}

// A VT_DISPATCH argument that does not own its reference (for objects that count none).
inline VARIANT Borrowed(IDispatch* object) {
  VARIANT v = Of(VT_DISPATCH);
  v.pdispVal = object;
  return v;
}

// A file in the temporary folder for one test, removed with it.
class ScratchFile {
 public:
  ScratchFile(const std::string& name, const std::string& bytes)
      : path_((std::filesystem::temp_directory_path() / ("voziroz-com-" + name)).string()) {
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  ~ScratchFile() { std::filesystem::remove(path_); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

#ifdef _WIN32
// The thread's error information needs COM on the thread.
class ComEnvironment : public ::testing::Environment {
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { CoUninitialize(); }
};
inline ::testing::Environment* const kComEnvironment =
    ::testing::AddGlobalTestEnvironment(new ComEnvironment);
#endif

}  // namespace voziroz::testing
