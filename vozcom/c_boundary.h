// The firewall of the C interface, shared by libvozcom.so and libvoziroz.so: Guarded runs the
// body of an extern "C" function and turns every exception into an HRESULT plus the calling
// thread's error information, so that no C++ exception crosses the boundary. Also small helpers
// over the C interface's strings. Everything here uses only the functions of voziroz.h.
#pragma once

#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "include/voziroz.h"

namespace voziroz {

// An error that knows the HRESULT its C function should return.
class CError : public std::runtime_error {
 public:
  CError(HRESULT code, const std::string& message) : std::runtime_error(message), code_(code) {}
  HRESULT Code() const { return code_; }

 private:
  HRESULT code_;
};

// A new BSTR with the UTF-16 text; throws std::bad_alloc when memory runs out.
inline BSTR NewBstr(std::u16string_view text) {
  BSTR bstr = vz_bstr_alloc_len(reinterpret_cast<const OLECHAR*>(text.data()),
                                static_cast<UINT>(text.size()));
  if (!bstr) throw std::bad_alloc();
  return bstr;
}

// The characters of a BSTR (empty for NULL).
inline std::u16string_view BstrView(BSTR bstr) {
  return {reinterpret_cast<const char16_t*>(bstr), vz_bstr_len(bstr)};
}

// A copy of `text` in memory from malloc, for the caller to vz_free; throws std::bad_alloc.
inline char* MallocCopy(const std::string& text) {
  auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (!copy) throw std::bad_alloc();
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// QueryInterface of an object with one interface besides IUnknown: the object itself, with a new
// reference, for IID_IUnknown or `own`; E_NOINTERFACE for anything else.
template <class Interface>
HRESULT QueryOneInterface(Interface* self, REFIID iid, const IID& own, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!iid || (std::memcmp(iid, &IID_IUnknown, sizeof(IID)) != 0 &&
               std::memcmp(iid, &own, sizeof(IID)) != 0))
    return E_NOINTERFACE;
  self->lpVtbl->AddRef(self);
  *out = self;
  return S_OK;
}

// Makes the UTF-8 `source` and `description` the calling thread's error information. Never
// throws; when memory runs out the thread is left without error information.
inline void SetThreadErrorInfo(const char* source, const char* description) noexcept {
  BSTR source_bstr = vz_bstr_from_utf8(source);
  BSTR description_bstr = vz_bstr_from_utf8(description);
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(vz_create_error_info(&IID_NULL, source_bstr, description_bstr, 0, &info))) {
    vz_set_error_info(0, info);
    info->lpVtbl->Release(info);
  } else {
    vz_set_error_info(0, nullptr);
  }
  vz_bstr_free(source_bstr);
  vz_bstr_free(description_bstr);
}

// Runs `body` (which returns an HRESULT). An exception becomes: CError its code, bad_alloc
// E_OUTOFMEMORY, any other std::exception E_FAIL, anything else E_UNEXPECTED; each with error
// information from `source` and the exception's message.
template <class Body>
HRESULT Guarded(const char* source, Body&& body) noexcept {
  try {
    return body();
  } catch (const CError& e) {
    SetThreadErrorInfo(source, e.what());
    return e.Code();
  } catch (const std::bad_alloc&) {
    SetThreadErrorInfo(source, "Out of memory");
    return E_OUTOFMEMORY;
  } catch (const std::exception& e) {
    SetThreadErrorInfo(source, e.what());
    return E_FAIL;
  } catch (...) {
    SetThreadErrorInfo(source, "Unexpected error");
    return E_UNEXPECTED;
  }
}

}  // namespace voziroz
