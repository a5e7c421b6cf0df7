// The type-information seam on Windows: the type library that the module (Voziroz.dll, or a test
// program that embeds it) carries as its resource TYPELIB 1.
#include <new>
#include <string>

#include "com/guids.h"
#include "com/type_info.h"

namespace voziroz {
namespace {

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

HRESULT TypeInfoOf(const Guid& guid, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  ITypeLib* library = nullptr;
  HRESULT status = LoadOwnTypeLibrary(&library);
  if (FAILED(status)) return status;
  status = library->lpVtbl->GetTypeInfoOfGuid(library, ToCGuid(guid), out);
  library->lpVtbl->Release(library);
  return status;
}

}  // namespace

std::wstring ThisModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(ThisModule(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // the name was cut short
  }
}

HRESULT LoadOwnTypeLibrary(ITypeLib** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  try {
    return LoadTypeLibEx(ThisModulePath().c_str(), REGKIND_NONE, out);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT InterfaceTypeInfo(const InterfaceInfo& iface, ITypeInfo** out) {
  return TypeInfoOf(iface.Iid, out);
}

HRESULT ClassTypeInfo(const ClassInfo& cls, ITypeInfo** out) {
  return TypeInfoOf(cls.Clsid, out);
}

}  // namespace voziroz
