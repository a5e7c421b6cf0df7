// The IClassFactory of each served class (automation/served_classes.h), over the automation
// core's ClassFactory; made when the library loads and alive until it unloads.
#pragma once

#include "com/platform.h"

namespace voziroz {

// DllGetClassObject: the factory of `clsid` as interface `iid` (IUnknown or IClassFactory).
// E_POINTER for a null `out`; otherwise *out is cleared first: CLASS_E_CLASSNOTAVAILABLE for a
// class that this library cannot create, E_NOINTERFACE for another interface.
HRESULT GetClassFactory(const CLSID* clsid, const IID* iid, void** out);

}  // namespace voziroz
