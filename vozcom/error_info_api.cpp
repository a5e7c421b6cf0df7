// Error information: an IErrorInfo object with its texts, and the one the calling thread holds.
#include <atomic>
#include <cstring>
#include <string>
#include <utility>

#include "vozcom/c_boundary.h"

namespace {

struct ErrorObject : IErrorInfo {
  std::atomic<ULONG> references{1};
  GUID guid{};
  std::u16string source;
  std::u16string description;
  DWORD help_context = 0;
};

ErrorObject* Self(IErrorInfo* face) {
  return static_cast<ErrorObject*>(face);
}

// Hands a new BSTR of `text` to *out.
HRESULT GiveText(const std::u16string& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = vz_bstr_alloc_len(reinterpret_cast<const OLECHAR*>(text.data()),
                           static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT QueryInterface(IErrorInfo* face, REFIID iid, void** out) {
  return voziroz::QueryOneInterface(face, iid, IID_IErrorInfo, out);
}

ULONG AddRef(IErrorInfo* face) {
  return ++Self(face)->references;
}

ULONG Release(IErrorInfo* face) {
  const ULONG remaining = --Self(face)->references;
  if (remaining == 0) delete Self(face);
  return remaining;
}

HRESULT GetGuid(IErrorInfo* face, GUID* guid) {
  if (!guid) return E_POINTER;
  *guid = Self(face)->guid;
  return S_OK;
}

HRESULT GetSource(IErrorInfo* face, BSTR* out) {
  return GiveText(Self(face)->source, out);
}

HRESULT GetDescription(IErrorInfo* face, BSTR* out) {
  return GiveText(Self(face)->description, out);
}

HRESULT GetHelpFile(IErrorInfo*, BSTR* out) {
  return GiveText(u"", out);
}

HRESULT GetHelpContext(IErrorInfo* face, DWORD* context) {
  if (!context) return E_POINTER;
  *context = Self(face)->help_context;
  return S_OK;
}

constexpr IErrorInfoVtbl kErrorInfoVtbl = {
    .QueryInterface = QueryInterface,
    .AddRef = AddRef,
    .Release = Release,
    .GetGUID = GetGuid,
    .GetSource = GetSource,
    .GetDescription = GetDescription,
    .GetHelpFile = GetHelpFile,
    .GetHelpContext = GetHelpContext,
};

// The thread's error information; released when the thread ends.
struct ThreadError {
  IErrorInfo* info = nullptr;
  ~ThreadError() {
    if (info) info->lpVtbl->Release(info);
  }
};
thread_local ThreadError thread_error;

}  // namespace

extern "C" {

VZ_API HRESULT vz_create_error_info(REFGUID guid, const OLECHAR* source, const OLECHAR* description,
                                    DWORD help_context, IErrorInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  try {
    auto* object = new ErrorObject;
    object->lpVtbl = &kErrorInfoVtbl;
    if (guid) object->guid = *guid;
    if (source) object->source = reinterpret_cast<const char16_t*>(source);
    if (description) object->description = reinterpret_cast<const char16_t*>(description);
    object->help_context = help_context;
    *info = object;
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

VZ_API HRESULT vz_set_error_info(DWORD, IErrorInfo* info) {
  if (info) info->lpVtbl->AddRef(info);
  IErrorInfo* old = std::exchange(thread_error.info, info);
  if (old) old->lpVtbl->Release(old);
  return S_OK;
}

VZ_API HRESULT vz_get_error_info(DWORD, IErrorInfo** info) {
  if (!info) return E_POINTER;
  *info = std::exchange(thread_error.info, nullptr);
  return *info ? S_OK : S_FALSE;
}

}  // extern "C"
