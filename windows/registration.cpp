#include "windows/registration.h"

#include <string>
#include <string_view>

#include "automation/registration.h"
#include "com/guids.h"
#include "com/type_info.h"
#include "engine/windows1252.h"

namespace voziroz {
namespace {

std::wstring Wide(std::string_view ansi) {
  const std::u16string wide = AnsiToUtf16(ansi);
  return std::wstring(wide.begin(), wide.end());
}

std::string Ansi(const std::wstring& wide) {
  return Utf16ToAnsi(std::u16string(wide.begin(), wide.end()));
}

// The type library's own keys: on Windows the system's type-library registration writes and
// removes them.
bool IsTypeLibraryKey(std::string_view key) {
  return key.starts_with("TypeLib\\") || key.starts_with("Interface\\");
}

// The library's path as InprocServer32 holds it: its short 8.3 form when it contains a space,
// or a character that ANSI text (the registry values' form here) cannot hold.
std::string ServerPath(const std::wstring& path) {
  const std::string ansi = Ansi(path);
  if (ansi.find(' ') == std::string::npos && Wide(ansi) == path) return ansi;
  std::wstring short_path(path.size() + 1, L'\0');
  const DWORD length =
      GetShortPathNameW(path.c_str(), short_path.data(), static_cast<DWORD>(short_path.size()));
  if (length == 0 || length >= short_path.size()) return ansi;
  short_path.resize(length);
  return Ansi(short_path);
}

ServerLocation LocationOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return {ServerPath(path), Ansi(path.substr(0, slash == std::wstring::npos ? 0 : slash)),
          sizeof(void*) == 8 ? "win64" : "win32"};
}

bool Write(const RegistryValue& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, Wide(value.Key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring name = Wide(value.Name);
  const std::wstring data = Wide(value.Value);
  const LONG status = RegSetValueExW(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(data.c_str()),
                                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

HRESULT RegisterTypeLibrary(const std::wstring& path) {
  ITypeLib* library = nullptr;
  HRESULT status = LoadOwnTypeLibrary(&library);
  if (FAILED(status)) return status;
  std::wstring file = path;  // RegisterTypeLib takes writable strings
  std::wstring folder = Wide(LocationOf(path).HelpDirectory);
  status = RegisterTypeLib(library, file.data(), folder.data());
  library->lpVtbl->Release(library);
  return status;
}

}  // namespace

HRESULT RegisterLibrary() {
  try {
    const std::wstring path = ThisModulePath();
    if (path.empty() || FAILED(RegisterTypeLibrary(path))) return E_FAIL;
    for (const RegistryValue& value : RegistrationValues(LocationOf(path)))
      if (!IsTypeLibraryKey(value.Key) && !Write(value)) return E_FAIL;
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_FAIL;
  }
}

HRESULT UnregisterLibrary() {
  try {
    const SYSKIND target = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    UnRegisterTypeLib(ToCGuid(kTypeLibrary.Libid), kTypeLibrary.MajorVersion,
                      kTypeLibrary.MinorVersion, kTypeLibrary.Locale, target);
    for (const std::string& key : UnregistrationKeys(LocationOf(ThisModulePath())))
      if (!IsTypeLibraryKey(key)) RegDeleteKeyW(HKEY_CLASSES_ROOT, Wide(key).c_str());
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_FAIL;
  }
}

}  // namespace voziroz
