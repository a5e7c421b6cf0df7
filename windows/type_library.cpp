#include "windows/type_library.h"

#include "windows/com_guid.h"

namespace voziroz {

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

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

HRESULT TypeInfoOf(const Guid& guid, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  ITypeLib* library = nullptr;
  HRESULT status = LoadOwnTypeLibrary(&library);
  if (FAILED(status)) return status;
  status = library->GetTypeInfoOfGuid(ToGuid(guid), out);
  library->Release();
  return status;
}

}  // namespace voziroz
