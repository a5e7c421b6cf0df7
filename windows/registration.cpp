#include "windows/registration.h"

#include <cstdio>

#include "windows/com_guid.h"
#include "windows/type_library.h"

namespace voziroz {
namespace {

std::wstring Widened(std::string_view ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

std::wstring ClsidKey(const ClassInfo& cls) {
  return L"CLSID\\" + Widened(GuidToString(cls.Clsid));
}

// The library's path as InprocServer32 holds it: its short 8.3 form when it contains a space.
std::wstring ServerPath(const std::wstring& path) {
  if (path.find(L' ') == std::wstring::npos) return path;
  std::wstring short_path(path.size() + 1, L'\0');
  const DWORD length =
      GetShortPathNameW(path.c_str(), short_path.data(), static_cast<DWORD>(short_path.size()));
  if (length == 0 || length >= short_path.size()) return path;
  short_path.resize(length);
  return short_path;
}

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool Write(const RegistryValue& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, value.Key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const auto bytes = static_cast<DWORD>((value.Data.size() + 1) * sizeof(wchar_t));
  const LONG status =
      RegSetValueExW(key, value.Name.empty() ? nullptr : value.Name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.Data.c_str()), bytes);
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

HRESULT RegisterTypeLibrary(const std::wstring& path) {
  ITypeLib* library = nullptr;
  HRESULT status = LoadOwnTypeLibrary(&library);
  if (FAILED(status)) return status;
  std::wstring file = path;  // RegisterTypeLib takes writable strings
  std::wstring folder = FolderOf(path);
  status = RegisterTypeLib(library, file.data(), folder.data());
  library->Release();
  return status;
}

}  // namespace

std::vector<RegistryValue> ClassRegistration(const ClassInfo& cls,
                                             const std::wstring& server_path) {
  const std::wstring clsid = ClsidKey(cls);
  const std::wstring description = Widened(cls.HelpString);
  const std::wstring prog_id = Widened(cls.ProgId);
  char version[32];
  std::snprintf(version, sizeof version, "%d.%d", kTypeLibrary.MajorVersion,
                kTypeLibrary.MinorVersion);
  return {
      {clsid, L"", description},
      {clsid + L"\\InprocServer32", L"", server_path},
      {clsid + L"\\InprocServer32", L"ThreadingModel", Widened(cls.ThreadingModel)},
      {prog_id, L"", description},
      {prog_id + L"\\Clsid", L"", Widened(GuidToString(cls.Clsid))},
      {clsid + L"\\ProgID", L"", prog_id},
      {clsid + L"\\Version", L"", Widened(version)},
      {clsid + L"\\TypeLib", L"", Widened(GuidToString(kTypeLibrary.Libid))},
  };
}

std::vector<std::wstring> ClassKeysToDelete(const ClassInfo& cls) {
  const std::wstring clsid = ClsidKey(cls);
  const std::wstring prog_id = Widened(cls.ProgId);
  return {clsid + L"\\TypeLib",
          clsid + L"\\Version",
          clsid + L"\\ProgID",
          prog_id + L"\\Clsid",
          prog_id,
          clsid + L"\\InprocServer32",
          clsid};
}

HRESULT RegisterServer() {
  try {
    const std::wstring path = ThisModulePath();
    if (path.empty() || FAILED(RegisterTypeLibrary(path))) return E_FAIL;
    const std::wstring server_path = ServerPath(path);
    for (const ClassInfo& cls : kTypeLibrary.Classes)
      for (const RegistryValue& value : ClassRegistration(cls, server_path))
        if (!Write(value)) return E_FAIL;
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_FAIL;
  }
}

HRESULT UnregisterServer() {
  try {
    const SYSKIND target = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    UnRegisterTypeLib(ToGuid(kTypeLibrary.Libid), kTypeLibrary.MajorVersion,
                      kTypeLibrary.MinorVersion, kTypeLibrary.Locale, target);
    for (const ClassInfo& cls : kTypeLibrary.Classes)
      for (const std::wstring& key : ClassKeysToDelete(cls))
        RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_FAIL;
  }
}

}  // namespace voziroz
