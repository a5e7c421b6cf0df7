// Self-registration of the server under HKEY_CLASSES_ROOT: the type library, then for each of
// the six classes its CLSID, InprocServer32 (with ThreadingModel), ProgID, Version and TypeLib
// keys, every value a string.
//
// Errors: registration stops at the first step that fails and answers E_FAIL, leaving what was
// written before; unregistration removes what it can, ignoring keys that are not there.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "automation/interfaces.h"

namespace voziroz {

// One string value: `Name` empty for the key's default value.
struct RegistryValue {
  std::wstring Key;
  std::wstring Name;
  std::wstring Data;
};

// What registration writes for one class, in order, with `server_path` as the library's path.
std::vector<RegistryValue> ClassRegistration(const ClassInfo& cls, const std::wstring& server_path);
// The keys that unregistration deletes for one class, in order.
std::vector<std::wstring> ClassKeysToDelete(const ClassInfo& cls);

HRESULT RegisterServer();
HRESULT UnregisterServer();

}  // namespace voziroz
