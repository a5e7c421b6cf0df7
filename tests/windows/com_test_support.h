// Small helpers for tests that call COM interfaces: owning holders for VARIANT, BSTR and
// interface references, VARIANT builders, and COM set up per test.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace voziroz::testing {

// A VARIANT that is cleared when it goes.
struct OwnedVariant {
  VARIANT v;
  OwnedVariant() { VariantInit(&v); }
  ~OwnedVariant() { VariantClear(&v); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
};

// A BSTR that is freed when it goes.
struct OwnedBstr {
  BSTR b;
  explicit OwnedBstr(const wchar_t* text = nullptr) : b(text ? SysAllocString(text) : nullptr) {}
  ~OwnedBstr() { SysFreeString(b); }
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;
  std::wstring Text() const { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }
};

// An interface reference that is released when it goes.
template <class I>
struct Ref {
  I* p = nullptr;
  Ref() = default;
  explicit Ref(I* taken) : p(taken) {}
  ~Ref() {
    if (p) p->Release();
  }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  I* operator->() const { return p; }
  void** Out() { return reinterpret_cast<void**>(&p); }
};

// VARIANTs by value (the caller clears the BSTR ones).
inline VARIANT I4Arg(LONG value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}
inline VARIANT TextArg(const wchar_t* text) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(text);
  return v;
}

// Initialises COM (a single-threaded apartment) for each test.
class ComTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  }
  void TearDown() override { CoUninitialize(); }
};

}  // namespace voziroz::testing
