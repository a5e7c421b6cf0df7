// The type library that this library carries as its resource TYPELIB 1, and the module that
// holds it.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <string>

#include "automation/interfaces.h"

namespace voziroz {

// This library's module handle and full file path.
HMODULE ThisModule();
std::wstring ThisModulePath();

// Loads the embedded type library (not registering it); the caller releases it.
HRESULT LoadOwnTypeLibrary(ITypeLib** out);

// The type information for an interface or coclass of the library; the caller releases it.
// E_POINTER for a null `out`, TYPE_E_ELEMENTNOTFOUND for a GUID the library does not hold.
HRESULT TypeInfoOf(const Guid& guid, ITypeInfo** out);

}  // namespace voziroz
