// The type-information seam: the ITypeInfo of each interface and class of the library, with one
// reference for the caller. On Linux it is built from the interface tables (type_info_tables.cpp);
// on Windows it is read from the type library in the module's resources
// (type_info_resource.cpp).
#pragma once

#include <string>

#include "automation/interfaces.h"
#include "com/platform.h"

namespace voziroz {

// E_POINTER for a null `out`; otherwise *out is set (null on failure).
HRESULT InterfaceTypeInfo(const InterfaceInfo& iface, ITypeInfo** out);
HRESULT ClassTypeInfo(const ClassInfo& cls, ITypeInfo** out);

#ifdef _WIN32
// The full path of the module (DLL or program) that holds this code and its type library.
std::wstring ThisModulePath();
// Loads the module's type library (not registering it); the caller releases it.
HRESULT LoadOwnTypeLibrary(ITypeLib** out);
#endif

}  // namespace voziroz
