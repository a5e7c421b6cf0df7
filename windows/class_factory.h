// The class factories of the server: one per served class (server/served_classes.h), made when
// the library loads and alive until it unloads.
#pragma once

#include <unknwn.h>
#include <windows.h>

namespace voziroz {

// DllGetClassObject: the factory of `clsid` asked for `iid` (IUnknown or IClassFactory).
// E_POINTER for a null `out`; otherwise `out` is cleared first and CLASS_E_CLASSNOTAVAILABLE
// answers a class that this library cannot create.
HRESULT GetClassFactory(REFCLSID clsid, REFIID iid, void** out);

}  // namespace voziroz
