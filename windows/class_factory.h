// The class factories of the server (one per creatable class, made on first use and alive until
// the library unloads) and what keeps the library loaded.
#pragma once

#include <unknwn.h>
#include <windows.h>

namespace voziroz {

// DllGetClassObject: the factory of `clsid` asked for `iid` (IUnknown or IClassFactory).
// E_POINTER for a null `out`; otherwise `out` is cleared first and CLASS_E_CLASSNOTAVAILABLE
// answers a class that this library cannot create.
HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, void** out);

// DllCanUnloadNow: true when no object of the library exists, no factory is referenced and
// the server is not locked.
bool ServerCanUnload();

}  // namespace voziroz
